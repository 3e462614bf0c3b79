#include "ValueCommands.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <tincture/Color.h>

#include <common/JSON.h>

#include "ColorInput.h"
#include "Commands.h"

namespace {

using tincture::Color;

struct Options {
    std::vector<std::string> colors;
    bool isJSON { false };
};

// The colours of the arguments, else of standard input's lines; none when
// any does not read (each said on stderr), so the status is then 2.
std::optional<std::vector<Color>> readColors(const std::vector<std::string>& texts, const char* command)
{
    auto read = readColorInputs(texts, command);
    if (!read.isEveryColorRead)
        return std::nullopt;
    std::vector<Color> colors;
    for (auto& [text, color] : read.colors)
        colors.push_back(color);
    return colors;
}

JSON colorValue(const Color& color)
{
    return JSON { { "hex", color.hex() }, { "r", color.red() }, { "g", color.green() }, { "b", color.blue() }, { "alpha", color.alpha() } };
}

void printColors(const std::vector<Color>& colors, bool isJSON)
{
    if (!isJSON) {
        for (auto& color : colors)
            std::cout << color.clipped().hex() << "\n";
        return;
    }
    JSON list = JSON::array();
    for (auto& color : colors)
        list.push_back(colorValue(color.clipped()));
    std::cout << list.dump() << "\n";
}

// A command that maps each colour to one.
int mapColors(const Options& options, const char* command, const std::function<Color(const Color&)>& body)
{
    auto colors = readColors(options.colors, command);
    if (!colors)
        return usageError;
    std::vector<Color> results;
    for (auto& color : *colors)
        results.push_back(body(color));
    printColors(results, options.isJSON);
    return 0;
}

Color withHSL(const Color& color, double saturationChange, double hueChange)
{
    auto hsl = color.clipped().hsl();
    return Color::fromHSL({ hsl.h + hueChange, std::clamp(hsl.s + saturationChange, 0.0, 1.0), hsl.l }, color.alpha());
}

// N colours far apart by CIEDE2000, the fixed ones among them: the farthest
// of a seeded sample added one at a time, then each free one moved while
// that raises the least distance. Answers them and the least distance.
std::pair<std::vector<Color>, double> distinctColors(std::size_t count, const std::vector<Color>& fixed)
{
    std::mt19937_64 random(2026);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<Color> sample(3000);
    for (auto& color : sample)
        color = Color::fromRGB(unit(random), unit(random), unit(random));
    std::vector<Color> chosen = fixed;
    if (chosen.empty() && count > 0)
        chosen.push_back(sample[0]);
    while (chosen.size() < count) {
        const Color* farthest = &sample[0];
        double farthestDistance = -1;
        for (auto& candidate : sample) {
            double nearest = INFINITY;
            for (auto& other : chosen)
                nearest = std::min(nearest, tincture::deltaE2000(candidate, other));
            if (nearest > farthestDistance) {
                farthestDistance = nearest;
                farthest = &candidate;
            }
        }
        chosen.push_back(*farthest);
    }
    auto leastDistance = [&](const std::vector<Color>& colors) {
        double least = INFINITY;
        for (std::size_t i = 0; i < colors.size(); ++i)
            for (std::size_t j = i + 1; j < colors.size(); ++j)
                least = std::min(least, tincture::deltaE2000(colors[i], colors[j]));
        return least;
    };
    double least = leastDistance(chosen);
    std::normal_distribution<double> step(0, 0.05);
    for (int round = 0; round < 3000 && chosen.size() > fixed.size() + 0 && chosen.size() > 1; ++round) {
        std::size_t moved = fixed.size() + static_cast<std::size_t>(unit(random) * static_cast<double>(chosen.size() - fixed.size()));
        moved = std::min(moved, chosen.size() - 1);
        auto trial = chosen;
        Color c = trial[moved];
        trial[moved] = Color::fromRGB(
            std::clamp(c.red() + step(random), 0.0, 1.0), std::clamp(c.green() + step(random), 0.0, 1.0), std::clamp(c.blue() + step(random), 0.0, 1.0));
        if (double trialLeast = leastDistance(trial); trialLeast > least) {
            least = trialLeast;
            chosen = std::move(trial);
        }
    }
    return { chosen, chosen.size() > 1 ? least : 0 };
}

}

