#include <tincture/DeltaE.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace tincture {

namespace {

constexpr double pi = std::numbers::pi;
constexpr double twoPi = 2 * std::numbers::pi;
constexpr double pow25To7 = 6103515625.0; // 25^7

constexpr double radians(double degrees)
{
    return degrees * pi / 180.0;
}

double pow7(double x)
{
    double x2 = x * x;
    double x3 = x2 * x;
    return x3 * x3 * x;
}

// h' in [0, 2pi); an achromatic colour's hue is 0.
double hueAngle(double b, double aPrime)
{
    if (b == 0 && aPrime == 0)
        return 0;
    double angle = std::atan2(b, aPrime);
    return angle < 0 ? angle + twoPi : angle;
}

double lightnessWeight(double l1, double l2)
{
    double meanL = (l1 + l2) / 2;
    double offset = (meanL - 50) * (meanL - 50);
    return 1 + 0.015 * offset / std::sqrt(20 + offset);
}

// T = 1 - 0.17 cos(h - 30) + 0.24 cos(2h) + 0.32 cos(3h + 6) - 0.20 cos(4h - 63),
// with the multiple angles from one sine and cosine.
double hueWeightFactor(double meanHue)
{
    static const double cos30 = std::cos(radians(30)), sin30 = std::sin(radians(30));
    static const double cos6 = std::cos(radians(6)), sin6 = std::sin(radians(6));
    static const double cos63 = std::cos(radians(63)), sin63 = std::sin(radians(63));
    double c1 = std::cos(meanHue), s1 = std::sin(meanHue);
    double c2 = 2 * c1 * c1 - 1, s2 = 2 * s1 * c1;
    double c3 = c2 * c1 - s2 * s1, s3 = s2 * c1 + c2 * s1;
    double c4 = 2 * c2 * c2 - 1, s4 = 2 * s2 * c2;
    return 1 - 0.17 * (c1 * cos30 + s1 * sin30) + 0.24 * c2 + 0.32 * (c3 * cos6 - s3 * sin6) - 0.20 * (c4 * cos63 + s4 * sin63);
}

}

LabColor labColor(double l, double a, double b)
{
    return { l, a, b, std::sqrt(a * a + b * b) };
}

double deltaE2000LowerBound(double l1, double l2)
{
    return std::fabs(l2 - l1) / lightnessWeight(l1, l2);
}

double deltaE2000(const LabColor& first, const LabColor& second)
{
    return deltaE2000Within(first, second, std::numeric_limits<double>::infinity());
}

double deltaE2000Within(const LabColor& first, const LabColor& second, double limit)
{
    double meanC7 = pow7((first.chroma + second.chroma) / 2);
    double g = 0.5 * (1 - std::sqrt(meanC7 / (meanC7 + pow25To7)));
    double a1Prime = (1 + g) * first.a;
    double a2Prime = (1 + g) * second.a;
    double c1Prime = std::sqrt(a1Prime * a1Prime + first.b * first.b);
    double c2Prime = std::sqrt(a2Prime * a2Prime + second.b * second.b);
    double meanCPrime = (c1Prime + c2Prime) / 2;
    double l = (second.l - first.l) / lightnessWeight(first.l, second.l);
    double c = (c2Prime - c1Prime) / (1 + 0.045 * meanCPrime);
    // A bound without trigonometry: |RT| <= sqrt(3) gives c^2 + h^2 + RT c h >=
    // (1 - sqrt(3) / 2)(c^2 + h^2); dH'^2 = 2 (C1' C2' - a1' a2' - b1 b2); and
    // T <= 1.93 gives SH <= 1 + 0.03 mean C'.
    if (limit < std::numeric_limits<double>::infinity()) {
        double deltaHPrimeSquared = std::max(0.0, 2 * (c1Prime * c2Prime - a1Prime * a2Prime - first.b * second.b));
        double largestWeightH = 1 + 0.03 * meanCPrime;
        if (l * l + 0.1339 * (c * c + deltaHPrimeSquared / (largestWeightH * largestWeightH)) > limit * limit)
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
    double meanCPrime7 = pow7(meanCPrime);
    double rotationC = 2 * std::sqrt(meanCPrime7 / (meanCPrime7 + pow25To7));
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
