#pragma once

// The settings store that the tweak and the settings bundle share: one
// property-list file, eighteen optional keys, four typed readers and the
// change notification posted after every write.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include <foundation/NSDictionary.h>
#include <objc/NSObject.h>

inline constexpr const char* kMenutoneDomain = "com.harbrook.Menutone";
inline constexpr const char* kMenutoneSettingsPath = "/var/mobile/Library/Preferences/com.harbrook.Menutone.plist";
inline constexpr const char* kMenutoneSettingsChangedNotification = "com.harbrook.Menutone.notify";

enum class SettingsValueType { Boolean, Integer, String, ArchivedColor };

struct SettingsKey {
    const char* name;
    SettingsValueType type;
    // The default when the key is absent: a boolean or integer value; for font
    // names the settings bundle's empty string (the tweak keeps the label's
    // own font instead); archived colours have none.
    std::int64_t defaultValue;
    const char* meaning;
};

// The subtitle preset colour's key is spelled without the t after "shortcu".
inline constexpr std::array<SettingsKey, 18> kMenutoneSettingsKeys { {
    { "isEnabled", SettingsValueType::Boolean, 1, "master switch" },
    { "shortcutTitleColor", SettingsValueType::Integer, 0, "title text colour (palette index)" },
    { "shortcutSubtitleColor", SettingsValueType::Integer, 0, "subtitle text colour (palette index)" },
    { "shortcutIconColor", SettingsValueType::Integer, 0, "icon tint (palette index)" },
    { "shortcutBackgroundColor", SettingsValueType::Integer, 0, "menu background colour (palette index)" },
    { "shortcutBorderColor", SettingsValueType::Integer, 0, "border colour (palette index; 0 is black)" },
    { "shortcutTitleFont", SettingsValueType::String, 0, "title font name" },
    { "shortcutSubtitleFont", SettingsValueType::String, 0, "subtitle font name" },
    { "isShortcutBorder", SettingsValueType::Boolean, 0, "draw a border around the menu plate" },
    { "isHideShortcutBlur", SettingsValueType::Boolean, 0, "force the blur fraction to 0" },
    { "shortcutBlurStyle", SettingsValueType::Integer, 0, "blur style 0..9" },
    { "isShortcutPreset", SettingsValueType::Boolean, 0, "use the five preset colours" },
    { "shortcutTitlePresetColor", SettingsValueType::ArchivedColor, 0, "preset title colour" },
    { "shortcuSubtitlePresetColor", SettingsValueType::ArchivedColor, 0, "preset subtitle colour" },
    { "shortcutIconPresetColor", SettingsValueType::ArchivedColor, 0, "preset icon tint" },
    { "shortcutBackgroundPresetColor", SettingsValueType::ArchivedColor, 0, "preset background colour" },
    { "shortcutBorderPresetColor", SettingsValueType::ArchivedColor, 0, "preset border colour" },
    { "shortcutPresetColorScheme", SettingsValueType::Integer, 0, "presets screen scheme segment: 0 analogous, 1 complementary, 2 triadic" },
} };

const SettingsKey* settingsKeyNamed(std::string_view);

// The typed readers. A dictionary that is null reads as an empty one. A value
// of another type than the reader's never fails: booleans and numbers convert
// as NSNumber does, strings as NSString's -boolValue / -integerValue, and
// anything else (data, dates, collections) gives the default. stringPref
// gives the default for a value that is not a string, and objectPref gives
// none for a value that is not an archive it can decode.
bool boolPref(const NSDictionary*, std::string_view key, bool defaultValue);
std::int64_t intPref(const NSDictionary*, std::string_view key, std::int64_t defaultValue);
std::string stringPref(const NSDictionary*, std::string_view key, std::string defaultValue);
RefPtr<NSObject> objectPref(const NSDictionary*, std::string_view key);
