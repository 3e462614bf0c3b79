#pragma once

namespace tincture {

// A colour in CIE L*a*b* with its chroma sqrt(a^2 + b^2), which a search
// works out once per colour rather than once per distance.
struct LabColor {
    double l, a, b, chroma;
};
LabColor labColor(double l, double a, double b);

// CIEDE2000 colour difference with kL = kC = kH = 1, in double precision:
// Sharma, Wu and Dalal, "The CIEDE2000 Color-Difference Formula: Implementation
// Notes, Supplementary Test Data, and Mathematical Observations" (2005).
double deltaE2000(const LabColor&, const LabColor&);
// The same difference, or infinity as soon as a lower bound shows that it
// exceeds the limit; the value, when given, is exactly deltaE2000's.
double deltaE2000Within(const LabColor&, const LabColor&, double limit);
double deltaE2000(double l1, double a1, double b1, double l2, double a2, double b2);

// |dL'| / SL, which the difference never falls below: the chroma and hue
// terms form a positive semi-definite quadratic, as |RT| <= 2 sin 60 < 2.
double deltaE2000LowerBound(double l1, double l2);
// The square of a lower bound with the a and b differences too, still
// without trigonometry or the pair's G.
double deltaE2000LowerBoundSquared(const LabColor&, const LabColor&);

}
