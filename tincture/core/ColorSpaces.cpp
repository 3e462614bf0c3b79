#include "ColorSpaces.h"

#include <cmath>

namespace tincture::colorspaces {

namespace {

using Matrix = std::array<Triple, 3>;

Triple multiply(const Matrix& m, const Triple& v)
{
    return { m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2], m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
        m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2] };
}

// CSS Color 4, section 18 (sample code for colour conversions).
constexpr Matrix linearSRGBToXYZ { { { 506752.0 / 1228815, 87881.0 / 245763, 12673.0 / 70218 }, { 87098.0 / 409605, 175762.0 / 245763, 12673.0 / 175545 },
    { 7918.0 / 409605, 87881.0 / 737289, 1001167.0 / 1053270 } } };
constexpr Matrix xyzToLinearSRGB { { { 12831.0 / 3959, -329.0 / 214, -1974.0 / 3959 }, { -851781.0 / 878810, 1648619.0 / 878810, 36519.0 / 878810 },
    { 705.0 / 12673, -2585.0 / 12673, 705.0 / 667 } } };
constexpr Matrix bradfordD65ToD50 { { { 1.0479297925449969, 0.022946870601609652, -0.05019226628920524 },
    { 0.02962780877005599, 0.9904344267538799, -0.017073799063418826 }, { -0.009243040646204504, 0.015055191490298152, 0.7518742814281371 } } };
constexpr Matrix bradfordD50ToD65 { { { 0.955473421488075, -0.02309845494876471, 0.06325924320057072 },
    { -0.0283697093338637, 1.0099953980813041, 0.021041441191917323 }, { 0.012314014864481998, -0.020507649298898964, 1.330365926242124 } } };
// D50 as CSS Color 4 writes it: x 0.3457, y 0.3585.
constexpr Triple whiteD50 { 0.3457 / 0.3585, 1.0, (1.0 - 0.3457 - 0.3585) / 0.3585 };
constexpr double labEpsilon = 216.0 / 24389, labKappa = 24389.0 / 27;

// Björn Ottosson, "A perceptual color space for image processing" (2020),
// the matrices as CSS Color 4 gives them for linear sRGB.
constexpr Matrix linearSRGBToLMS { { { 0.4122214708, 0.5363325363, 0.0514459929 }, { 0.2119034982, 0.6806995451, 0.1073969566 },
    { 0.0883024619, 0.2817188376, 0.6299787005 } } };
constexpr Matrix lmsToOKLab { { { 0.2104542553, 0.7936177850, -0.0040720468 }, { 1.9779984951, -2.4285922050, 0.4505937099 },
    { 0.0259040371, 0.7827717662, -0.8086757660 } } };
constexpr Matrix okLabToLMS { { { 1.0, 0.3963377774, 0.2158037573 }, { 1.0, -0.1055613458, -0.0638541728 }, { 1.0, -0.0894841775, -1.2914855480 } } };
constexpr Matrix lmsToLinearSRGB { { { 4.0767416621, -3.3077115913, 0.2309699292 }, { -1.2684380046, 2.6097574011, -0.3413193965 },
    { -0.0041960863, -0.7034186147, 1.7076147010 } } };

}

double linearFromSRGB(double value)
{
    double magnitude = std::fabs(value);
    double linear = magnitude <= 0.04045 ? magnitude / 12.92 : std::pow((magnitude + 0.055) / 1.055, 2.4);
    return std::copysign(linear, value);
}

double sRGBFromLinear(double value)
{
    double magnitude = std::fabs(value);
    double encoded = magnitude <= 0.0031308 ? magnitude * 12.92 : 1.055 * std::pow(magnitude, 1 / 2.4) - 0.055;
    return std::copysign(encoded, value);
}

Triple linearFromSRGB(const Triple& rgb)
{
    return { linearFromSRGB(rgb[0]), linearFromSRGB(rgb[1]), linearFromSRGB(rgb[2]) };
}

Triple sRGBFromLinear(const Triple& rgb)
{
    return { sRGBFromLinear(rgb[0]), sRGBFromLinear(rgb[1]), sRGBFromLinear(rgb[2]) };
}

Triple xyzD65FromLinear(const Triple& rgb)
{
    return multiply(linearSRGBToXYZ, rgb);
}

Triple linearFromXYZD65(const Triple& xyz)
{
    return multiply(xyzToLinearSRGB, xyz);
}

Triple xyzD50FromD65(const Triple& xyz)
{
    return multiply(bradfordD65ToD50, xyz);
}

Triple xyzD65FromD50(const Triple& xyz)
{
    return multiply(bradfordD50ToD65, xyz);
}

Lab labFromXYZD50(const Triple& xyz)
{
    auto f = [](double t) { return t > labEpsilon ? std::cbrt(t) : (labKappa * t + 16) / 116; };
    double fx = f(xyz[0] / whiteD50[0]), fy = f(xyz[1] / whiteD50[1]), fz = f(xyz[2] / whiteD50[2]);
    return { 116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz) };
}

Triple xyzD50FromLab(const Lab& lab)
{
    double fy = (lab.L + 16) / 116, fx = lab.a / 500 + fy, fz = fy - lab.b / 200;
    auto inverse = [](double f) { return f * f * f > labEpsilon ? f * f * f : (116 * f - 16) / labKappa; };
    double y = lab.L > labKappa * labEpsilon ? fy * fy * fy : lab.L / labKappa;
    return { inverse(fx) * whiteD50[0], y * whiteD50[1], inverse(fz) * whiteD50[2] };
}

OKLab oklabFromLinear(const Triple& rgb)
{
    Triple lms = multiply(linearSRGBToLMS, rgb);
    Triple cube { std::cbrt(lms[0]), std::cbrt(lms[1]), std::cbrt(lms[2]) };
    Triple lab = multiply(lmsToOKLab, cube);
    return { lab[0], lab[1], lab[2] };
}

Triple linearFromOKLab(const OKLab& lab)
{
    Triple cube = multiply(okLabToLMS, { lab.L, lab.a, lab.b });
    return multiply(lmsToLinearSRGB, { cube[0] * cube[0] * cube[0], cube[1] * cube[1] * cube[1], cube[2] * cube[2] * cube[2] });
}

std::pair<double, double> polar(double a, double b)
{
    double chroma = std::hypot(a, b);
    if (chroma < 1e-12)
        return { chroma, 0 };
    double hue = std::atan2(b, a) * 180 / M_PI;
    return { chroma, hue < 0 ? hue + 360 : hue };
}

}
