#include "UIColor+TincturePrivate.h"

#include <cmath>
#include <tuple>

#include <foundation/NSNumber.h>

#include <tincture/ColorSpace.h>

namespace tincture {

std::array<double, 4> arrayOfXYZValuesForR(double red, double green, double blue, double alpha)
{
    return xyzFromRGB(red, green, blue, alpha);
}

std::array<double, 4> arrayOfLABValuesForX(double x, double y, double z, double alpha)
{
    return labFromXYZ(x, y, z, alpha);
}

namespace {

// The colour's RGBA from the platform, or transparent black when it has none.
std::array<double, 4> platformRGBA(const UIColor& color)
{
    std::array<double, 4> rgba { 0, 0, 0, 0 };
    color.getRed(&rgba[0], &rgba[1], &rgba[2], &rgba[3]);
    return rgba;
}

}

bool getValueForX(const UIColor* color, double* x, double* y, double* z, double* alpha)
{
    if (!color)
        return false;
    auto rgba = platformRGBA(*color);
    auto xyz = arrayOfXYZValuesForR(rgba[0], rgba[1], rgba[2], rgba[3]);
    std::tie(*x, *y, *z, *alpha) = std::tie(xyz[0], xyz[1], xyz[2], xyz[3]);
    return true;
}

bool getLightness(const UIColor* color, double* l, double* a, double* b, double* alpha)
{
    if (!color)
        return false;
    auto rgba = platformRGBA(*color);
    if (l && a && b) {
        auto xyz = arrayOfXYZValuesForR(rgba[0], rgba[1], rgba[2], rgba[3]);
        auto lab = arrayOfLABValuesForX(xyz[0], xyz[1], xyz[2], xyz[3]);
        std::tie(*l, *a, *b) = std::tie(lab[0], lab[1], lab[2]);
    }
    if (alpha)
        *alpha = rgba[3];
    return true;
}

RefPtr<UIColor> colorWithMinimumSaturation(UIColor* color, CGFloat minimumSaturation)
{
    if (!color)
        return nullptr;
    CGFloat hue = 0, saturation = 0, brightness = 0, alpha = 0;
    color->getHue(&hue, &saturation, &brightness, &alpha);
    if (saturation >= minimumSaturation)
        return color;
    return UIColor::colorWithHue(hue, minimumSaturation, brightness, alpha);
}

bool isDistinct(const UIColor* color, const UIColor* other)
{
    if (!color || !other)
        return false;
    return isDistinct(platformRGBA(*color), platformRGBA(*other));
}

bool isDistinct(const std::array<double, 4>& first, const std::array<double, 4>& second)
{
    bool isFar = false;
    for (std::size_t i = 0; i < 4; ++i)
        isFar = isFar || std::fabs(first[i] - second[i]) > 0.25;
    if (!isFar)
        return false;
    auto isGrey = [](const std::array<double, 4>& rgba) { return std::fabs(rgba[0] - rgba[1]) < 0.03f && std::fabs(rgba[0] - rgba[2]) < 0.03f; };
    return !(isGrey(first) && isGrey(second));
}

void setCount(UIColor* color, std::uint64_t count)
{
    objc_setAssociatedObject(color, sel_registerName("count"), NSNumber::numberWithUnsignedLongLong(count).ptr(), OBJC_ASSOCIATION_RETAIN_NONATOMIC);
}

std::uint64_t count(const UIColor* color)
{
    auto* number = objc_dynamicCast<NSNumber>(objc_getAssociatedObject(color, sel_registerName("count")));
    return number ? number->unsignedLongLongValue() : 0;
}

}
