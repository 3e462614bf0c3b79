#include "NSArray+Tincture.h"

#include <objc/Assertions.h>

#include "UIColor+TincturePrivate.h"

namespace tincture::array {

namespace {

// HSB in the schemes' units: hue in degrees divided in double precision.
Ref<UIColor> colorWithDegrees(double hue, double saturation, double brightness)
{
    return UIColor::colorWithHue(hue / 360, saturation / 100, brightness / 100, 1.0);
}

// A hue moved by an offset, all in single precision, widened for the constructor.
Ref<UIColor> colorWithOffset(double hue, float offset, double saturation, double brightness)
{
    float degrees = add(offset, static_cast<float>(hue));
    return UIColor::colorWithHue(static_cast<double>(degrees / 360.0f), saturation / 100, brightness / 100, 1.0);
}

Ref<UIColor> flattened(const Ref<UIColor>& color)
{
    return flatten(color.ptr()).releaseNonNull();
}

Ref<UIColor> darkenedAndFlattened(const Ref<UIColor>& color)
{
    return flattened(darkenByPercentage(color.ptr(), 0.25).releaseNonNull());
}

bool isSame(const Ref<UIColor>& a, const Ref<UIColor>& b)
{
    return a->isEqual(b.ptr());
}

void flattenAll(std::vector<Ref<UIColor>>& colors)
{
    for (auto& color : colors)
        color = flattened(color);
}

// The complementary and triadic schemes' six checks, once each, in order.
void separateByDarkening(std::vector<Ref<UIColor>>& c)
{
    if (isSame(c[1], c[2]))
        c[1] = darkenedAndFlattened(c[1]);
    if (isSame(c[2], c[3]))
        c[3] = darkenedAndFlattened(c[3]);
    if (isSame(c[0], c[2]))
        c[0] = darkenedAndFlattened(c[0]);
    if (isSame(c[4], c[2]))
        c[4] = darkenedAndFlattened(c[4]);
    if (isSame(c[0], c[1]))
        c[0] = darkenedAndFlattened(c[0]);
    if (isSame(c[3], c[4]))
        c[4] = darkenedAndFlattened(c[4]);
}

}

float add(float offset, float hue)
{
    float sum = hue + offset;
    if (sum > 360)
        return sum - 360;
    if (sum < 0)
        return -sum;
    return sum;
}

std::vector<Ref<UIColor>> analogousColorSchemeFromHue(double h, double s, double b, Flat flat)
{
    std::vector<Ref<UIColor>> c { colorWithOffset(h, -32, s + 5, b + 5), colorWithOffset(h, -16, s + 5, b + 9), colorWithDegrees(h, s, b),
        colorWithOffset(h, 16, s + 5, b + 9), colorWithOffset(h, 32, s + 5, b + 5) };
    if (flat == Flat::No)
        return c;
    flattenAll(c);
    if (isSame(c[1], c[2]))
        c[1] = flattened(colorWithOffset(h, -48, s + 5, b + 9));
    if (isSame(c[2], c[3]))
        c[3] = flattened(colorWithOffset(h, 32, s + 5, b + 9));
    if (isSame(c[0], c[1]))
        c[0] = flattened(colorWithOffset(h, -64, s + 5, b + 9));
    if (isSame(c[0], c[2]))
        c[0] = darkenByPercentage(colorWithOffset(h, -96, s + 5, b + 9).ptr(), 0.25).releaseNonNull();
    if (isSame(c[3], c[4]))
        c[4] = flattened(colorWithOffset(h, 64, s + 5, b + 9));
    if (isSame(c[2], c[4]))
        c[4] = flattened(colorWithOffset(h, 96, s + 5, b + 9));
    return c;
}

std::vector<Ref<UIColor>> complementaryColorSchemeFromHue(double h, double s, double b, Flat flat)
{
    std::vector<Ref<UIColor>> c { colorWithDegrees(h, s + 5, b - 30), colorWithDegrees(h, s - 10, b + 9), colorWithDegrees(h, s, b),
        colorWithOffset(h, 180, s, b), colorWithOffset(h, 180, s + 20, b - 30) };
    if (flat == Flat::Yes) {
        flattenAll(c);
        separateByDarkening(c);
    }
    return c;
}

std::vector<Ref<UIColor>> triadicColorSchemeFromHue(double h, double s, double b, Flat flat)
{
    double richerSaturation = (7 * s) / 6;
    std::vector<Ref<UIColor>> c { colorWithOffset(h, 120, richerSaturation, b - 5), colorWithOffset(h, 120, s, b + 9), colorWithDegrees(h, s, b),
        colorWithOffset(h, 240, richerSaturation, b - 5), colorWithOffset(h, 240, s, b - 30) };
    if (flat == Flat::Yes) {
        flattenAll(c);
        separateByDarkening(c);
    }
    return c;
}

std::vector<Ref<UIColor>> arrayOfColorsWithColorScheme(ColorScheme scheme, const UIColor* base, Flat flat)
{
    CGFloat hue = 0, saturation = 0, brightness = 0;
    if (base)
        base->getHue(&hue, &saturation, &brightness, nullptr);
    double h = hue * 360, s = saturation * 100, b = brightness * 100;
    switch (scheme) {
    case ColorSchemeAnalogous:
        return analogousColorSchemeFromHue(h, s, b, flat);
    case ColorSchemeTriadic:
        return triadicColorSchemeFromHue(h, s, b, flat);
    case ColorSchemeComplementary:
        return complementaryColorSchemeFromHue(h, s, b, flat);
    default:
        objc::assertionFailed(__FILE__, __LINE__, "Oops! Unrecognized color scheme provided as random color.");
    }
}

RefPtr<UIColor> colorWithFlatVersionOf(const UIColor* color)
{
    double l, a, b;
    if (!getLightness(color, &l, &a, &b, nullptr))
        return nullptr;
    return nearestFlatColorForL(l, a, b, 1.0);
}

}
