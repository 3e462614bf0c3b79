#include <tincture/ColorScheme.h>

#include <tincture/FlatColor.h>
#include <uikit/HSB.h>

#include <algorithm>

#include "ColorSchemeOfHue.h"

namespace tincture {

namespace {

using Colors = std::array<Color, 5>;

Color colorOfHSB(double hue, double saturation, double brightness, double alpha = 1)
{
    auto rgb = uikit::rgbOfHSB({ hue, saturation, brightness });
    return Color::fromRGB(rgb.red, rgb.green, rgb.blue, alpha);
}

// HSB in the schemes' units: hue in degrees divided in double precision.
Color colorWithDegrees(double hue, double saturation, double brightness)
{
    return colorOfHSB(hue / 360, saturation / 100, brightness / 100);
}

// A hue moved by an offset, all in single precision, widened for the constructor.
Color colorWithOffset(double hue, float offset, double saturation, double brightness)
{
    float degrees = addDegrees(offset, static_cast<float>(hue));
    return colorOfHSB(static_cast<double>(degrees / 360.0f), saturation / 100, brightness / 100);
}

Color flattened(const Color& color)
{
    auto nearest = nearestFlatShade(color);
    Color snapped = flat(nearest.color, nearest.shade);
    return Color::fromRGB(snapped.red(), snapped.green(), snapped.blue(), color.alpha() > 0 ? color.alpha() : 1.0);
}

// A quarter darker in brightness, as UIColor's darkening does.
Color darkened(const Color& color)
{
    auto hsb = uikit::hsbOfRGB({ color.red(), color.green(), color.blue() });
    return colorOfHSB(hsb.hue, hsb.saturation, std::clamp(hsb.brightness - 0.25, 0.0, 1.0), color.alpha());
}

Color darkenedAndFlattened(const Color& color)
{
    return flattened(darkened(color));
}

// UIColor's equality for two RGB colours: every component and alpha.
bool isSame(const Color& a, const Color& b)
{
    return a.red() == b.red() && a.green() == b.green() && a.blue() == b.blue() && a.alpha() == b.alpha();
}

void flattenAll(Colors& colors)
{
    for (auto& color : colors)
        color = flattened(color);
}

// The complementary and triadic schemes' six checks, once each, in order.
void separateByDarkening(Colors& c)
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

Colors analogous(double h, double s, double b, bool isFlat)
{
    Colors c { colorWithOffset(h, -32, s + 5, b + 5), colorWithOffset(h, -16, s + 5, b + 9), colorWithDegrees(h, s, b), colorWithOffset(h, 16, s + 5, b + 9),
        colorWithOffset(h, 32, s + 5, b + 5) };
    if (!isFlat)
        return c;
    flattenAll(c);
    if (isSame(c[1], c[2]))
        c[1] = flattened(colorWithOffset(h, -48, s + 5, b + 9));
    if (isSame(c[2], c[3]))
        c[3] = flattened(colorWithOffset(h, 32, s + 5, b + 9));
    if (isSame(c[0], c[1]))
        c[0] = flattened(colorWithOffset(h, -64, s + 5, b + 9));
    if (isSame(c[0], c[2]))
        c[0] = darkened(colorWithOffset(h, -96, s + 5, b + 9));
    if (isSame(c[3], c[4]))
        c[4] = flattened(colorWithOffset(h, 64, s + 5, b + 9));
    if (isSame(c[2], c[4]))
        c[4] = flattened(colorWithOffset(h, 96, s + 5, b + 9));
    return c;
}

Colors complementary(double h, double s, double b, bool isFlat)
{
    Colors c { colorWithDegrees(h, s + 5, b - 30), colorWithDegrees(h, s - 10, b + 9), colorWithDegrees(h, s, b), colorWithOffset(h, 180, s, b),
        colorWithOffset(h, 180, s + 20, b - 30) };
    if (isFlat) {
        flattenAll(c);
        separateByDarkening(c);
    }
    return c;
}

Colors triadic(double h, double s, double b, bool isFlat)
{
    double richerSaturation = (7 * s) / 6;
    Colors c { colorWithOffset(h, 120, richerSaturation, b - 5), colorWithOffset(h, 120, s, b + 9), colorWithDegrees(h, s, b),
        colorWithOffset(h, 240, richerSaturation, b - 5), colorWithOffset(h, 240, s, b - 30) };
    if (isFlat) {
        flattenAll(c);
        separateByDarkening(c);
    }
    return c;
}

}

float addDegrees(float offset, float hue)
{
    float sum = hue + offset;
    if (sum > 360)
        return sum - 360;
    if (sum < 0)
        return -sum;
    return sum;
}

std::array<Color, 5> schemeOfHue(Scheme scheme, double hueDegrees, double saturationPercent, double brightnessPercent, bool flat)
{
    switch (scheme) {
    case Scheme::Triadic:
        return triadic(hueDegrees, saturationPercent, brightnessPercent, flat);
    case Scheme::Complementary:
        return complementary(hueDegrees, saturationPercent, brightnessPercent, flat);
    case Scheme::Analogous:
        break;
    }
    return analogous(hueDegrees, saturationPercent, brightnessPercent, flat);
}

std::array<Color, 5> scheme(const Color& base, Scheme scheme, bool flat)
{
    auto hsb = uikit::hsbOfRGB({ base.red(), base.green(), base.blue() });
    return schemeOfHue(scheme, hsb.hue * 360, hsb.saturation * 100, hsb.brightness * 100, flat);
}

}
