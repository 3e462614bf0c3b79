#pragma once

// The private blur settings classes: a blur radius, a tint colour with its
// alpha, and a saturation factor, made by "initWithDefaultValues".

#include <uikit/UIColor.h>

class _UIBackdropViewSettings : public NSObject {
public:
    _UIBackdropViewSettings() = default;
    static Class objcClass();

    CGFloat blurRadius() const { return m_blurRadius; }
    UIColor* colorTint() const { return m_colorTint.get(); }
    CGFloat colorTintAlpha() const { return m_colorTintAlpha; }
    CGFloat saturationDeltaFactor() const { return m_saturationDeltaFactor; }

    CGFloat m_blurRadius { 0 };
    RefPtr<UIColor> m_colorTint;
    CGFloat m_colorTintAlpha { 0 };
    CGFloat m_saturationDeltaFactor { 1 };
};

inline SEL initWithDefaultValuesSelector()
{
    return sel_registerName("initWithDefaultValues");
}
