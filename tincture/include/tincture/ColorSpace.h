#pragma once

#include <array>

namespace tincture {

// sRGB to CIE XYZ (white Y = 100): the transfer function of IEC 61966-2-1 and
// its matrix rounded to four decimals. Alpha passes through.
std::array<double, 4> xyzFromRGB(double red, double green, double blue, double alpha);

// CIE XYZ to CIE 1976 L*a*b* with the reference white 95.05, 100.0, 108.9.
std::array<double, 4> labFromXYZ(double x, double y, double z, double alpha);

}
