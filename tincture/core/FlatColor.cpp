#include <tincture/FlatColor.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <thread>
#include <vector>

#include <tincture/ColorSpace.h>
#include <tincture/DeltaE.h>
#include <uikit/HSB.h>

#include "NearestFlat.h"

namespace tincture {

namespace {

struct Entry {
    const char* label;
    int hueDegrees, saturationPercent, brightnessPercent;
};

constexpr Entry entries[] = {
#define TINCTURE_FLAT_ENTRIES(Name, Label, lightHue, lightSaturation, lightBrightness, darkHue, darkSaturation, darkBrightness)                                \
    { Label, lightHue, lightSaturation, lightBrightness }, { Label, darkHue, darkSaturation, darkBrightness },
    TINCTURE_FLAT_COLORS(TINCTURE_FLAT_ENTRIES)
#undef TINCTURE_FLAT_ENTRIES
};
constexpr std::size_t paletteSize = std::size(entries);

Color colorOfEntry(const Entry& entry)
{
    // The single-precision quotients widened, as UIColor's flat accessors pass them to +colorWithHue:.
    auto rgb = uikit::rgbOfHSB({ static_cast<float>(entry.hueDegrees) / 360.0f, static_cast<float>(entry.saturationPercent) / 100.0f,
        static_cast<float>(entry.brightnessPercent) / 100.0f });
    return Color::fromRGB(rgb.red, rgb.green, rgb.blue);
}

LabColor partLab(double red, double green, double blue)
{
    auto xyz = xyzFromRGB(red, green, blue, 1);
    auto lab = labFromXYZ(xyz[0], xyz[1], xyz[2], xyz[3]);
    return labColor(lab[0], lab[1], lab[2]);
}

// The palette's L*a*b* values, worked out once.
const std::array<LabColor, paletteSize>& paletteLab()
{
    static const auto table = [] {
        std::array<LabColor, paletteSize> values {};
        for (std::size_t position = 0; position < paletteSize; ++position) {
            Color color = colorOfEntry(entries[position]);
            values[position] = partLab(color.red(), color.green(), color.blue());
        }
        return values;
    }();
    return table;
}

// Palette positions in order of lightness.
const std::array<std::size_t, paletteSize>& positionsByLightness()
{
    static const auto order = [] {
        std::array<std::size_t, paletteSize> positions {};
        for (std::size_t i = 0; i < paletteSize; ++i)
            positions[i] = i;
        std::sort(positions.begin(), positions.end(), [](std::size_t x, std::size_t y) { return paletteLab()[x].l < paletteLab()[y].l; });
        return positions;
    }();
    return order;
}

}

std::size_t nearestFlatPosition(double l, double a, double b)
{
    // Entries are measured outwards from the searched lightness, each only if
    // a lower bound of its distance cannot rule it out, and each side stops
    // where the lightness difference alone rules out everything beyond
    // (a million or more, or not a number, never wins).
    constexpr double largestLightnessWeight = 1.75; // SL = 1 + 0.015 x 2500 / sqrt(2520) at most
    auto& palette = paletteLab();
    auto& byLightness = positionsByLightness();
    LabColor searched = labColor(l, a, b);

    float bestDistance = 1000000.0f;
    std::size_t bestPosition = 0;
    // The margin keeps anything that could round to the best distance: a tie goes to the earlier entry.
    auto limit = [&] { return static_cast<double>(bestDistance) * (1 + 1e-6) + 1e-6; };
    auto measure = [&](std::size_t position) {
        const LabColor& candidate = palette[position];
        if (deltaE2000LowerBoundSquared(searched, candidate) > limit() * limit())
            return;
        auto distance = static_cast<float>(deltaE2000Within(searched, candidate, limit()));
        if (distance < bestDistance || (distance == bestDistance && position < bestPosition)) {
            bestDistance = distance;
            bestPosition = position;
        }
    };
    auto isOutOfReach = [&](std::size_t position) { return std::fabs(palette[position].l - l) / largestLightnessWeight > limit(); };

    auto above = static_cast<std::size_t>(std::lower_bound(byLightness.begin(), byLightness.end(), l, [&](std::size_t position, double value) {
        return palette[position].l < value;
    }) - byLightness.begin());
    std::size_t below = above; // entries [below, above) are done
    bool isBelowOpen = below > 0, isAboveOpen = above < paletteSize;
    while (isBelowOpen || isAboveOpen) {
        bool takeBelow = isBelowOpen && (!isAboveOpen || std::fabs(palette[byLightness[below - 1]].l - l) <= std::fabs(palette[byLightness[above]].l - l));
        std::size_t position = takeBelow ? byLightness[--below] : byLightness[above++];
        if (isOutOfReach(position)) {
            (takeBelow ? isBelowOpen : isAboveOpen) = false;
            continue;
        }
        measure(position);
        isBelowOpen = isBelowOpen && below > 0;
        isAboveOpen = isAboveOpen && above < paletteSize;
    }
    return bestPosition;
}

Color flat(FlatColor color, Shade shade)
{
    return colorOfEntry(entries[2 * static_cast<std::size_t>(color) + (shade == Shade::Dark ? 1 : 0)]);
}

FlatShade nearestFlatShade(const Color& color)
{
    LabColor lab = partLab(color.red(), color.green(), color.blue());
    std::size_t position = nearestFlatPosition(lab.l, lab.a, lab.b);
    return { static_cast<FlatColor>(position / 2), position % 2 ? Shade::Dark : Shade::Light };
}

FlatColor nearestFlat(const Color& color)
{
    return nearestFlatShade(color).color;
}

void nearestFlat(std::span<const Color> colors, std::span<FlatColor> nearest)
{
    std::size_t count = std::min(colors.size(), nearest.size());
    // Below a few thousand, a thread costs more than it saves.
    constexpr std::size_t smallestShare = 4096;
    std::size_t threads = std::clamp<std::size_t>(count / smallestShare, 1, std::max(1u, std::thread::hardware_concurrency()));
    auto work = [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i)
            nearest[i] = nearestFlat(colors[i]);
    };
    std::vector<std::thread> workers;
    for (std::size_t part = 1; part < threads; ++part)
        workers.emplace_back(work, count * part / threads, count * (part + 1) / threads);
    work(0, count / threads);
    for (auto& worker : workers)
        worker.join();
}

const char* flatColorName(FlatColor color)
{
    return entries[2 * static_cast<std::size_t>(color)].label;
}

}
