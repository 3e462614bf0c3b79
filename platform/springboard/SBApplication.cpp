#include "SBApplication.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include <device/DeviceRoot.h>
#include <foundation/NSDictionary.h>
#include <foundation/NSLocale.h>
#include <foundation/PropertyListSerialization.h>
#include <foundation/StringsTable.h>
#include <objc/Assertions.h>
#include <objc/ClassBuilder.h>
#include <uikit/UIGraphics.h>

#include "SBIconFiles.h"
#include "SBShortcutIcons.h"

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

bool isFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

// An image file named in the app's folder, as UIImage imageNamed: finds it:
// NAME@2x.png, NAME@3x.png, NAME.png, then NAME itself if it has an extension;
// decoded for drawing at `drawnPoints`.
RefPtr<UIImage> imageNamed(const std::string& appFolder, const std::string& name, CGFloat drawnPoints, const std::string& identifier)
{
    if (!isFileName(name))
        return nullptr;
    std::string base = name.ends_with(".png") ? name.substr(0, name.size() - 4) : name;
    for (const char* suffix : { "@2x.png", "@3x.png", ".png" }) {
        if (auto image = iconFileImage(appFolder, base + suffix, drawnPoints, identifier))
            return image;
    }
    if (std::filesystem::path(name).has_extension())
        return iconFileImage(appFolder, name, drawnPoints, identifier);
    return nullptr;
}

// The sizes icons are drawn at, in points.
constexpr CGFloat homeScreenIconSide = 60;
constexpr CGFloat shortcutGlyphSide = 35;

std::vector<std::string> stringsOf(const PropertyListValue* value)
{
    std::vector<std::string> strings;
    if (value && value->asArray()) {
        for (auto& element : *value->asArray()) {
            if (auto* text = element.asString())
                strings.push_back(*text);
        }
    }
    return strings;
}

// The home-screen icon, as SpringBoard looks for it: CFBundleIcons →
// CFBundlePrimaryIcon → CFBundleIconFiles, else CFBundleIconFiles, else
// CFBundleIconFile; of several files, the largest.
RefPtr<UIImage> applicationIcon(const std::string& appFolder, const NSDictionary& info, const std::string& identifier)
{
    std::vector<std::string> names;
    if (auto* icons = info.objectForKey("CFBundleIcons")) {
        if (auto* primary = icons->objectForKey("CFBundlePrimaryIcon")) {
            names = stringsOf(primary->objectForKey("CFBundleIconFiles"));
            if (auto name = stringOf(primary->objectForKey("CFBundleIconName")); names.empty() && !name.empty())
                names.push_back(name);
        }
    }
    if (names.empty())
        names = stringsOf(info.objectForKey("CFBundleIconFiles"));
    if (names.empty())
        names.push_back(stringOf(info.objectForKey("CFBundleIconFile")));
    RefPtr<UIImage> largest;
    for (auto& name : names) {
        auto image = imageNamed(appFolder, name, homeScreenIconSide, identifier);
        if (image && (!largest || image->pixelSize().width > largest->pixelSize().width))
            largest = image;
    }
    return largest;
}

