#include "UIBackdropViewSettings.h"

#include <objc/ClassBuilder.h>

namespace {

struct Style {
    const char* className;
    CGFloat blurRadius;
    CGFloat tintWhite; // negative: no tint
    CGFloat tintAlpha;
    CGFloat saturation;
};

// Values of our choosing that look like the names.
constexpr Style styles[] = {
    { "_UIBackdropViewSettingsBlur", 20, -1, 0, 1.0 },
    { "_UIBackdropViewSettingsLight", 30, 0.97, 0.6, 1.8 },
    { "_UIBackdropViewSettingsLightLow", 16, 0.97, 0.4, 1.4 },
    { "_UIBackdropViewSettingsSemiLight", 24, 0.9, 0.45, 1.6 },
    { "_UIBackdropViewSettingsAdaptiveLight", 30, 0.95, 0.7, 1.9 },
    { "_UIBackdropViewSettingsUltraLight", 30, 1.0, 0.85, 1.8 },
    { "_UIBackdropViewSettingsDark", 20, 0.11, 0.73, 1.7 },
    { "_UIBackdropViewSettingsDarkLow", 14, 0.11, 0.5, 1.4 },
    { "_UIBackdropViewSettingsUltraDark", 30, 0.05, 0.9, 1.2 },
};

template <std::size_t index> id initWithDefaultValues(id self, SEL)
{
    auto* settings = static_cast<_UIBackdropViewSettings*>(self);
    const Style& style = styles[index];
    settings->m_blurRadius = style.blurRadius;
    settings->m_colorTint = style.tintWhite < 0 ? nullptr : RefPtr<UIColor>(UIColor::colorWithWhite(style.tintWhite, 1));
    settings->m_colorTintAlpha = style.tintAlpha;
    settings->m_saturationDeltaFactor = style.saturation;
    return self;
}

// The nine classes are run-time subclasses: they differ only in their defaults.
template <std::size_t index> void registerStyle()
{
    Class cls = objc_allocateClassPair(_UIBackdropViewSettings::objcClass(), styles[index].className);
    if (!cls)
        return;
    class_addMethod(cls, initWithDefaultValuesSelector(), IMP(&initWithDefaultValues<index>));
    objc_registerClassPair(cls);
}

id baseInitWithDefaultValues(id self, SEL)
{
    return self;
}

}

Class _UIBackdropViewSettings::objcClass()
{
    static Class cls = ClassBuilder<_UIBackdropViewSettings>("_UIBackdropViewSettings", NSObject::objcClass())
                           .method("initWithDefaultValues", &baseInitWithDefaultValues)
                           .registerClass();
    return cls;
}

[[maybe_unused]] static bool registeredStyles = [] {
    _UIBackdropViewSettings::objcClass();
    [&]<std::size_t... index>(std::index_sequence<index...>)
    {
        (registerStyle<index>(), ...);
    }
    (std::make_index_sequence<std::size(styles)>());
    return true;
}();
