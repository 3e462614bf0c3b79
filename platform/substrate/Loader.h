#pragma once

// The loader that injects tweak libraries into a starting process, as the
// device's does: every library in /Library/MobileSubstrate/DynamicLibraries
// whose same-named plist's Filter matches the process. Bundles and
// Executables must all match, unless Mode is "Any"; a library without a plist
// loads everywhere, one whose plist cannot be read is skipped.

#include <string>
#include <vector>

namespace substrate {

inline constexpr const char* dynamicLibrariesFolder = "/Library/MobileSubstrate/DynamicLibraries";

struct LoadedLibrary {
    std::string name;
    bool isLoaded;
    std::string reason; // why not, when not
};

std::vector<LoadedLibrary> loadTweakLibraries(const std::string& bundleIdentifier, const std::string& executableName);

}
