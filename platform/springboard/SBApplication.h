#pragma once

// An installed app as the home screen knows it, with the static shortcut
// items its Info.plist declares.

#include <string>
#include <vector>

#include <uikit/UIImage.h>

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

    std::string m_type;
    std::string m_title;
    std::string m_subtitle;
    RefPtr<UIImage> m_icon;
};

class SBApplication : public NSObject {
public:
    SBApplication() = default;
    static Class objcClass();

    // The apps under Applications/*.app of the device root, by bundle identifier.
    static std::vector<Ref<SBApplication>> installedApplications();

    const std::string& bundleIdentifier() const { return m_bundleIdentifier; }
    const std::string& displayName() const { return m_displayName; }
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
