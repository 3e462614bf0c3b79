#include "SBApplication.h"

#include <algorithm>
#include <filesystem>

#include <device/DeviceRoot.h>
#include <foundation/NSDictionary.h>
#include <objc/ClassBuilder.h>

namespace {

// -type, as a C string that lives as long as the item.
const char* typeOf(id self, SEL)
{
    return static_cast<SBSApplicationShortcutItem*>(self)->type().c_str();
}

std::string stringOf(const PropertyListValue* value)
{
    return value && value->asString() ? *value->asString() : std::string();
}

// An icon file named in the app's folder: NAME@2x.png first, then NAME.png.
RefPtr<UIImage> iconNamed(const std::string& appFolder, const std::string& name)
{
    if (name.empty() || name.find('/') != std::string::npos)
        return nullptr;
    if (auto image = UIImage::imageWithContentsOfFile(appFolder + "/" + name + "@2x.png"))
        return image;
    return UIImage::imageWithContentsOfFile(appFolder + "/" + name + ".png");
}

}

Class SBSApplicationShortcutItem::objcClass()
{
    static Class cls = ClassBuilder<SBSApplicationShortcutItem>("SBSApplicationShortcutItem", NSObject::objcClass()).method("type", &typeOf).registerClass();
    return cls;
}

Class SBApplication::objcClass()
{
    static Class cls = ClassBuilder<SBApplication>("SBApplication", NSObject::objcClass()).registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredSBSApplicationShortcutItem = SBSApplicationShortcutItem::objcClass();
[[maybe_unused]] static Class registeredSBApplication = SBApplication::objcClass();

std::vector<Ref<SBApplication>> SBApplication::installedApplications()
{
    std::vector<Ref<SBApplication>> applications;
    for (auto& name : DeviceRoot::current().namesWithExtension("/Applications", ".app")) {
        std::string appFolder = "/Applications/" + name + ".app";
        auto info = NSDictionary::dictionaryWithContentsOfFile(appFolder + "/Info.plist");
        if (!info || stringOf(info->objectForKey("CFBundleIdentifier")).empty())
            continue;
        auto application = adoptRef(*new SBApplication);
        application->m_bundleIdentifier = stringOf(info->objectForKey("CFBundleIdentifier"));
        application->m_displayName = stringOf(info->objectForKey("CFBundleDisplayName"));
        if (application->m_displayName.empty())
            application->m_displayName = name;
        application->m_icon = iconNamed(appFolder, stringOf(info->objectForKey("CFBundleIconFile")));
        if (auto* items = info->objectForKey("UIApplicationShortcutItems"); items && items->asArray()) {
            for (auto& declared : *items->asArray()) {
                auto type = stringOf(declared.objectForKey("UIApplicationShortcutItemType"));
                auto title = stringOf(declared.objectForKey("UIApplicationShortcutItemTitle"));
                if (type.empty() || title.empty())
                    continue;
                auto item = adoptRef(*new SBSApplicationShortcutItem);
                item->m_type = type;
                item->m_title = title;
                item->m_subtitle = stringOf(declared.objectForKey("UIApplicationShortcutItemSubtitle"));
                item->m_icon = iconNamed(appFolder, stringOf(declared.objectForKey("UIApplicationShortcutItemIconFile")));
                // Icons the app asks to keep in their own colours (this host's key).
                if (auto* mode = declared.objectForKey("SBShortcutItemIconRenderingMode"); item->m_icon && mode && mode->integerValue())
                    item->m_icon
                        = item->m_icon->imageWithRenderingMode(static_cast<UIImageRenderingMode>(std::clamp<std::int64_t>(*mode->integerValue(), 0, 2)));
                application->m_shortcutItems.push_back(std::move(item));
            }
        }
        applications.push_back(std::move(application));
    }
    return applications;
}
