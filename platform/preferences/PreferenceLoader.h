#pragma once

// Where the device keeps preference bundles, and PreferenceLoader's entries
// that list them in the Settings app (NAME.plist, its "entry" dictionary).

inline constexpr const char* kPreferenceBundlesFolder = "/Library/PreferenceBundles";
inline constexpr const char* kPreferenceEntriesFolder = "/Library/PreferenceLoader/Preferences";
