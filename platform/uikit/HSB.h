#pragma once

// The standard HSB (HSV) conversions behind UIColor's hue methods, on bare
// components, for code that converts many colours without making objects.
// Inline, so that code which must match UIColor to the bit (the colour
// library's value types) needs only this header.

#include <algorithm>
#include <cmath>

#include "CGGeometry.h"

namespace uikit {

struct HSB {
    CGFloat hue, saturation, brightness; // each 0..1
};

struct RGB {
    CGFloat red, green, blue;
};

// As -getHue:saturation:brightness:alpha: reads an RGB colour.
inline HSB hsbOfRGB(RGB color)
{
    CGFloat maximum = std::max({ color.red, color.green, color.blue });
    CGFloat delta = maximum - std::min({ color.red, color.green, color.blue });
    CGFloat h = 0;
    if (delta > 0) {
        if (maximum == color.red)
            h = (color.green - color.blue) / delta;
        else if (maximum == color.green)
            h = 2 + (color.blue - color.red) / delta;
        else
            h = 4 + (color.red - color.green) / delta;
        h /= 6;
        if (h < 0)
            h += 1;
    }
    return { h, maximum > 0 ? delta / maximum : 0, maximum };
}

// As +colorWithHue:saturation:brightness:alpha: makes one: the hue is taken
// modulo one turn, saturation and brightness are clamped to 0..1.
inline RGB rgbOfHSB(HSB color)
{
    CGFloat hue = std::fmod(color.hue, 1.0);
    if (hue < 0)
        hue += 1;
    CGFloat saturation = std::clamp(color.saturation, 0.0, 1.0);
    CGFloat brightness = std::clamp(color.brightness, 0.0, 1.0);
    if (saturation == 0)
        return { brightness, brightness, brightness };
    CGFloat sector = hue * 6;
    auto index = static_cast<int>(std::floor(sector)) % 6;
    CGFloat fraction = sector - std::floor(sector);
    CGFloat p = brightness * (1 - saturation);
    CGFloat q = brightness * (1 - saturation * fraction);
    CGFloat t = brightness * (1 - saturation * (1 - fraction));
    switch (index) {
    case 0:
        return { brightness, t, p };
    case 1:
        return { q, brightness, p };
    case 2:
        return { p, brightness, t };
    case 3:
        return { p, q, brightness };
    case 4:
        return { t, p, brightness };
    default:
        return { brightness, p, q };
    }
}

}
