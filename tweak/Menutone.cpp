// Menutone: restyles SpringBoard's shortcut menus. Loaded into SpringBoard by
// the code-injection loader, it replaces five methods of the menu's classes
// at load time; each replacement runs SpringBoard's own implementation first
// and then restyles what it built from the settings kept in memory, which are
// reread whenever the settings bundle posts its change notification.

#include <optional>

#include <corefoundation/CFNotificationCenter.h>
#include <foundation/NSDictionary.h>
#include <objc/AutoreleasePool.h>
#include <objc/MessageSend.h>
#include <store/PaletteIndex.h>
#include <store/SettingsStore.h>
#include <substrate/Substrate.h>
#include <uikit/UIFont.h>
#include <uikit/UIImageView.h>
#include <uikit/UILabel.h>

namespace {

// The settings in memory, replaced wholesale by every LoadSettings.
std::optional<NSDictionary> pref;
bool isEnabled;
bool isShortcutPreset;
bool isShortcutBorder;
bool isHideShortcutBlur;
std::int64_t shortcutTitleColor;
std::int64_t shortcutSubtitleColor;
std::int64_t shortcutIconColor;
std::int64_t shortcutBackgroundColor;
std::int64_t shortcutBorderColor;
std::int64_t shortcutBlurStyle;
RefPtr<UIColor> shortcutTitlePresetColor;
RefPtr<UIColor> shortcutSubtitlePresetColor;
RefPtr<UIColor> shortcutIconPresetColor;
RefPtr<UIColor> shortcutBackgroundPresetColor;
RefPtr<UIColor> shortcutBorderPresetColor;
std::optional<std::string> shortcutTitleFont;
std::optional<std::string> shortcutSubtitleFont;

void LoadSettings()
{
    pref = NSDictionary::dictionaryWithContentsOfFile(kMenutoneSettingsPath);
    auto settings = MenutoneSettings::read(pref ? &*pref : nullptr);
    isEnabled = settings.isEnabled;
    shortcutTitleColor = settings.shortcutTitleColor;
    shortcutSubtitleColor = settings.shortcutSubtitleColor;
    shortcutIconColor = settings.shortcutIconColor;
    shortcutBackgroundColor = settings.shortcutBackgroundColor;
    isHideShortcutBlur = settings.isHideShortcutBlur;
    shortcutBlurStyle = settings.shortcutBlurStyle;
    isShortcutBorder = settings.isShortcutBorder;
    shortcutBorderColor = settings.shortcutBorderColor;
    shortcutTitleFont = settings.shortcutTitleFont;
    shortcutSubtitleFont = settings.shortcutSubtitleFont;
    shortcutTitlePresetColor = settings.shortcutTitlePresetColor;
    shortcutSubtitlePresetColor = settings.shortcutSubtitlePresetColor;
    shortcutIconPresetColor = settings.shortcutIconPresetColor;
    shortcutBackgroundPresetColor = settings.shortcutBackgroundPresetColor;
    shortcutBorderPresetColor = settings.shortcutBorderPresetColor;
    isShortcutPreset = settings.isShortcutPreset;
}

void settingsChanged(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef)
{
    LoadSettings();
}

// The object in a named instance variable, or null.
template <typename T> T* ivarObject(id self, const char* name)
{
    auto* slot = MSHookIvar<RefPtr<T>>(self, name);
    return slot ? slot->get() : nullptr;
}

double ivarDouble(id self, const char* name)
{
    auto* slot = MSHookIvar<double>(self, name);
    return slot ? *slot : 0;
}

// Slots for the replaced implementations, filled by the hook installer.
id (*original_itemInit)(id, SEL, id, std::int64_t, std::int64_t, id, id, id, std::uint64_t);
id (*original_backgroundInit)(id, SEL, CGRect);
id (*original_menuInit)(id, SEL, CGRect, id, id, id, std::int64_t);
void (*original_peek)(id, SEL, double, double);
void (*original_updateBackground)(id, SEL, double);

void styleFont(UILabel* label, const std::optional<std::string>& font, double size)
{
    if (!label)
        return;
    UIFont* current = label->font();
    std::string name = font.value_or(current ? current->fontName() : std::string());
    // Fonts are shared per face and size, so asking again for the label's own would hand back the same object.
    if (current && current->pointSize() == size && current->fontName() == name)
        return;
    label->setFont(UIFont::fontWithName(name, size));
}

id replaced_itemInit(id self, SEL op, id shortcutItem, std::int64_t menuPosition, std::int64_t orientation, id application, id assetManagerProvider,
    id monogrammerProvider, std::uint64_t options)
{
    id result = original_itemInit(self, op, shortcutItem, menuPosition, orientation, application, assetManagerProvider, monogrammerProvider, options);
    if (!result || !isEnabled)
        return result;

    auto* titleLabel = ivarObject<UILabel>(self, "_titleLabel");
    if (titleLabel)
        titleLabel->setTextColor(isShortcutPreset ? shortcutTitlePresetColor : colorInt(shortcutTitleColor, titleLabel->textColor()));
    auto* subtitleLabel = ivarObject<UILabel>(self, "_subtitleLabel");
    if (subtitleLabel)
        subtitleLabel->setTextColor(isShortcutPreset ? shortcutSubtitlePresetColor : colorInt(shortcutSubtitleColor, subtitleLabel->textColor()));
    auto* iconView = ivarObject<UIImageView>(self, "_iconView");
    if (iconView) {
        iconView->setTintColor(isShortcutPreset ? shortcutIconPresetColor : colorInt(shortcutIconColor, iconView->tintColor()));
        UIImage* image = iconView->image();
        bool isAutomatic = !image || image->renderingMode() == UIImageRenderingMode::Automatic;
        if (isAutomatic) {
            static SEL typeSelector = sel_registerName("type");
            const char* type = objc_msgSend<const char*()>(ivarObject<NSObject>(self, "_shortcutItem"), typeSelector);
            if (!type || std::string_view(type) != "weatherIconTemp")
                iconView->setImage(image ? RefPtr<UIImage>(image->imageWithRenderingMode(UIImageRenderingMode::AlwaysTemplate)) : nullptr);
        }
    }
    styleFont(titleLabel, shortcutTitleFont, ivarDouble(self, "_titleFontSize"));
    styleFont(subtitleLabel, shortcutSubtitleFont, ivarDouble(self, "_subtitleFontSize"));
    return result;
}

id replaced_backgroundInit(id self, SEL op, CGRect frame)
{
    id result = original_backgroundInit(self, op, frame);
    if (!result || !isEnabled)
        return result;
    auto* view = static_cast<UIView*>(self);
    view->layer()->setBorderWidth(isShortcutBorder ? 1.0 : 0.0);
    RefPtr<UIColor> borderColor = isShortcutPreset ? shortcutBorderPresetColor : colorInt(shortcutBorderColor, UIColor::blackColor().ptr());
    view->layer()->setBorderColor(borderColor ? borderColor->CGColor() : nullptr);
    view->setBackgroundColor(isShortcutPreset ? shortcutBackgroundPresetColor : colorInt(shortcutBackgroundColor, view->backgroundColor()));
    return result;
}

constexpr const char* blurSettingsClassNames[] = { nullptr, "_UIBackdropViewSettingsBlur", "_UIBackdropViewSettingsLight", "_UIBackdropViewSettingsLightLow",
    "_UIBackdropViewSettingsSemiLight", "_UIBackdropViewSettingsAdaptiveLight", "_UIBackdropViewSettingsUltraLight", "_UIBackdropViewSettingsDark",
    "_UIBackdropViewSettingsDarkLow", "_UIBackdropViewSettingsUltraDark" };

id replaced_menuInit(id self, SEL op, CGRect frame, id application, id iconView, id interactionProgress, std::int64_t orientation)
{
    id result = original_menuInit(self, op, frame, application, iconView, interactionProgress, orientation);
    auto style = static_cast<std::uint64_t>(shortcutBlurStyle);
    if (result && isEnabled && style >= 1 && style <= 9) {
        RefPtr<NSObject> settings = class_createInstance(objc_getClass(blurSettingsClassNames[style]));
        RefPtr<NSObject> made = objc_msgSend<id()>(settings.get(), sel_registerName("initWithDefaultValues"));
        if (auto* slot = MSHookIvar<RefPtr<NSObject>>(self, "_blurSettings"))
            *slot = made;
    }
    return result;
}

double blurFraction(double hostFraction)
{
    return isEnabled && isHideShortcutBlur ? 0.0 : hostFraction;
}

void replaced_peek(id self, SEL op, double contentFraction, double smoothedBlurFraction)
{
    original_peek(self, op, contentFraction, blurFraction(smoothedBlurFraction));
}

void replaced_updateBackground(id self, SEL op, double fraction)
{
    original_updateBackground(self, op, blurFraction(fraction));
}

// The load-time entry.
__attribute__((constructor)) void menutoneEntry()
{
    AutoreleasePool pool;
    MSHookMessageEx(objc_getClass("SBApplicationShortcutMenuItemView"),
        sel_registerName("initWithShortcutItem:menuPosition:orientation:application:assetManagerProvider:monogrammerProvider:options:"), &replaced_itemInit,
        &original_itemInit);
    MSHookMessageEx(
        objc_getClass("SBApplicationShortcutMenuBackgroundView"), sel_registerName("initWithFrame:"), &replaced_backgroundInit, &original_backgroundInit);
    Class menuClass = objc_getClass("SBApplicationShortcutMenu");
    MSHookMessageEx(menuClass, sel_registerName("initWithFrame:application:iconView:interactionProgress:orientation:"), &replaced_menuInit, &original_menuInit);
    MSHookMessageEx(menuClass, sel_registerName("_peekWithContentFraction:smoothedBlurFraction:"), &replaced_peek, &original_peek);
    MSHookMessageEx(menuClass, sel_registerName("_updateBackgroundForBlurFraction:"), &replaced_updateBackground, &original_updateBackground);
    CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), nullptr, &settingsChanged,
        CFStringMakeConstantString(kMenutoneSettingsChangedNotification), nullptr, CFNotificationSuspensionBehaviorCoalesce);
    LoadSettings();
}

}
