#include "Loader.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>

#include <device/DeviceRoot.h>
#include <device/DynamicLibrary.h>
#include <foundation/NSDictionary.h>

namespace substrate {

namespace {

bool listContains(const PropertyListValue* list, const std::string& wanted)
{
    if (!list || !list->asArray())
        return false;
    return std::any_of(
        list->asArray()->begin(), list->asArray()->end(), [&](const PropertyListValue& entry) { return entry.asString() && *entry.asString() == wanted; });
}

// Whether the filter admits this process; none when the plist cannot be read.
std::optional<bool> isAdmitted(const std::string& plistDevicePath, const std::string& bundleIdentifier, const std::string& executableName)
{
    if (!NSFileManager::defaultManager().fileExistsAtPath(plistDevicePath))
        return true;
    auto plist = NSDictionary::dictionaryWithContentsOfFile(plistDevicePath);
    if (!plist)
        return std::nullopt;
    auto* filter = plist->objectForKey("Filter");
    if (!filter || !filter->asDictionary())
        return true;
    std::vector<bool> matches;
    if (auto* bundles = filter->objectForKey("Bundles"))
        matches.push_back(listContains(bundles, bundleIdentifier));
    if (auto* executables = filter->objectForKey("Executables"))
        matches.push_back(listContains(executables, executableName));
    if (matches.empty())
        return true;
    auto* mode = filter->objectForKey("Mode");
    bool isAny = mode && mode->asString() && *mode->asString() == "Any";
    return isAny ? std::any_of(matches.begin(), matches.end(), [](bool m) { return m; })
                 : std::all_of(matches.begin(), matches.end(), [](bool m) { return m; });
}

}

std::vector<LoadedLibrary> loadTweakLibraries(const std::string& bundleIdentifier, const std::string& executableName)
{
    std::vector<LoadedLibrary> results;
    for (auto& name : DeviceRoot::current().namesWithExtension(dynamicLibrariesFolder, ".dylib")) {
        auto admitted = isAdmitted(std::string(dynamicLibrariesFolder) + "/" + name + ".plist", bundleIdentifier, executableName);
        if (!admitted) {
            results.push_back({ name, false, "its plist cannot be read" });
            continue;
        }
        if (!*admitted) {
            results.push_back({ name, false, "its filter does not match" });
            continue;
        }
        // The library's static initialiser is its load-time entry; it runs here.
        if (auto loaded = device::loadLibrary(std::string(dynamicLibrariesFolder) + "/" + name + ".dylib"); !loaded) {
            std::fprintf(stderr, "MS:Error: %s: %s\n", name.c_str(), loaded.error().message.c_str());
            results.push_back({ name, false, "it does not load: " + loaded.error().message });
            continue;
        }
        results.push_back({ name, true, {} });
    }
    return results;
}

}
