#include <tincture/ColorValue.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ColorSpaces.h"

namespace tincture {

namespace {

double hueOf(double red, double green, double blue, double maximum, double delta)
{
    if (delta <= 0)
        return 0;
    double h = maximum == red ? std::fmod((green - blue) / delta, 6.0) : maximum == green ? (blue - red) / delta + 2 : (red - green) / delta + 4;
    h *= 60;
    return h < 0 ? h + 360 : h;
}

double clip(double value)
{
    return std::clamp(value, 0.0, 1.0);
}

}

Color Color::fromHSL(const HSL& hsl, double alpha)
{
    // CSS Color 4's hslToRgb.
    double hue = std::fmod(hsl.h, 360.0);
    if (hue < 0)
        hue += 360;
    auto channel = [&](double n) {
        double k = std::fmod(n + hue / 30, 12.0);
        double a = hsl.s * std::min(hsl.l, 1 - hsl.l);
        return hsl.l - a * std::max(-1.0, std::min({ k - 3, 9 - k, 1.0 }));
    };
    return fromRGB(channel(0), channel(8), channel(4), alpha);
}

Color Color::fromHSV(const HSV& hsv, double alpha)
{
    double l = hsv.v * (1 - hsv.s / 2);
    double s = l == 0 || l == 1 ? 0 : (hsv.v - l) / std::min(l, 1 - l);
    return fromHSL({ hsv.h, s, l }, alpha);
}

Color Color::fromHWB(const HWB& hwb, double alpha)
{
    double white = hwb.w, black = hwb.b;
    if (white + black >= 1) {
        double gray = white / (white + black);
        return fromRGB(gray, gray, gray, alpha);
    }
    Color pure = fromHSL({ hwb.h, 1, 0.5 });
    auto mixChannel = [&](double c) { return c * (1 - white - black) + white; };
    return fromRGB(mixChannel(pure.red()), mixChannel(pure.green()), mixChannel(pure.blue()), alpha);
}

Color Color::fromLab(const Lab& lab, double alpha)
{
    auto rgb = colorspaces::sRGBFromLinear(colorspaces::linearFromXYZD65(colorspaces::xyzD65FromD50(colorspaces::xyzD50FromLab(lab))));
    return fromRGB(rgb[0], rgb[1], rgb[2], alpha);
}

Color Color::fromLCH(const LCH& lch, double alpha)
{
    double radians = lch.h * M_PI / 180;
    return fromLab({ lch.L, lch.C * std::cos(radians), lch.C * std::sin(radians) }, alpha);
}

Color Color::fromOKLab(const OKLab& oklab, double alpha)
{
    auto rgb = colorspaces::sRGBFromLinear(colorspaces::linearFromOKLab(oklab));
    return fromRGB(rgb[0], rgb[1], rgb[2], alpha);
}

Color Color::fromOKLCH(const OKLCH& oklch, double alpha)
{
    double radians = oklch.h * M_PI / 180;
    return fromOKLab({ oklch.L, oklch.C * std::cos(radians), oklch.C * std::sin(radians) }, alpha);
}

std::string Color::hex() const
{
    auto byte = [](double value) { return static_cast<unsigned>(std::lround(clip(value) * 255)); };
    char text[10];
    if (m_alpha >= 1)
        std::snprintf(text, sizeof text, "#%02X%02X%02X", byte(m_red), byte(m_green), byte(m_blue));
    else
        std::snprintf(text, sizeof text, "#%02X%02X%02X%02X", byte(m_red), byte(m_green), byte(m_blue), byte(m_alpha));
    return text;
}

HSL Color::hsl() const
{
    double maximum = std::max({ m_red, m_green, m_blue }), minimum = std::min({ m_red, m_green, m_blue });
    double delta = maximum - minimum, l = (maximum + minimum) / 2;
    double s = l == 0 || l == 1 ? 0 : delta / (1 - std::fabs(2 * l - 1));
    return { hueOf(m_red, m_green, m_blue, maximum, delta), s, l };
}

HSV Color::hsv() const
{
    double maximum = std::max({ m_red, m_green, m_blue }), minimum = std::min({ m_red, m_green, m_blue });
    double delta = maximum - minimum;
    return { hueOf(m_red, m_green, m_blue, maximum, delta), maximum > 0 ? delta / maximum : 0, maximum };
}

HWB Color::hwb() const
{
    HSV hsv = this->hsv();
    return { hsv.h, (1 - hsv.s) * hsv.v, 1 - hsv.v };
}

CMYK Color::cmyk() const
{
    double k = 1 - std::max({ clip(m_red), clip(m_green), clip(m_blue) });
    if (k >= 1)
        return { 0, 0, 0, 1 };
    return { (1 - clip(m_red) - k) / (1 - k), (1 - clip(m_green) - k) / (1 - k), (1 - clip(m_blue) - k) / (1 - k), k };
}

Lab Color::lab() const
{
    return colorspaces::labFromLinear(colorspaces::linearFromSRGB({ m_red, m_green, m_blue }));
}

LCH Color::lch() const
{
    Lab lab = this->lab();
    auto [chroma, hue] = colorspaces::polar(lab.a, lab.b);
    return { lab.L, chroma, hue };
}

OKLab Color::oklab() const
{
    return colorspaces::oklabFromLinear(colorspaces::linearFromSRGB({ m_red, m_green, m_blue }));
}

OKLCH Color::oklch() const
{
    OKLab lab = oklab();
    auto [chroma, hue] = colorspaces::polar(lab.a, lab.b);
    return { lab.L, chroma, hue };
}

double Color::luminance() const
{
    auto linear = colorspaces::linearFromSRGB({ clip(m_red), clip(m_green), clip(m_blue) });
    return 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2];
}

Color Color::clipped() const
{
    return fromRGB(clip(m_red), clip(m_green), clip(m_blue), clip(m_alpha));
}

}
