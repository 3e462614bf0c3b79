#pragma once

// The conversions behind Color's spaces, on bare triples: sRGB's transfer
// function (IEC 61966-2-1), CSS Color 4's XYZ matrices and Bradford
// adaptation between D65 and D50, CIE Lab, and Björn Ottosson's OKLab.

#include <array>
#include <utility>

#include <tincture/ColorValue.h>

namespace tincture::colorspaces {

using Triple = std::array<double, 3>;

double linearFromSRGB(double);
double sRGBFromLinear(double);
Triple linearFromSRGB(const Triple&);
Triple sRGBFromLinear(const Triple&);

// Linear sRGB straight to Lab (D50), the matrices folded into one.
Lab labFromLinear(const Triple&);
Triple linearFromXYZD65(const Triple&);
Triple xyzD65FromD50(const Triple&);
Triple xyzD50FromLab(const Lab&);

OKLab oklabFromLinear(const Triple&);
Triple linearFromOKLab(const OKLab&);

// Chroma and hue (degrees, 0-360; 0 when there is no chroma) of a, b.
std::pair<double, double> polar(double a, double b);

}
