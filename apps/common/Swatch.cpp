#include "Swatch.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int cubeLevels[6] = { 0, 95, 135, 175, 215, 255 };

int nearestCubeStep(int value)
{
    int best = 0;
    for (int step = 1; step < 6; ++step)
        if (std::abs(cubeLevels[step] - value) < std::abs(cubeLevels[best] - value))
            best = step;
    return best;
}

int squaredDistance(int r1, int g1, int b1, int r2, int g2, int b2)
{
    return (r1 - r2) * (r1 - r2) + (g1 - g2) * (g1 - g2) + (b1 - b2) * (b1 - b2);
}

bool isSet(const char* value)
{
    return value && *value;
}

}

std::optional<ColorChoice> colorChoiceNamed(std::string_view name)
{
    if (name == "auto")
        return ColorChoice::Auto;
    if (name == "always")
        return ColorChoice::Always;
    if (name == "never")
        return ColorChoice::Never;
    return std::nullopt;
}

SwatchDepth swatchDepth(ColorChoice choice, bool isTerminal, const EnvironmentLookup& environment)
{
    if (choice == ColorChoice::Never)
        return SwatchDepth::None;
    if (choice == ColorChoice::Auto) {
        // https://no-color.org: present and not empty turns colour off.
        const char* term = environment("TERM");
        if (!isTerminal || isSet(environment("NO_COLOR")) || (term && !std::strcmp(term, "dumb")))
            return SwatchDepth::None;
    }
    const char* colorTerm = environment("COLORTERM");
    bool hasTrueColor = colorTerm && (!std::strcmp(colorTerm, "truecolor") || !std::strcmp(colorTerm, "24bit"));
    return hasTrueColor ? SwatchDepth::TrueColor : SwatchDepth::Colors256;
}

void xterm256Color(int index, int& red, int& green, int& blue)
{
    if (index >= 232) {
        red = green = blue = 8 + 10 * (index - 232);
        return;
    }
    int cube = index - 16;
    red = cubeLevels[cube / 36];
    green = cubeLevels[cube / 6 % 6];
    blue = cubeLevels[cube % 6];
}

int nearestXterm256Index(int red, int green, int blue)
{
    // The cube's nearest point is each channel's nearest level; the grey
    // ramp's is the grey nearest the mean. The nearer of the two wins.
    int cubeIndex = 16 + 36 * nearestCubeStep(red) + 6 * nearestCubeStep(green) + nearestCubeStep(blue);
    int mean = (red + green + blue + 1) / 3;
    int greyStep = std::clamp((mean - 8 + 5) / 10, 0, 23);
    int greyIndex = 232 + greyStep;
    int r, g, b;
    xterm256Color(cubeIndex, r, g, b);
    int cubeDistance = squaredDistance(red, green, blue, r, g, b);
    xterm256Color(greyIndex, r, g, b);
    return squaredDistance(red, green, blue, r, g, b) < cubeDistance ? greyIndex : cubeIndex;
}

std::string swatch(int red, int green, int blue, SwatchDepth depth)
{
    char text[64];
    switch (depth) {
    case SwatchDepth::None:
        return {};
    case SwatchDepth::Colors256:
        std::snprintf(text, sizeof text, "\x1b[48;5;%dm    \x1b[0m ", nearestXterm256Index(red, green, blue));
        return text;
    case SwatchDepth::TrueColor:
        std::snprintf(text, sizeof text, "\x1b[48;2;%d;%d;%dm    \x1b[0m ", red, green, blue);
        return text;
    }
    return {};
}
