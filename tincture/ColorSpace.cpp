#include <tincture/ColorSpace.h>

#include <cmath>

namespace tincture {

namespace {

double linearized(double component)
{
    return component > 0.04045 ? std::pow((component + 0.055) / 1.055, 2.4) : component / 12.92;
}

double labCurve(double t)
{
    constexpr double delta = 6.0 / 29.0;
    return t > delta * delta * delta ? std::cbrt(t) : t / (3 * delta * delta) + 4.0 / 29.0;
}

}

std::array<double, 4> xyzFromRGB(double red, double green, double blue, double alpha)
{
    double r = linearized(red);
    double g = linearized(green);
    double b = linearized(blue);
    double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) * 100;
    double y = (0.2126 * r + 0.7152 * g + 0.0722 * b) * 100;
    double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) * 100;
    return { x, y, z, alpha };
}

std::array<double, 4> labFromXYZ(double x, double y, double z, double alpha)
{
    double fx = labCurve(x / 95.05);
    double fy = labCurve(y / 100.0);
    double fz = labCurve(z / 108.9);
    return { 116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz), alpha };
}

}
