#pragma once

// Where the device keeps preference bundles, and PreferenceLoader's entries
// that list them in the Settings app (NAME.plist, its "entry" dictionary).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <base/Expected.h>

inline constexpr const char* kPreferenceBundlesFolder = "/Library/PreferenceBundles";
inline constexpr const char* kPreferenceEntriesFolder = "/Library/PreferenceLoader/Preferences";

// One entry as the Settings list shows it and opens it. Names an entry
// gives that are not plain file names (a '/', "..") are read as absent,
// so an entry never reaches outside the two folders.
struct PreferenceEntry {
    std::string name; // the entry file's, without ".plist"
    std::string label; // the "label", else the name
    std::string bundleName; // the "bundle", without ".bundle"; may be empty
    std::string iconName; // the "icon", a file in the bundle; may be empty

    std::string path() const; // of the entry file
    std::optional<std::string> bundlePath() const;
    std::optional<std::string> iconPath() const;
};

// A name that stays in its folder: not empty, no '/', not "." or "..".
bool isPlainFileName(std::string_view);

// The entry NAME.plist; NotFound for a name that is not plain, Unreadable
// for a file that cannot be read, Malformed when it has no entry dictionary.
Expected<PreferenceEntry> readPreferenceEntry(const std::string& name);

// Every entry that reads, in the folder's order of names.
std::vector<PreferenceEntry> readPreferenceEntries();
