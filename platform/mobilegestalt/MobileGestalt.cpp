#include "MobileGestalt.h"

#include <foundation/NSDictionary.h>

namespace {

std::optional<std::string> stringIn(const char* path, std::string_view key)
{
    auto dictionary = NSDictionary::dictionaryWithContentsOfFile(path);
    auto* value = dictionary ? dictionary->objectForKey(key) : nullptr;
    if (!value || !value->asString())
        return std::nullopt;
    return *value->asString();
}

}

std::optional<std::string> MGCopyAnswer(std::string_view question)
{
    if (question == "ProductVersion")
        return stringIn(kMGSystemVersionPath, "ProductVersion");
    if (question == "BuildVersion")
        return stringIn(kMGSystemVersionPath, "ProductBuildVersion");
    if (question == "ProductType")
        return stringIn(kMGDeviceModelPath, "ProductType");
    return std::nullopt;
}