void addValueCommands(Commands& commands)
{
    auto options = std::make_shared<Options>();
    auto colorsOption = [&](CLI::App* command, const char* name = "COLOR") {
        command->add_option(name, options->colors, "The colours; without them, colours on standard input, one a line");
        command->add_flag("--json", options->isJSON, "Print one JSON array of {\"hex\",\"r\",\"g\",\"b\",\"alpha\"}");
    };
    auto fraction = std::make_shared<double>(0.5);
    auto space = std::make_shared<std::string>("oklab");
    auto amount = std::make_shared<double>(0);
    auto sortKey = std::make_shared<std::string>();
    auto deficiency = std::make_shared<std::string>();
    auto severity = std::make_shared<double>(1);
    auto count = std::make_shared<std::size_t>(0);
    auto fixed = std::make_shared<std::vector<std::string>>();

    auto* mix = commands.add("mix", "The colour a fraction of the way from A to B (in OKLab unless --space says)", [=] {
        auto colors = readColors(options->colors, "mix");
        if (!colors)
            return usageError;
        static const std::map<std::string, tincture::Space> spaces { { "oklab", tincture::Space::OKLab }, { "lab", tincture::Space::Lab },
            { "srgb", tincture::Space::SRGB }, { "linear-srgb", tincture::Space::LinearSRGB }, { "hsl", tincture::Space::HSL } };
        printColors({ tincture::mix((*colors)[0], (*colors)[1], *fraction, spaces.at(*space)) }, options->isJSON);
        return 0;
    });
    colorsOption(mix, "A B");
    mix->get_option("A B")->expected(2)->required();
    mix->add_option("--fraction", *fraction, "How far from A to B, 0 to 1 (default 0.5)")->check(CLI::Range(0.0, 1.0));
    mix->add_option("--space", *space, "oklab, lab, srgb, linear-srgb or hsl")->check(CLI::IsMember({ "oklab", "lab", "srgb", "linear-srgb", "hsl" }));

    auto* saturate = commands.add("saturate", "Raise HSL saturation by AMOUNT (0.1 is ten points)",
        [=] { return mapColors(*options, "saturate", [&](const Color& color) { return withHSL(color, *amount, 0); }); });
    auto* desaturate = commands.add("desaturate", "Lower HSL saturation by AMOUNT (0.1 is ten points)",
        [=] { return mapColors(*options, "desaturate", [&](const Color& color) { return withHSL(color, -*amount, 0); }); });
    auto* rotate = commands.add(
        "rotate", "Turn the HSL hue by DEGREES", [=] { return mapColors(*options, "rotate", [&](const Color& color) { return withHSL(color, 0, *amount); }); });
    for (auto* command : { saturate, desaturate, rotate }) {
        command->add_option(command == rotate ? "DEGREES" : "AMOUNT", *amount, command == rotate ? "Degrees, either way" : "0 to 1")->required();
        colorsOption(command);
    }
    colorsOption(commands.add("gray", "The grey of the same OKLab lightness", [=] {
        return mapColors(*options, "gray", [](const Color& color) { return Color::fromOKLab({ color.oklab().L, 0, 0 }, color.alpha()); });
    }));

    auto* sortBy = commands.add("sort-by", "The colours in order of hue, chroma, lightness (OKLCH) or WCAG luminance", [=] {
        auto colors = readColors(options->colors, "sort-by");
        if (!colors)
            return usageError;
        auto key = [&](const Color& color) {
            auto oklch = color.oklch();
            return *sortKey == "hue" ? oklch.h : *sortKey == "chroma" ? oklch.C : *sortKey == "lightness" ? oklch.L : color.luminance();
        };
        std::stable_sort(colors->begin(), colors->end(), [&](const Color& a, const Color& b) { return key(a) < key(b); });
        printColors(*colors, options->isJSON);
        return 0;
    });
    sortBy->add_option("KEY", *sortKey, "hue, chroma, lightness or luminance")->required()->check(CLI::IsMember({ "hue", "chroma", "lightness", "luminance" }));
    colorsOption(sortBy);

    auto* colorblind = commands.add("colorblind", "Each colour as seen with a colour-vision deficiency (Machado, Oliveira and Fernandes 2009)", [=] {
        auto kind = *deficiency == "protanopia" ? tincture::Deficiency::Protanopia
            : *deficiency == "deuteranopia"     ? tincture::Deficiency::Deuteranopia
                                                : tincture::Deficiency::Tritanopia;
        return mapColors(*options, "colorblind", [&](const Color& color) { return tincture::simulate(color, kind, *severity); });
    });
    colorblind->add_option("DEFICIENCY", *deficiency, "protanopia, deuteranopia or tritanopia")
        ->required()
        ->check(CLI::IsMember({ "protanopia", "deuteranopia", "tritanopia" }));
    colorblind->add_option("--severity", *severity, "0 (none) to 1 (default)")->check(CLI::Range(0.0, 1.0));
    colorsOption(colorblind);

    auto* distinct = commands.add("distinct", "N colours as far apart as CIEDE2000 allows (a seeded search), and their least distance on stderr", [=] {
        auto fixedColors = fixed->empty() ? std::optional<std::vector<Color>>(std::vector<Color> {}) : readColors(*fixed, "distinct");
        if (!fixedColors)
            return usageError;
        if (fixedColors->size() > *count) {
            std::cerr << "tincture: distinct: more fixed colours than N\n";
            return usageError;
        }
        auto [colors, least] = distinctColors(*count, *fixedColors);
        if (options->isJSON) {
            JSON list = JSON::array();
            for (auto& color : colors)
                list.push_back(colorValue(color));
            std::cout << JSON { { "colors", list }, { "leastDistance", least } }.dump() << "\n";
        } else {
            printColors(colors, false);
            std::cerr << "least CIEDE2000 distance: " << least << "\n";
        }
        return 0;
    });
    distinct->add_option("N", *count, "How many, 2 to 64")->required()->check(CLI::Range(2, 64));
    distinct->add_option("--fixed", *fixed, "Colours that must be among them");
    distinct->add_flag("--json", options->isJSON, "Print {\"colors\":[...],\"leastDistance\":D}");
}

