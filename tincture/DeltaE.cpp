#include <tincture/DeltaE.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace tincture {

namespace {

constexpr double pi = std::numbers::pi;
constexpr double twoPi = 2 * std::numbers::pi;

constexpr double radians(double degrees)
{
    return degrees * pi / 180.0;
}

// h' in [0, 2pi); an achromatic colour's hue is 0.
double hueAngle(double b, double aPrime)
{
    if (b == 0 && aPrime == 0)
        return 0;
    double angle = std::atan2(b, aPrime);
    return angle < 0 ? angle + twoPi : angle;
}

// T = 1 - 0.17 cos(h - 30) + 0.24 cos(2h) + 0.32 cos(3h + 6) - 0.20 cos(4h - 63),
// with the multiple angles from the hue's cosine and sine.
double hueWeightFactor(double c1, double s1)
{
    static const double cos30 = std::cos(radians(30)), sin30 = std::sin(radians(30));
    static const double cos6 = std::cos(radians(6)), sin6 = std::sin(radians(6));
    static const double cos63 = std::cos(radians(63)), sin63 = std::sin(radians(63));
    double c2 = 2 * c1 * c1 - 1, s2 = 2 * s1 * c1;
    double c3 = c2 * c1 - s2 * s1, s3 = s2 * c1 + c2 * s1;
    double c4 = 2 * c2 * c2 - 1, s4 = 2 * s2 * c2;
    return 1 - 0.17 * (c1 * cos30 + s1 * sin30) + 0.24 * c2 + 0.32 * (c3 * cos6 - s3 * sin6) - 0.20 * (c4 * cos63 + s4 * sin63);
}

double hueWeightFactor(double meanHue)
{
    return hueWeightFactor(std::cos(meanHue), std::sin(meanHue));
}

// The least factor k with c^2 + h^2 + RT c h >= k (c^2 + h^2), from an upper
// bound of |RT| found without trigonometry, and the least SH: both from the
// mean hue's direction, the sum of the two hue directions (the bisector of
// the shorter arc, as the mean hue is). With a hue undefined or opposite,
// |RT| <= sqrt(3) and T <= 1.93.
struct HueBounds {
    double factor, largestWeightH;
};
HueBounds hueBounds(double a1Prime, double b1, double c1Prime, double a2Prime, double b2, double c2Prime, double meanCPrime)
{
    constexpr double sqrt3 = 1.7320508075688772;
    HueBounds loose { 1 - sqrt3 / 2, 1 + 0.015 * meanCPrime * 1.93 };
    if (c1Prime <= 0 || c2Prime <= 0)
        return loose;
    double x = a1Prime / c1Prime + a2Prime / c2Prime, y = b1 / c1Prime + b2 / c2Prime;
    double length = std::sqrt(x * x + y * y);
    if (length < 1e-6)
        return loose;
    double cosMean = x / length, sinMean = y / length;
    // |RT| = RC |sin 2 dTheta| with dTheta = 30 deg exp(-((h - 275) / 25)^2):
    // the angle d from 275 deg has d^2 >= 2 (1 - cos d), and
    // exp(-u) <= 1 / (1 + u + u^2 / 2), so dTheta <= 30 deg / (1 + u + u^2 / 2).
    static const double cos275 = std::cos(radians(275)), sin275 = std::sin(radians(275));
    constexpr double width = radians(25);
    double u = 2 * (1 - (cosMean * cos275 + sinMean * sin275)) / (width * width);
    double largestTheta = radians(30) / (1 + u + u * u / 2);
    double rotationC = 2 * deltaE2000ChromaShare(meanCPrime);
    double largestRotation = std::min(sqrt3, rotationC * std::min(1.0, 2 * largestTheta) * (1 + 1e-9) + 1e-12);
    double weightH = 1 + 0.015 * meanCPrime * hueWeightFactor(cosMean, sinMean);
    return { 1 - largestRotation / 2, weightH * (1 + 1e-9) + 1e-12 };
}

}

LabColor labColor(double l, double a, double b)
{
    return { l, a, b, std::sqrt(a * a + b * b) };
}

double deltaE2000LowerBound(double l1, double l2)
{
    return std::fabs(l2 - l1) / deltaE2000LightnessWeight(l1, l2);
}

double deltaE2000(const LabColor& first, const LabColor& second)
{
    return deltaE2000Within(first, second, std::numeric_limits<double>::infinity());
}

double deltaE2000Within(const LabColor& first, const LabColor& second, double limit)
{
    double g = 0.5 * (1 - deltaE2000ChromaShare((first.chroma + second.chroma) / 2));
    double a1Prime = (1 + g) * first.a;
    double a2Prime = (1 + g) * second.a;
    double c1Prime = std::sqrt(a1Prime * a1Prime + first.b * first.b);
    double c2Prime = std::sqrt(a2Prime * a2Prime + second.b * second.b);
    double meanCPrime = (c1Prime + c2Prime) / 2;
    double l = (second.l - first.l) / deltaE2000LightnessWeight(first.l, second.l);
    double c = (c2Prime - c1Prime) / (1 + 0.045 * meanCPrime);
    // A bound without trigonometry: c^2 + h^2 + RT c h >= k (c^2 + h^2) with
    // k from a bound of |RT|; dH'^2 = 2 (C1' C2' - a1' a2' - b1 b2); SH at most its bound.
    if (limit < std::numeric_limits<double>::infinity()) {
        double deltaHPrimeSquared = std::max(0.0, 2 * (c1Prime * c2Prime - a1Prime * a2Prime - first.b * second.b));
        HueBounds bounds = hueBounds(a1Prime, first.b, c1Prime, a2Prime, second.b, c2Prime, meanCPrime);
        if (l * l + bounds.factor * (c * c + deltaHPrimeSquared / (bounds.largestWeightH * bounds.largestWeightH)) > limit * limit)
            return std::numeric_limits<double>::infinity();
    }

    double h1Prime = hueAngle(first.b, a1Prime);
    double h2Prime = hueAngle(second.b, a2Prime);

    double chromaProduct = c1Prime * c2Prime;
    double deltaHuePrime = 0;
    double meanHuePrime = h1Prime + h2Prime;
    if (chromaProduct != 0) {
        deltaHuePrime = h2Prime - h1Prime;
        if (deltaHuePrime > pi)
            deltaHuePrime -= twoPi;
        else if (deltaHuePrime < -pi)
            deltaHuePrime += twoPi;
        if (std::fabs(h1Prime - h2Prime) <= pi)
            meanHuePrime /= 2;
        else if (meanHuePrime < twoPi)
            meanHuePrime = (meanHuePrime + twoPi) / 2;
        else
            meanHuePrime = (meanHuePrime - twoPi) / 2;
    }
    double deltaHPrime = 2 * std::sqrt(chromaProduct) * std::sin(deltaHuePrime / 2);

    double hueOffset = (meanHuePrime - radians(275)) / radians(25);
    double deltaTheta = radians(30) * std::exp(-hueOffset * hueOffset);
    double rotationC = 2 * deltaE2000ChromaShare(meanCPrime);
    double weightH = 1 + 0.015 * meanCPrime * hueWeightFactor(meanHuePrime);
    double rotationT = -std::sin(2 * deltaTheta) * rotationC;

    double h = deltaHPrime / weightH;
    return std::sqrt(l * l + c * c + h * h + rotationT * c * h);
}

double deltaE2000(double l1, double a1, double b1, double l2, double a2, double b2)
{
    return deltaE2000(labColor(l1, a1, b1), labColor(l2, a2, b2));
}

}
