#pragma once

// The schemes from a hue in degrees and saturation and brightness in
// percent, which NSArray's category takes too.

#include <array>

#include <tincture/ColorScheme.h>

namespace tincture {

std::array<Color, 5> schemeOfHue(Scheme, double hueDegrees, double saturationPercent, double brightnessPercent, bool flat);
// The hue plus an offset in degrees, in single precision: over 360 wraps
// once, under 0 mirrors (a hue of -10 becomes 10).
float addDegrees(float offset, float hue);

}
