#pragma once

// The standard HSB (HSV) conversions behind UIColor's hue methods, on bare
// components, for code that converts many colours without making objects.

#include "CGGeometry.h"

namespace uikit {

struct HSB {
    CGFloat hue, saturation, brightness; // each 0..1
};

struct RGB {
    CGFloat red, green, blue;
};

// As -getHue:saturation:brightness:alpha: reads an RGB colour.
HSB hsbOfRGB(RGB);
// As +colorWithHue:saturation:brightness:alpha: makes one: the hue is taken
// modulo one turn, saturation and brightness are clamped to 0..1.
RGB rgbOfHSB(HSB);

}