int runContrastReport(const std::string& foreground, const std::string& background, bool isJSON, bool isCheck)
{
    auto colors = readColors({ foreground, background }, "contrast");
    if (!colors)
        return usageError;
    Color text = (*colors)[0], behind = (*colors)[1];
    double ratio = tincture::contrastRatio(text, behind), lc = tincture::contrastAPCA(text, behind);
    // WCAG 2.x: 4.5:1 (AA) and 7:1 (AAA) for text, 3:1 and 4.5:1 for large text.
    bool isAA = ratio >= 4.5, isAAA = ratio >= 7, isLargeAA = ratio >= 3, isLargeAAA = ratio >= 4.5;
    if (isJSON) {
        std::cout << JSON {
            { "ratio", ratio }, { "AA", isAA }, { "AAA", isAAA }, { "largeAA", isLargeAA }, { "largeAAA", isLargeAAA }, { "apcaLc", lc }
        }.dump() << "\n";
    } else {
        auto verdict = [](bool isPassed) { return isPassed ? "pass" : "fail"; };
        char line[200];
        std::snprintf(line, sizeof line, "%.2f:1  text: AA %s, AAA %s  large text: AA %s, AAA %s  APCA Lc %.1f", ratio, verdict(isAA), verdict(isAAA),
            verdict(isLargeAA), verdict(isLargeAAA), lc);
        std::cout << line << "\n";
    }
    return isCheck && !isAA ? 1 : 0;
}

int runGradientSteps(const std::string& first, const std::string& last, std::size_t steps, bool isJSON)
{
    auto ends = readColors({ first, last }, "gradient");
    if (!ends)
        return usageError;
    std::vector<Color> colors;
    for (std::size_t i = 0; i < steps; ++i)
        colors.push_back(tincture::mix((*ends)[0], (*ends)[1], static_cast<double>(i) / static_cast<double>(steps - 1)));
    printColors(colors, isJSON);
    return 0;
}
