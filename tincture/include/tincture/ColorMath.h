#pragma once

// What two colours, or a colour seen by someone else, come to: contrast,
// difference, mixing and colour-vision deficiency.

#include "ColorValue.h"

namespace tincture {

// WCAG 2's contrast ratio, 1-21, whichever is lighter.
double contrastRatio(const Color&, const Color&);
// APCA's lightness contrast Lc (0.0.98G-4g constants), signed: positive for
// dark text on a light background, negative for light on dark.
double contrastAPCA(const Color& text, const Color& background);
// CIEDE2000 (Sharma, Wu and Dalal 2005) between the two as UIColor's
// categories measure it: their L*a*b* from the sRGB matrix rounded to four
// decimals and the white 95.05, 100, 108.9. Alpha plays no part.
double deltaE2000(const Color&, const Color&);

enum class Space { OKLab, Lab, SRGB, LinearSRGB, HSL };
// The colour the fraction of the way from a to b, in the space (hues the
// shorter way round); alpha is interpolated alike.
Color mix(const Color& a, const Color& b, double fraction = 0.5, Space = Space::OKLab);

enum class Deficiency { Protanopia, Deuteranopia, Tritanopia };
// The colour as someone with the deficiency sees it, at a severity from 0
// (none) to 1: Machado, Oliveira and Fernandes, "A Physiologically-based
// Model for Simulation of Color Vision Deficiency" (2009), their matrices
// for each tenth, interpolated between, applied to linear sRGB.
Color simulate(const Color&, Deficiency, double severity = 1);

}
