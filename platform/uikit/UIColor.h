#pragma once

#include <objc/NSObject.h>

#include "CGColor.h"

// A colour: a CoreGraphics colour in a grey, RGB or CMYK space with alpha.
// Colours archive as the device's UIColor does, so archives cross between
// the device and here.
class UIColor : public NSObject {
public:
    UIColor();
    static Class objcClass();

    static Ref<UIColor> colorWithRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
    static Ref<UIColor> colorWithWhite(CGFloat white, CGFloat alpha);
    // The standard HSB (HSV) conversion to RGB. Hue is taken modulo one turn,
    // so 1.0 (360 degrees) is 0; saturation and brightness are clamped to 0..1.
    static Ref<UIColor> colorWithHue(CGFloat hue, CGFloat saturation, CGFloat brightness, CGFloat alpha);
    static Ref<UIColor> colorWithCGColor(Ref<CGColor>);
    // A colour that paints the image, tiled.
    static Ref<UIColor> colorWithPatternImage(Ref<class UIImage>);
    class UIImage* patternImage() const;

    static Ref<UIColor> clearColor();
    static Ref<UIColor> blackColor();
    static Ref<UIColor> whiteColor();
    static Ref<UIColor> lightGrayColor();
    // The grey behind grouped tables (239, 239, 244 on iOS 9).
    static Ref<UIColor> groupTableViewBackgroundColor();

    Ref<UIColor> colorWithAlphaComponent(CGFloat alpha) const;

    // Each answers false, writing nothing, when the colour has no such form:
    // RGB and HSB for grey and RGB colours, white for grey colours.
    bool getRed(CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) const;
    bool getHue(CGFloat* hue, CGFloat* saturation, CGFloat* brightness, CGFloat* alpha) const;
    bool getWhite(CGFloat* white, CGFloat* alpha) const;

    CGColorRef CGColor() const { return m_color.ptr(); }
    CGColorSpaceModel model() const { return m_color->model(); }
    CGFloat alpha() const { return m_color->alpha(); }

    // Same model, same components, same alpha.
    bool isEqual(const NSObject*) const override;
    std::size_t hash() const override;
    std::string description() const override;

private:
    friend id initColorWithCoder(id, SEL, class NSCoder*);

    Ref<class CGColor> m_color;
    RefPtr<NSObject> m_patternImage;
};
