#pragma once

#include <objc/NSObject.h>

#include "CGColor.h"

// A view's layer: border and corner radius.
class CALayer : public NSObject {
public:
    CALayer() = default;
    static Class objcClass();
    static Ref<CALayer> create() { return adoptRef(*new CALayer); }

    CGFloat borderWidth() const { return m_borderWidth; }
    void setBorderWidth(CGFloat width) { m_borderWidth = width; }
    // The layer keeps the colour; none is no border colour.
    CGColorRef borderColor() const { return m_borderColor.get(); }
    void setBorderColor(CGColorRef color) { m_borderColor = color; }
    CGFloat cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(CGFloat radius) { m_cornerRadius = radius; }

private:
    CGFloat m_borderWidth { 0 };
    RefPtr<CGColor> m_borderColor;
    CGFloat m_cornerRadius { 0 };
};
