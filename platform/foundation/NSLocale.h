#pragma once

// The device's languages, as +[NSLocale preferredLanguages] gives them:
// AppleLanguages of the root's global preferences
// ("/var/mobile/Library/Preferences/.GlobalPreferences.plist"), most
// preferred first; English when none are set.

#include <string>
#include <vector>

class NSLocale {
public:
    static std::vector<std::string> preferredLanguages();
};
