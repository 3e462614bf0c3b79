#include <tincture/ColorMath.h>

#include <algorithm>
#include <array>
#include <cmath>

#include <tincture/ColorSpace.h>
#include <tincture/DeltaE.h>

#include "ColorSpaces.h"

namespace tincture {

namespace {

double lerp(double a, double b, double t)
{
    return a + (b - a) * t;
}

// The hue the fraction of the way from a to b, the shorter way round.
double lerpHue(double a, double b, double t)
{
    double difference = std::fmod(b - a + 540, 360.0) - 180;
    double hue = std::fmod(a + difference * t, 360.0);
    return hue < 0 ? hue + 360 : hue;
}

// Machado, Oliveira and Fernandes (2009), their precomputed matrices for
// severities 0, 0.1, ... 1, row by row, on linear RGB.
using Matrix = std::array<double, 9>;
constexpr Matrix protanopia[11] = {
    { 1, 0, 0, 0, 1, 0, 0, 0, 1 },
    { 0.856167, 0.182038, -0.038205, 0.029342, 0.955115, 0.015544, -0.002880, -0.001563, 1.004443 },
    { 0.734766, 0.334872, -0.069637, 0.051840, 0.919198, 0.028963, -0.004928, -0.004209, 1.009137 },
    { 0.630323, 0.465641, -0.095964, 0.069181, 0.890046, 0.040773, -0.006308, -0.007724, 1.014032 },
    { 0.539009, 0.579343, -0.118352, 0.082546, 0.866121, 0.051332, -0.007136, -0.011959, 1.019095 },
    { 0.458064, 0.679578, -0.137642, 0.092785, 0.846313, 0.060902, -0.007494, -0.016807, 1.024301 },
    { 0.385450, 0.769005, -0.154455, 0.100526, 0.829802, 0.069673, -0.007442, -0.022190, 1.029632 },
    { 0.319627, 0.849633, -0.169261, 0.106241, 0.815969, 0.077790, -0.007025, -0.028051, 1.035076 },
    { 0.259411, 0.923008, -0.182420, 0.110296, 0.804340, 0.085364, -0.006276, -0.034346, 1.040622 },
    { 0.203876, 0.990338, -0.194214, 0.112975, 0.794542, 0.092483, -0.005222, -0.041043, 1.046265 },
    { 0.152286, 1.052583, -0.204868, 0.114503, 0.786281, 0.099216, -0.003882, -0.048116, 1.051998 },
};
constexpr Matrix deuteranopia[11] = {
    { 1, 0, 0, 0, 1, 0, 0, 0, 1 },
    { 0.866435, 0.177704, -0.044139, 0.049567, 0.939063, 0.011370, -0.003453, 0.007233, 0.996220 },
    { 0.760729, 0.319078, -0.079807, 0.090568, 0.889315, 0.020117, -0.006027, 0.013325, 0.992702 },
    { 0.675425, 0.433850, -0.109275, 0.125303, 0.847755, 0.026942, -0.007950, 0.018572, 0.989378 },
    { 0.605511, 0.528560, -0.134071, 0.155318, 0.812366, 0.032316, -0.009376, 0.023176, 0.986200 },
    { 0.547494, 0.607765, -0.155259, 0.181692, 0.781742, 0.036566, -0.010410, 0.027275, 0.983136 },
    { 0.498864, 0.674741, -0.173604, 0.205199, 0.754872, 0.039929, -0.011131, 0.030969, 0.980162 },
    { 0.457771, 0.731899, -0.189670, 0.226409, 0.731012, 0.042579, -0.011595, 0.034333, 0.977261 },
    { 0.422823, 0.781057, -0.203881, 0.245752, 0.709602, 0.044646, -0.011843, 0.037423, 0.974421 },
    { 0.392952, 0.823610, -0.216562, 0.263559, 0.690210, 0.046232, -0.011910, 0.040281, 0.971630 },
    { 0.367322, 0.860646, -0.227968, 0.280085, 0.672501, 0.047413, -0.011820, 0.042940, 0.968881 },
};
constexpr Matrix tritanopia[11] = {
    { 1, 0, 0, 0, 1, 0, 0, 0, 1 },
    { 0.926670, 0.092514, -0.019184, 0.021191, 0.964503, 0.014306, 0.008437, 0.054813, 0.936750 },
    { 0.895720, 0.133330, -0.029050, 0.029997, 0.945400, 0.024603, 0.013027, 0.104707, 0.882266 },
    { 0.905871, 0.127791, -0.033662, 0.026856, 0.941251, 0.031893, 0.013410, 0.148296, 0.838294 },
    { 0.948035, 0.089490, -0.037526, 0.014364, 0.946792, 0.038844, 0.010853, 0.193991, 0.795156 },
    { 1.017277, 0.027029, -0.044306, -0.006113, 0.958479, 0.047634, 0.006379, 0.248708, 0.744913 },
    { 1.104996, -0.046633, -0.058363, -0.032137, 0.971635, 0.060503, 0.001336, 0.317922, 0.680742 },
    { 1.193214, -0.109812, -0.083402, -0.058496, 0.979410, 0.079086, -0.002346, 0.403492, 0.598854 },
    { 1.257728, -0.139648, -0.118081, -0.078003, 0.975409, 0.102594, -0.003316, 0.501214, 0.502102 },
    { 1.278864, -0.125333, -0.153531, -0.084748, 0.957674, 0.127074, -0.000989, 0.601151, 0.399838 },
    { 1.255528, -0.076749, -0.178779, -0.078411, 0.930809, 0.147602, 0.004733, 0.691367, 0.303900 },
};

}

double contrastRatio(const Color& first, const Color& second)
{
    double a = first.luminance(), b = second.luminance();
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

double contrastAPCA(const Color& text, const Color& background)
{
    // APCA-W3 0.0.98G-4g (Myndex): screen luminance by a plain 2.4 power,
    // a soft clamp of near-black, then the polarity's exponents.
    auto screenLuminance = [](const Color& color) {
        Color c = color.clipped();
        double y = 0.2126729 * std::pow(c.red(), 2.4) + 0.7151522 * std::pow(c.green(), 2.4) + 0.0721750 * std::pow(c.blue(), 2.4);
        constexpr double blackThreshold = 0.022, blackClamp = 1.414;
        return y > blackThreshold ? y : y + std::pow(blackThreshold - y, blackClamp);
    };
    double textY = screenLuminance(text), backgroundY = screenLuminance(background);
    if (std::fabs(backgroundY - textY) < 0.0005)
        return 0;
    double output = 0;
    if (backgroundY > textY) {
        double sapc = (std::pow(backgroundY, 0.56) - std::pow(textY, 0.57)) * 1.14;
        output = sapc < 0.1 ? 0 : sapc - 0.027;
    } else {
        double sapc = (std::pow(backgroundY, 0.65) - std::pow(textY, 0.62)) * 1.14;
        output = sapc > -0.1 ? 0 : sapc + 0.027;
    }
    return output * 100;
}

double deltaE2000(const Color& first, const Color& second)
{
    auto lab = [](const Color& color) {
        auto xyz = xyzFromRGB(color.red(), color.green(), color.blue(), color.alpha());
        return labFromXYZ(xyz[0], xyz[1], xyz[2], xyz[3]);
    };
    auto a = lab(first), b = lab(second);
    return deltaE2000(a[0], a[1], a[2], b[0], b[1], b[2]);
}

Color mix(const Color& a, const Color& b, double t, Space space)
{
    double alpha = lerp(a.alpha(), b.alpha(), t);
    switch (space) {
    case Space::OKLab: {
        OKLab x = a.oklab(), y = b.oklab();
        return Color::fromOKLab({ lerp(x.L, y.L, t), lerp(x.a, y.a, t), lerp(x.b, y.b, t) }, alpha);
    }
    case Space::Lab: {
        Lab x = a.lab(), y = b.lab();
        return Color::fromLab({ lerp(x.L, y.L, t), lerp(x.a, y.a, t), lerp(x.b, y.b, t) }, alpha);
    }
    case Space::SRGB:
        return Color::fromRGB(lerp(a.red(), b.red(), t), lerp(a.green(), b.green(), t), lerp(a.blue(), b.blue(), t), alpha);
    case Space::LinearSRGB: {
        auto x = colorspaces::linearFromSRGB({ a.red(), a.green(), a.blue() }), y = colorspaces::linearFromSRGB({ b.red(), b.green(), b.blue() });
        auto rgb = colorspaces::sRGBFromLinear({ lerp(x[0], y[0], t), lerp(x[1], y[1], t), lerp(x[2], y[2], t) });
        return Color::fromRGB(rgb[0], rgb[1], rgb[2], alpha);
    }
    case Space::HSL: {
        HSL x = a.hsl(), y = b.hsl();
        // A grey has no hue: it takes the other's.
        double hueA = x.s == 0 ? y.h : x.h, hueB = y.s == 0 ? x.h : y.h;
        return Color::fromHSL({ lerpHue(hueA, hueB, t), lerp(x.s, y.s, t), lerp(x.l, y.l, t) }, alpha);
    }
    }
    return a;
}

Color simulate(const Color& color, Deficiency deficiency, double severity)
{
    const Matrix* table = deficiency == Deficiency::Protanopia ? protanopia : deficiency == Deficiency::Deuteranopia ? deuteranopia : tritanopia;
    double position = std::clamp(severity, 0.0, 1.0) * 10;
    auto lower = static_cast<std::size_t>(std::floor(position));
    std::size_t upper = std::min<std::size_t>(lower + 1, 10);
    double t = position - static_cast<double>(lower);
    Matrix m;
    for (std::size_t i = 0; i < 9; ++i)
        m[i] = lerp(table[lower][i], table[upper][i], t);
    auto linear = colorspaces::linearFromSRGB({ color.red(), color.green(), color.blue() });
    auto seen = colorspaces::sRGBFromLinear({ m[0] * linear[0] + m[1] * linear[1] + m[2] * linear[2], m[3] * linear[0] + m[4] * linear[1] + m[5] * linear[2],
        m[6] * linear[0] + m[7] * linear[1] + m[8] * linear[2] });
    return Color::fromRGB(seen[0], seen[1], seen[2], color.alpha()).clipped();
}

}
