#include "ColorSpaces.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tincture::colorspaces {

namespace {

using Matrix = std::array<Triple, 3>;

constexpr Matrix product(const Matrix& x, const Matrix& y)
{
    Matrix made {};
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j)
            made[i][j] = x[i][0] * y[0][j] + x[i][1] * y[1][j] + x[i][2] * y[2][j];
    }
    return made;
}

// The cube root of a normal number within a few units in the last place:
// the exponent divided by three in the bits, then Halley's iteration twice
// and Newton's once (the library's cbrt, through frexp and scalbn, took
// half of a conversion's time). Zero, tiny, huge and not-a-number values
// go to the library.
double cubeRoot(double x)
{
    double magnitude = std::fabs(x);
    if (!(magnitude >= 1e-30 && magnitude <= 1e30))
        return std::cbrt(x);
    std::uint64_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    bits = bits / 3 + 0x2A9F7893782DA1CEull;
    double root;
    std::memcpy(&root, &bits, sizeof root);
    for (int i = 0; i < 2; ++i) {
        double cube = root * root * root;
        root = root * (cube + 2 * magnitude) / (2 * cube + magnitude);
    }
    root -= (root * root * root - magnitude) / (3 * root * root);
    return std::copysign(root, x);
}

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
// Linear sRGB to D50 XYZ relative to the white, in one matrix.
constexpr Matrix linearSRGBToWhiteRelativeD50
    = product(Matrix { { { 1 / whiteD50[0], 0, 0 }, { 0, 1 / whiteD50[1], 0 }, { 0, 0, 1 / whiteD50[2] } } }, product(bradfordD65ToD50, linearSRGBToXYZ));

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

namespace {

double linearFromSRGBByFormula(double value)
{
    double magnitude = std::fabs(value);
    double linear = magnitude <= 0.04045 ? magnitude / 12.92 : std::pow((magnitude + 0.055) / 1.055, 2.4);
    return std::copysign(linear, value);
}

// The 256 values an 8-bit channel can have (k / 255) and their linear values,
// from the same formula.
struct EightBitLinear {
    std::array<double, 256> value, linear;
};
const EightBitLinear& eightBitLinear()
{
    static const auto table = [] {
        EightBitLinear made {};
        for (int k = 0; k < 256; ++k) {
            made.value[static_cast<std::size_t>(k)] = k / 255.0;
            made.linear[static_cast<std::size_t>(k)] = linearFromSRGBByFormula(k / 255.0);
        }
        return made;
    }();
    return table;
}

}

double linearFromSRGB(double value)
{
    // Colours from hex, from rgb() in integers and from photos have 8-bit
    // channels: those are looked up, to the bit what the formula gives.
    double scaled = value * 255;
    if (scaled >= 0 && scaled <= 255) {
        auto& table = eightBitLinear();
        auto k = static_cast<std::size_t>(scaled + 0.5);
        if (table.value[k] == value)
            return table.linear[k];
    }
    return linearFromSRGBByFormula(value);
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

Triple linearFromXYZD65(const Triple& xyz)
{
    return multiply(xyzToLinearSRGB, xyz);
}

Triple xyzD65FromD50(const Triple& xyz)
{
    return multiply(bradfordD50ToD65, xyz);
}

Lab labFromLinear(const Triple& rgb)
{
    Triple relative = multiply(linearSRGBToWhiteRelativeD50, rgb);
    auto f = [](double t) { return t > labEpsilon ? cubeRoot(t) : (labKappa * t + 16) / 116; };
    double fx = f(relative[0]), fy = f(relative[1]), fz = f(relative[2]);
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
    Triple cube { cubeRoot(lms[0]), cubeRoot(lms[1]), cubeRoot(lms[2]) };
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
    // Lab and OKLab's a and b are far from overflow: hypot's care is not needed.
    double chroma = std::sqrt(a * a + b * b);
    if (chroma < 1e-12)
        return { chroma, 0 };
    double hue = std::atan2(b, a) * 180 / M_PI;
    return { chroma, hue < 0 ? hue + 360 : hue };
}

}
