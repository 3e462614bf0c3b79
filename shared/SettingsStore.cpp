#include "SettingsStore.h"

#include <foundation/NSKeyedArchiver.h>

const SettingsKey* settingsKeyNamed(std::string_view name)
{
    for (auto& key : kMenutoneSettingsKeys) {
        if (key.name == name)
            return &key;
    }
    return nullptr;
}

namespace {

const PropertyListValue* present(const NSDictionary* dictionary, std::string_view key)
{
    return dictionary ? dictionary->objectForKey(key) : nullptr;
}

}

bool boolPref(const NSDictionary* dictionary, std::string_view key, bool defaultValue)
{
    auto* value = present(dictionary, key);
    return value ? value->boolValue().value_or(defaultValue) : defaultValue;
}

std::int64_t intPref(const NSDictionary* dictionary, std::string_view key, std::int64_t defaultValue)
{
    auto* value = present(dictionary, key);
    return value ? value->integerValue().value_or(defaultValue) : defaultValue;
}

std::string stringPref(const NSDictionary* dictionary, std::string_view key, std::string defaultValue)
{
    auto* value = present(dictionary, key);
    return value && value->asString() ? *value->asString() : defaultValue;
}

RefPtr<NSObject> objectPref(const NSDictionary* dictionary, std::string_view key)
{
    auto* value = present(dictionary, key);
    if (!value || !value->asData())
        return nullptr;
    return NSKeyedUnarchiver::unarchiveObjectWithData(*value->asData());
}
