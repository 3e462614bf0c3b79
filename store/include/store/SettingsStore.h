#pragma once

// The settings store that the tweak and the settings bundle share: one
// property-list file of eighteen optional keys (SettingsKeys.h), typed
// readers, and the one way to change it, which posts the change notification.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <foundation/NSDictionary.h>
#include <objc/NSObject.h>
#include <uikit/UIColor.h>

#include "SettingsKeys.h"

inline constexpr const char* kMenutoneDomain = "com.harbrook.Menutone";
inline constexpr const char* kMenutoneSettingsPath = "/var/mobile/Library/Preferences/com.harbrook.Menutone.plist";
inline constexpr const char* kMenutoneSettingsChangedNotification = "com.harbrook.Menutone.notify";

// ColorIndex values are stored as integers; the type says they name a palette entry.
enum class SettingsValueType { Boolean, Integer, ColorIndex, String, ArchivedColor };

struct SettingsKey {
    const char* name;
    SettingsValueType type;
    std::int64_t defaultValue; // booleans and integers only
    const char* meaning;
};

// The key names, as constants: MenutoneKey::shortcutBlurStyle.
namespace MenutoneKey {
#define MENUTONE_KEY_NAME(member, key, type, defaultValue, meaning) inline constexpr const char* member = key;
MENUTONE_SETTINGS_KEYS(MENUTONE_KEY_NAME)
#undef MENUTONE_KEY_NAME
}

#define MENUTONE_KEY_ENTRY(member, key, type, defaultValue, meaning) SettingsKey { key, SettingsValueType::type, defaultValue, meaning },
inline constexpr std::array kMenutoneSettingsKeys { MENUTONE_SETTINGS_KEYS(MENUTONE_KEY_ENTRY) };
#undef MENUTONE_KEY_ENTRY

const SettingsKey* settingsKeyNamed(std::string_view);

// The C++ type each stored type reads as.
template <SettingsValueType> struct SettingsValueOf;
template <> struct SettingsValueOf<SettingsValueType::Boolean> {
    using Type = bool;
};
template <> struct SettingsValueOf<SettingsValueType::Integer> {
    using Type = std::int64_t;
};
template <> struct SettingsValueOf<SettingsValueType::ColorIndex> {
    using Type = std::int64_t;
};
template <> struct SettingsValueOf<SettingsValueType::String> {
    using Type = std::optional<std::string>; // none when absent or not a string
};
template <> struct SettingsValueOf<SettingsValueType::ArchivedColor> {
    using Type = RefPtr<UIColor>;
};

// Every setting as the tweak's readers see it.
struct MenutoneSettings {
#define MENUTONE_SETTINGS_MEMBER(member, key, type, defaultValue, meaning) SettingsValueOf<SettingsValueType::type>::Type member {};
    MENUTONE_SETTINGS_KEYS(MENUTONE_SETTINGS_MEMBER)
#undef MENUTONE_SETTINGS_MEMBER

    // A dictionary that is null reads as an empty one.
    static MenutoneSettings read(const NSDictionary*);
    // The store file's, read now.
    static MenutoneSettings stored();
};

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

namespace SettingsStore {

// The stored dictionary; none when there is no file or it is not a dictionary.
std::optional<NSMutableDictionary> read();

enum class AfterWrite { PostChange, Nothing };

// The store's write protocol, the only one: under the preferences' write
// lock, read the whole file (or start empty), change it, write it back
// atomically; then post the change notification. Answers what was written
// (the write's own result is not looked at, as on the device).
NSMutableDictionary change(const std::function<void(NSMutableDictionary&)>&, AfterWrite = AfterWrite::PostChange);
// One key set, or removed when the value is none.
NSMutableDictionary change(std::string_view key, std::optional<PropertyListValue>, AfterWrite = AfterWrite::PostChange);

// The whole store replaced by a copy the caller holds, under the lock.
bool replace(const NSDictionary&, AfterWrite = AfterWrite::PostChange);

void postChange();

}
