#include <store/SettingsStore.h>

#include <corefoundation/CFNotificationCenter.h>
#include <foundation/NSKeyedArchiver.h>
#include <foundation/PreferencesWriteLock.h>

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

template <SettingsValueType> struct Reader;
template <> struct Reader<SettingsValueType::Boolean> {
    static bool read(const NSDictionary* dictionary, const char* key, std::int64_t defaultValue) { return boolPref(dictionary, key, defaultValue != 0); }
};
template <> struct Reader<SettingsValueType::Integer> {
    static std::int64_t read(const NSDictionary* dictionary, const char* key, std::int64_t defaultValue) { return intPref(dictionary, key, defaultValue); }
};
template <> struct Reader<SettingsValueType::ColorIndex> : Reader<SettingsValueType::Integer> {
};
template <> struct Reader<SettingsValueType::String> {
    static std::optional<std::string> read(const NSDictionary* dictionary, const char* key, std::int64_t)
    {
        auto* value = present(dictionary, key);
        return value && value->asString() ? std::optional(*value->asString()) : std::nullopt;
    }
};
template <> struct Reader<SettingsValueType::ArchivedColor> {
    static RefPtr<UIColor> read(const NSDictionary* dictionary, const char* key, std::int64_t)
    {
        return objc_dynamicCast<UIColor>(objectPref(dictionary, key));
    }
};

}

MenutoneSettings MenutoneSettings::read(const NSDictionary* dictionary)
{
    MenutoneSettings settings;
#define MENUTONE_READ_MEMBER(member, key, type, defaultValue, meaning) settings.member = Reader<SettingsValueType::type>::read(dictionary, key, defaultValue);
    MENUTONE_SETTINGS_KEYS(MENUTONE_READ_MEMBER)
#undef MENUTONE_READ_MEMBER
    return settings;
}

MenutoneSettings MenutoneSettings::stored()
{
    auto settings = SettingsStore::read();
    return read(settings ? &*settings : nullptr);
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

namespace SettingsStore {

std::optional<NSMutableDictionary> read()
{
    return NSMutableDictionary::dictionaryWithContentsOfFile(kMenutoneSettingsPath);
}

NSMutableDictionary change(const std::function<void(NSMutableDictionary&)>& change, AfterWrite afterWrite)
{
    NSMutableDictionary settings;
    {
        PreferencesWriteLock lock;
        settings = read().value_or(NSMutableDictionary());
        change(settings);
        settings.writeToFile(kMenutoneSettingsPath, Atomically::Yes);
    }
    if (afterWrite == AfterWrite::PostChange)
        postChange();
    return settings;
}

NSMutableDictionary change(std::string_view key, std::optional<PropertyListValue> value, AfterWrite afterWrite)
{
    return change(
        [&](NSMutableDictionary& settings) {
            // Storing nil would throw on the device; the key is removed instead.
            if (value)
                settings.setObject(std::move(*value), std::string(key));
            else
                settings.removeObjectForKey(key);
        },
        afterWrite);
}

bool replace(const NSDictionary& settings, AfterWrite afterWrite)
{
    bool isWritten;
    {
        PreferencesWriteLock lock;
        isWritten = settings.writeToFile(kMenutoneSettingsPath, Atomically::Yes);
    }
    if (isWritten && afterWrite == AfterWrite::PostChange)
        postChange();
    return isWritten;
}

void postChange()
{
    CFNotificationCenterPostNotification(
        CFNotificationCenterGetDarwinNotifyCenter(), CFStringMakeConstantString(kMenutoneSettingsChangedNotification), nullptr, nullptr, true);
}

}