// The icon as the home screen shows it: 60 points square at @2x, masked to
// the rounded icon shape; the system's blank icon (white, with a faint grid)
// for an app that has none.
Ref<UIImage> homeScreenIcon(UIImage* image)
{
    constexpr CGFloat side = homeScreenIconSide, cornerRadius = 13.5;
    UIGraphicsBeginImageContextWithOptions({ side, side }, false, 2);
    cairo_t* cr = UIGraphicsGetCurrentContext()->cairo;
    addRoundedRectangle(cr, 0, 0, side, side, cornerRadius);
    cairo_clip(cr);
    if (image)
        image->drawInRect({ {}, { side, side } });
    else {
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        cairo_set_source_rgb(cr, 0.86, 0.86, 0.88);
        cairo_set_line_width(cr, 0.5);
        for (CGFloat at : { 15.0, 30.0, 45.0 }) {
            cairo_move_to(cr, at, 0);
            cairo_line_to(cr, at, side);
            cairo_move_to(cr, 0, at);
            cairo_line_to(cr, side, at);
        }
        cairo_stroke(cr);
        addRoundedRectangle(cr, 0.5, 0.5, side - 1, side - 1, cornerRadius - 0.5);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    auto icon = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    OBJC_ASSERT(icon, "a 60-point icon canvas could not be made");
    return icon.releaseNonNull();
}

// The bundle's table for the device's languages, as CFBundle picks one: the
// first preferred language the bundle has (with its region, then without),
// else its development region's, else Base.lproj.
foundation::StringsTable localizedTable(const std::string& appFolder, const NSDictionary& info, const std::string& identifier)
{
    std::vector<std::string> folders;
    for (auto language : NSLocale::preferredLanguages()) {
        std::replace(language.begin(), language.end(), '_', '-');
        for (std::string candidate = language;;) {
            folders.push_back(candidate);
            std::string underscored = candidate;
            std::replace(underscored.begin(), underscored.end(), '-', '_');
            if (underscored != candidate)
                folders.push_back(underscored);
            auto dash = candidate.rfind('-');
            if (dash == std::string::npos)
                break;
            candidate.resize(dash);
        }
    }
    if (auto region = stringOf(info.objectForKey("CFBundleDevelopmentRegion")); !region.empty())
        folders.push_back(region);
    folders.push_back("Base");
    DeviceRoot root = DeviceRoot::current();
    for (auto& folder : folders) {
        if (!isFileName(folder + ".lproj"))
            continue;
        if (!root.isFolder(appFolder + "/" + folder + ".lproj"))
            continue;
        auto bytes = root.readFileInFolder(appFolder, folder + ".lproj/InfoPlist.strings");
        if (!bytes)
            continue;
        auto read = foundation::readStringsTable(*bytes);
        if (read)
            return std::move(*read);
        std::fprintf(stderr, "SpringBoard: %s: %s/InfoPlist.strings is not a strings table (%s); titles are shown as they stand\n", identifier.c_str(),
            (folder + ".lproj").c_str(), read.error().message.c_str());
        return {};
    }
    return {};
}

std::string localized(const foundation::StringsTable& table, const std::string& key)
{
    auto found = table.find(key);
    return found == table.end() ? key : found->second;
}

// One declared item, or none (said on stderr) when it is declared wrongly.
RefPtr<SBSApplicationShortcutItem> shortcutItem(
    const PropertyListValue& declared, std::size_t position, const std::string& appFolder, const foundation::StringsTable& table, const std::string& identifier)
{
    auto leaveOut = [&](const std::string& why) -> RefPtr<SBSApplicationShortcutItem> {
        std::fprintf(stderr, "SpringBoard: %s: shortcut item %zu %s; left out\n", identifier.c_str(), position + 1, why.c_str());
        return nullptr;
    };
    if (!declared.asDictionary())
        return leaveOut("is not a dictionary");
    auto stringKey = [&](const char* key, bool isRequired) -> std::optional<std::string> {
        auto* value = declared.objectForKey(key);
        if (!value)
            return isRequired ? std::nullopt : std::optional<std::string>(std::string());
        if (!value->asString())
            return std::nullopt;
        return *value->asString();
    };
    static const char* const required[] = { "UIApplicationShortcutItemType", "UIApplicationShortcutItemTitle" };
    for (const char* key : required) {
        auto value = stringKey(key, true);
        if (!value || value->empty())
            return leaveOut(declared.objectForKey(key) ? std::string("has a ") + key + " that is not a string, or is empty" : std::string("has no ") + key);
    }
    static const char* const optional[] = { "UIApplicationShortcutItemSubtitle", "UIApplicationShortcutItemIconFile", "UIApplicationShortcutItemIconType" };
    for (const char* key : optional) {
        if (!stringKey(key, false))
            return leaveOut(std::string("has a ") + key + " that is not a string");
    }
    auto* userInfo = declared.objectForKey("UIApplicationShortcutItemUserInfo");
    if (userInfo && !userInfo->asDictionary())
        return leaveOut("has a UIApplicationShortcutItemUserInfo that is not a dictionary");

    auto item = adoptRef(*new SBSApplicationShortcutItem);
    item->m_type = *stringKey("UIApplicationShortcutItemType", true);
    item->m_title = localized(table, *stringKey("UIApplicationShortcutItemTitle", true));
    if (auto subtitle = *stringKey("UIApplicationShortcutItemSubtitle", false); !subtitle.empty())
        item->m_subtitle = localized(table, subtitle);
    if (userInfo)
        item->m_userInfo = *userInfo;
    // A file wins over a type; a file the bundle lacks, or an unknown type, gives no icon.
    if (auto file = *stringKey("UIApplicationShortcutItemIconFile", false); !file.empty()) {
        item->m_iconName = file;
        item->m_icon = imageNamed(appFolder, file, shortcutGlyphSide, identifier);
        if (item->m_icon)
            item->m_iconKind = SBSApplicationShortcutItem::IconKind::File;
    } else if (auto type = *stringKey("UIApplicationShortcutItemIconType", false); !type.empty()) {
        item->m_iconName = type;
        item->m_icon = systemShortcutIcon(type);
        if (item->m_icon)
            item->m_iconKind = SBSApplicationShortcutItem::IconKind::System;
    }
    // Icons the app asks to keep in their own colours (this host's key).
    if (auto* mode = declared.objectForKey("SBShortcutItemIconRenderingMode"); item->m_icon && mode && mode->integerValue())
        item->m_icon = item->m_icon->imageWithRenderingMode(static_cast<UIImageRenderingMode>(std::clamp<std::int64_t>(*mode->integerValue(), 0, 2)));
    return item;
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

std::optional<NSDictionary> SBApplication::infoDictionaryOfBundle(const std::string& bundleFolder)
{
    auto bytes = DeviceRoot::current().readFileInFolder(bundleFolder, "Info.plist");
    auto value = bytes ? PropertyListSerialization::propertyListWithData(*bytes) : std::nullopt;
    if (!value || !value->asDictionary())
        return std::nullopt;
    return NSDictionary(*value->asDictionary());
}

std::vector<Ref<SBApplication>> SBApplication::installedApplications()
{
    std::vector<Ref<SBApplication>> applications;
    for (auto& name : DeviceRoot::current().namesWithExtension("/Applications", ".app")) {
        std::string appFolder = "/Applications/" + name + ".app";
        // Everything an app brings is read beneath its bundle: a link out of it is not followed.
        auto info = infoDictionaryOfBundle(appFolder);
        if (!info || stringOf(info->objectForKey("CFBundleIdentifier")).empty())
            continue;
        auto application = adoptRef(*new SBApplication);
        application->m_bundleIdentifier = stringOf(info->objectForKey("CFBundleIdentifier"));
        application->m_displayName = stringOf(info->objectForKey("CFBundleDisplayName"));
        if (application->m_displayName.empty())
            application->m_displayName = name;
        application->m_icon = homeScreenIcon(applicationIcon(appFolder, *info, application->m_bundleIdentifier).get());
        if (auto* items = info->objectForKey("UIApplicationShortcutItems"); items && items->asArray()) {
            auto table = localizedTable(appFolder, *info, application->m_bundleIdentifier);
            for (std::size_t i = 0; i < items->asArray()->size(); ++i) {
                if (auto item = shortcutItem((*items->asArray())[i], i, appFolder, table, application->m_bundleIdentifier))
                    application->m_shortcutItems.push_back(item.releaseNonNull());
            }
        }
        applications.push_back(std::move(application));
    }
    return applications;
}
