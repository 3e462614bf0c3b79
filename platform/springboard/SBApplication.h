#pragma once

// An installed app as the home screen knows it, with the static shortcut
// items its Info.plist declares.

#include <optional>
#include <string>
#include <vector>

#include <foundation/NSDictionary.h>
#include <foundation/PropertyListValue.h>
#include <uikit/UIImage.h>

// Posted by the installer after an app is installed or removed, so that a
// running home screen lays out its icons again.
inline constexpr const char* kApplicationInstalledNotification = "com.apple.mobile.application_installed";
inline constexpr const char* kApplicationUninstalledNotification = "com.apple.mobile.application_uninstalled";

class SBSApplicationShortcutItem : public NSObject {
public:
    SBSApplicationShortcutItem() = default;
    static Class objcClass();

    // -type through the runtime: the shortcut's type identifier.
    const std::string& type() const { return m_type; }
    const std::string& localizedTitle() const { return m_title; }
    // Empty for an item without a subtitle.
    const std::string& localizedSubtitle() const { return m_subtitle; }
    UIImage* icon() const { return m_icon.get(); }
    // Where the icon came from: a file of the bundle
    // (UIApplicationShortcutItemIconFile), one of the system's shortcut
    // icons (UIApplicationShortcutItemIconType), or none (neither given, an
    // unknown type, or a file the bundle lacks, as on a device).
    enum class IconKind { None, File, System };
    IconKind iconKind() const { return m_iconKind; }
    // The file's or the type's name, as the Info.plist gives it.
    const std::string& iconName() const { return m_iconName; }
    // UIApplicationShortcutItemUserInfo, if the item has one.
    const PropertyListValue* userInfo() const { return m_userInfo ? &*m_userInfo : nullptr; }

    std::string m_type;
    std::string m_title;
    std::string m_subtitle;
    RefPtr<UIImage> m_icon;
    IconKind m_iconKind { IconKind::None };
    std::string m_iconName;
    std::optional<PropertyListValue> m_userInfo;
};

class SBApplication : public NSObject {
public:
    SBApplication() = default;
    static Class objcClass();

    // The apps under Applications/*.app of the device root, by bundle
    // identifier. Shortcut titles and subtitles are looked up in the bundle's
    // InfoPlist.strings for the device's language; an item the Info.plist
    // declares wrongly is left out, with a line on stderr.
    static std::vector<Ref<SBApplication>> installedApplications();
    // The Info.plist of an app folder ("/Applications/Notes.app"), read
    // beneath the bundle: a link out of it is never followed. None when it
    // is missing or is no dictionary.
    static std::optional<NSDictionary> infoDictionaryOfBundle(const std::string& bundleFolder);

    const std::string& bundleIdentifier() const { return m_bundleIdentifier; }
    const std::string& displayName() const { return m_displayName; }
    // The home-screen icon the bundle names (CFBundleIcons, CFBundleIconFiles
    // or CFBundleIconFile), 60 points square, masked to the rounded icon
    // shape; the system's blank icon when it names none it has.
    UIImage* icon() const { return m_icon.get(); }
    const std::vector<Ref<SBSApplicationShortcutItem>>& shortcutItems() const { return m_shortcutItems; }

private:
    std::string m_bundleIdentifier;
    std::string m_displayName;
    RefPtr<UIImage> m_icon;
    std::vector<Ref<SBSApplicationShortcutItem>> m_shortcutItems;
};

inline SEL typeSelector()
{
    return sel_registerName("type");
}
