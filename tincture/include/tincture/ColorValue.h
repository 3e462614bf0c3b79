#pragma once

// tincture::Color: an sRGB colour with alpha, a plain value (no runtime, no
// UIKit), and what it reads as in the common colour spaces. Components are
// doubles, 0-1 for red, green, blue and alpha; hues in degrees.

#include <cstdint>
#include <string>
#include <string_view>

#include "Expected.h"

namespace tincture {

struct HSL {
    double h, s, l; // degrees, 0-1, 0-1
};
struct HSV {
    double h, s, v;
};
struct HWB {
    double h, w, b;
};
struct CMYK {
    double c, m, y, k;
};
// CSS Color 4's CIE Lab and LCH, D50 (what browsers paint for lab() and lch()).
struct Lab {
    double L, a, b; // L 0-100
};
struct LCH {
    double L, C, h;
};
// Björn Ottosson's OKLab (2020) and its polar form.
struct OKLab {
    double L, a, b; // L 0-1
};
struct OKLCH {
    double L, C, h;
};

class Color {
public:
    // Opaque black.
    constexpr Color() = default;

    static constexpr Color fromRGB(double red, double green, double blue, double alpha = 1) { return Color(red, green, blue, alpha); }
    static constexpr Color fromRGBA8(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha = 255)
    {
        return Color(red / 255.0, green / 255.0, blue / 255.0, alpha / 255.0);
    }
    static Color fromHSL(const HSL&, double alpha = 1);
    static Color fromHSV(const HSV&, double alpha = 1);
    static Color fromHWB(const HWB&, double alpha = 1);
    static Color fromLab(const Lab&, double alpha = 1);
    static Color fromLCH(const LCH&, double alpha = 1);
    static Color fromOKLab(const OKLab&, double alpha = 1);
    static Color fromOKLCH(const OKLCH&, double alpha = 1);

    // Hex (#RGB, #RGBA, #RRGGBB, #RRGGBBAA, with or without the #), a CSS
    // colour name, or a CSS Color 4 function: rgb(), hsl(), hwb(), lab(),
    // lch(), oklab(), oklch(), with the modern or the comma syntax and an
    // optional alpha. An error names the position and what was expected.
    static Expected<Color> parse(std::string_view);

    double red() const { return m_red; }
    double green() const { return m_green; }
    double blue() const { return m_blue; }
    double alpha() const { return m_alpha; }

    // "#3399DB"; "#3399DB80" when alpha is not 1. Components outside 0-1 are clipped.
    std::string hex() const;
    HSL hsl() const;
    HSV hsv() const;
    HWB hwb() const;
    CMYK cmyk() const;
    Lab lab() const;
    LCH lch() const;
    OKLab oklab() const;
    OKLCH oklch() const;
    // WCAG 2's relative luminance, 0-1.
    double luminance() const;
    // Each component within 0-1.
    Color clipped() const;

    constexpr bool operator==(const Color& other) const
    {
        return m_red == other.m_red && m_green == other.m_green && m_blue == other.m_blue && m_alpha == other.m_alpha;
    }
    constexpr bool operator!=(const Color& other) const { return !(*this == other); }

private:
    constexpr Color(double red, double green, double blue, double alpha)
        : m_red(red)
        , m_green(green)
        , m_blue(blue)
        , m_alpha(alpha)
    {
    }

    double m_red { 0 }, m_green { 0 }, m_blue { 0 }, m_alpha { 1 };
};

}
