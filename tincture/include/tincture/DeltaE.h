#pragma once

#include <cmath>

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

// SL, the lightness weight of a pair.
inline double deltaE2000LightnessWeight(double l1, double l2)
{
    double meanL = (l1 + l2) / 2;
    double offset = (meanL - 50) * (meanL - 50);
    return 1 + 0.015 * offset / std::sqrt(20 + offset);
}
// sqrt(C^7 / (C^7 + 25^7)) of a mean chroma: G is 0.5 (1 - this) of the
// mean C, and RC twice this of the mean C'.
inline double deltaE2000ChromaShare(double meanChroma)
{
    double c3 = meanChroma * meanChroma * meanChroma;
    double c7 = c3 * c3 * meanChroma;
    return std::sqrt(c7 / (c7 + 6103515625.0)); // 25^7
}
// |dL'| / SL, which the difference never falls below: the chroma and hue
// terms form a positive semi-definite quadratic, as |RT| <= 2 sin 60 < 2.
double deltaE2000LowerBound(double l1, double l2);
// The square of a lower bound with the a and b differences too, still
// without trigonometry or the pair's G. Inline, so a search over many
// entries vectorises it.
inline double deltaE2000LowerBoundSquared(const LabColor& first, const LabColor& second)
{
    // dC'^2 + dH'^2 = (a1' - a2')^2 + (b1 - b2)^2 >= da^2 + db^2, as a' = (1 + G) a
    // with G >= 0; SH <= SC = 1 + 0.045 mean C' and C' <= (1 + G) C. The rotation
    // term takes at most 1 - sqrt(3) / 2 of the chroma and hue part, but with
    // both b >= 0 both hues lie in 0-180 degrees and so does their mean, 95
    // degrees or more from 275: dTheta <= 30 exp(-(95 / 25)^2) degrees and
    // |RT| < 1e-6.
    constexpr double leastShare = 1 - 1.7320508075688772 / 2;
    constexpr double upperHalfShare = 1 - 1e-6;
    double l = (second.l - first.l) / deltaE2000LightnessWeight(first.l, second.l);
    double da = second.a - first.a, db = second.b - first.b;
    double meanC = (first.chroma + second.chroma) / 2;
    double g = 0.5 * (1 - deltaE2000ChromaShare(meanC));
    double largestWeightC = 1 + 0.045 * (1 + g) * meanC * (1 + 1e-12);
    double share = first.b >= 0 && second.b >= 0 ? upperHalfShare : leastShare;
    return l * l + share * (da * da + db * db) / (largestWeightC * largestWeightC);
}
}
