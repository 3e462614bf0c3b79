#pragma once

#include <objc/NSObject.h>

// CGColorSpaceModel numbers, as the device's CoreGraphics gives them.
enum class CGColorSpaceModel : int { Unknown = -1, Monochrome = 0, RGB = 1, CMYK = 2, Lab = 3, DeviceN = 4, Indexed = 5, Pattern = 6 };

// A colour: device RGB or grey components with alpha. Colours archive as the
// device's UIColor does, so archives cross between the device and here.
class UIColor : public NSObject {
public:
    UIColor() = default;
    static Class objcClass();

    static Ref<UIColor> colorWithRed(double red, double green, double blue, double alpha);
    static Ref<UIColor> colorWithWhite(double white, double alpha);

    CGColorSpaceModel model() const { return m_model; }
    // Each answers false, writing nothing, when the colour has no such form.
    bool getRed(double* red, double* green, double* blue, double* alpha) const;
    bool getWhite(double* white, double* alpha) const;
    double alpha() const { return m_alpha; }

    // Same model, same components, same alpha.
    bool isEqual(const NSObject*) const override;
    std::string description() const override;

private:
    friend id initColorWithCoder(id, SEL, class NSCoder*);
    void setComponents(const UIColor&);

    CGColorSpaceModel m_model { CGColorSpaceModel::RGB };
    double m_components[3] { 0, 0, 0 };
    double m_alpha { 1 };
};
