// The subcommands on one colour at a time, through UIColor's categories: show,
// flatten, lab, xyz, distance, complement, contrast, darken, lighten,
// scheme, hex, random, palette and index.

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <iostream>
#include <memory>
#include <optional>

#include <CLI/CLI.hpp>

#include <UIColor+TincturePrivate.h>
#include <common/ColorText.h>
#include <common/PaletteIndexText.h>
#include <common/Validators.h>
#include <tincture/NSArray+Tincture.h>
#include <tincture/UIColor+Tincture.h>

#include "ColorArguments.h"
#include "Commands.h"
#include "Output.h"
#include "ValueCommands.h"

namespace {

constexpr const char* colorHelp = "The colour; without it, colours on standard input, one a line";

// Options each subcommand fills in.
struct Arguments {
    std::string color;
    std::optional<double> alpha;
    bool isFlat { false };
};

tincture::Flat flatOf(bool isFlat)
{
    return isFlat ? tincture::Flat::Yes : tincture::Flat::No;
}

void addShowAndFlatten(Commands& commands, const Output& output)
{
    auto shown = std::make_shared<Arguments>();
    commands
        .add("show", "The colour as read: with --format, from one way of writing it to another",
            [=, &output] { return forEachColor(shown->color, [&](const Ref<UIColor>& source) { output.printColor(source.ptr()); }); })
        ->add_option("COLOR", shown->color, colorHelp)
        ->check(colorValidator());

    auto flattened = std::make_shared<Arguments>();
    auto* flatten = commands.add("flatten", "The nearest flat colour (CIEDE2000)", [=, &output] {
        return forEachColor(flattened->color, [&](const Ref<UIColor>& source) {
            output.printColor((flattened->alpha ? tincture::colorWithFlatVersionOf(source.ptr(), *flattened->alpha) : tincture::flatten(source.ptr())).get());
        });
    });
    flatten->add_option("COLOR", flattened->color, colorHelp)->check(colorValidator());
    flatten->add_option("--alpha", flattened->alpha, "Alpha of the result (default: the colour's own, 1 for a transparent one)")->check(finiteNumber(0, 1));
}

// lab and xyz: four numbers of each colour, as the categories give them.
using Components = bool (*)(const UIColor*, double*, double*, double*, double*);
void addComponentsCommand(
    Commands& commands, const Output& output, const char* name, const char* description, Components components, std::array<const char*, 4> names)
{
    auto arguments = std::make_shared<Arguments>();
    commands
        .add(name, description,
            [=, &output] {
                return forEachColor(arguments->color, [&](const Ref<UIColor>& source) {
                    std::array<double, 4> values {};
                    components(source.ptr(), &values[0], &values[1], &values[2], &values[3]);
                    output.printQuadruple(values, names.data());
                });
            })
        ->add_option("COLOR", arguments->color, colorHelp)
        ->check(colorValidator());
}

void addSpaces(Commands& commands, const Output& output)
{
    addComponentsCommand(commands, output, "lab", "CIE L*a*b* of a colour", &tincture::getLightness, { "L", "a", "b", "alpha" });
    addComponentsCommand(commands, output, "xyz", "CIE XYZ of a colour (white Y = 100)", &tincture::getValueForX, { "X", "Y", "Z", "alpha" });

    auto labs = std::make_shared<std::vector<double>>();
    commands
        .add("distance", "CIEDE2000 difference of two L*a*b* colours",
            [=, &output] {
                auto& l = *labs;
                float difference = tincture::totalSumOfDifferencesFroml1(l[0], l[3], l[1], l[4], l[2], l[5]);
                std::cout << (output.isJSON() ? jsonText({ { "distance", jsonNumber(difference) } }) : shortestDecimal(difference)) << "\n";
                return 0;
            })
        ->add_option("L1 a1 b1 L2 a2 b2", *labs)
        ->required()
        ->expected(6)
        ->check(finiteNumber());
}

void addComplementAndContrast(Commands& commands, const Output& output)
{
    auto complemented = std::make_shared<Arguments>();
    auto* complement = commands.add("complement", "The complementary flat colour", [=, &output] {
        return forEachColor(complemented->color, [&](const Ref<UIColor>& source) {
            output.printColor(tincture::colorWithComplementaryFlatColorOf(source.ptr(), complemented->alpha.value_or(1)).get());
        });
    });
    complement->add_option("COLOR", complemented->color, colorHelp)->check(colorValidator());
    complement->add_option("--alpha", complemented->alpha, "Alpha of the result (default 1)")->check(finiteNumber(0, 1));

    struct ContrastArguments : Arguments {
        std::string background;
        bool isChecked { false };
    };
    auto contrasted = std::make_shared<ContrastArguments>();
    auto* contrast = commands.add("contrast", "Black or white, readable on the colour; or, with a BACKGROUND, the contrast of the colour on it", [=, &output] {
        if (!contrasted->background.empty())
            return runContrastReport(contrasted->color, contrasted->background, output.isJSON(), contrasted->isChecked);
        return forEachColor(contrasted->color, [&](const Ref<UIColor>& source) {
            output.printColor(tincture::colorWithContrastingBlackOrWhiteColorOn(source.ptr(), flatOf(contrasted->isFlat), contrasted->alpha.value_or(1)).ptr());
        });
    });
    contrast->add_option("COLOR", contrasted->color, colorHelp)->check(colorValidator());
    contrast->add_option("BACKGROUND", contrasted->background, "A background: print the WCAG 2 ratio of COLOR on it, its AA and AAA verdicts, and the APCA Lc");
    contrast->add_flag("--check", contrasted->isChecked, "With a BACKGROUND: exit 1 below AA for text (4.5:1)");
    contrast->add_flag("--flat", contrasted->isFlat, "The flat black or white");
    contrast->add_option("--alpha", contrasted->alpha, "Alpha of the result (default 1)")->check(finiteNumber(0, 1));
}

// darken and lighten: [COLOR] AMOUNT, the amount last, so that a pipeline gives it alone.
void addBrightnessShift(Commands& commands, const Output& output, const char* name, const char* description, CGFloat sign)
{
    auto shiftArguments = std::make_shared<std::vector<std::string>>();
    commands
        .add(name, description,
            [=, &output] {
                std::string amountText = shiftArguments->back();
                std::string color = shiftArguments->size() == 2 ? shiftArguments->front() : "";
                if (auto message = finiteNumber()(amountText); !message.empty()) {
                    std::cerr << "tincture: AMOUNT: " << message << "\n";
                    return usageError;
                }
                double amount = std::strtod(amountText.c_str(), nullptr);
                if (auto parsed = parseColorText(color); !color.empty() && !parsed) {
                    std::cerr << "tincture: COLOR: " << parsed.error().message << "\n";
                    return usageError;
                }
                return forEachColor(color, [&](const Ref<UIColor>& source) {
                    output.printColor(
                        (sign < 0 ? tincture::darkenByPercentage(source.ptr(), amount) : tincture::lightenByPercentage(source.ptr(), amount)).get());
                });
            })
        ->add_option("[COLOR] AMOUNT", *shiftArguments, "The colour (without it, colours on standard input, one a line) and the amount")
        ->expected(1, 2)
        ->required();
}

void addScheme(Commands& commands, const Output& output)
{
    struct SchemeArguments : Arguments {
        std::string scheme;
    };
    auto schemed = std::make_shared<SchemeArguments>();
    auto* scheme = commands.add("scheme", "Five colours of a scheme, in order", [=, &output] {
        auto code = schemed->scheme == "analogous" ? tincture::array::ColorSchemeAnalogous
            : schemed->scheme == "triadic"         ? tincture::array::ColorSchemeTriadic
                                                   : tincture::array::ColorSchemeComplementary;
        return forEachColor(schemed->color, [&](const Ref<UIColor>& source) {
            output.printColors(tincture::array::arrayOfColorsWithColorScheme(code, source.ptr(), flatOf(schemed->isFlat)));
        });
    });
    scheme->add_option("SCHEME", schemed->scheme, "analogous, triadic or complementary")
        ->required()
        ->check(CLI::IsMember({ "analogous", "triadic", "complementary" }));
    scheme->add_option("COLOR", schemed->color, colorHelp)->check(colorValidator());
    scheme->add_flag("--flat", schemed->isFlat, "Snap the colours to the flat palette");
}

void addHexAndRandom(Commands& commands, const Output& output)
{
    auto hexed = std::make_shared<Arguments>();
    auto* hex = commands.add("hex", "The colour of a hex string, as the library reads one (#RGB, #RRGGBB, with or without #)", [=, &output] {
        // The library reads what is not hex as black, as its device API
        // does; the command says so instead, once.
        const std::string& text = hexed->color;
        std::string_view digits = std::string_view(text).substr(text.starts_with("#") ? 1 : 0);
        bool isHex = (digits.size() == 3 || digits.size() == 6)
            && std::all_of(digits.begin(), digits.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
        auto result = isHex ? tincture::colorWithHexString(text, hexed->alpha.value_or(1)) : nullptr;
        if (!result) {
            std::cerr << "tincture: \"" << text << "\" is not a hex colour (#RGB or #RRGGBB)\n";
            return usageError;
        }
        output.printColor(result.get());
        return 0;
    });
    hex->add_option("STRING", hexed->color)->required();
    hex->add_option("--alpha", hexed->alpha, "Alpha (default 1)")->check(finiteNumber(0, 1));

    struct RandomArguments : Arguments {
        std::string shade { "light" };
        CLI::App* command { nullptr };
    };
    auto picked = std::make_shared<RandomArguments>();
    picked->command = commands.add("random", "A random flat colour, never the previous pick", [=, &output] {
        if (picked->command->count("--shade") == 0)
            output.printColor(tincture::randomFlatColor()->colorWithAlphaComponent(picked->alpha.value_or(1)).ptr());
        else
            output.printColor(tincture::colorWithRandomFlatColorOfShadeStyle(picked->shade == "dark" ? 1 : 0, picked->alpha.value_or(1)).ptr());
        return 0;
    });
    picked->command->add_option("--shade", picked->shade, "light or dark (default: any of the 48)")->check(CLI::IsMember({ "light", "dark" }));
    picked->command->add_option("--alpha", picked->alpha, "Alpha (default 1)")->check(finiteNumber(0, 1));
}

void addPalette(Commands& commands, const Output& output)
{
    commands.add("palette", "The 48 flat colours in list order", [&output] {
        output.printColors(tincture::flatColors());
        return 0;
    });
    auto index = std::make_shared<std::int64_t>(0);
    commands
        .add("index", "Moved to `menutone index` (kept for one release): the colour of a palette index and its label",
            [=, &output] {
                std::cerr << "tincture: the palette index is Menutone's: `menutone index N` prints it; `tincture index` goes in the next release\n";
                std::cout << (output.isJSON() ? paletteIndexJSON(*index) : paletteIndexLine(*index, output.swatches())) << "\n";
                return 0;
            })
        ->add_option("N", *index, "Palette index")
        ->required()
        ->check(paletteIndex());
}

}

void addColorCommands(Commands& commands, const Output& output)
{
    addPalette(commands, output);
    addShowAndFlatten(commands, output);
    addSpaces(commands, output);
    addComplementAndContrast(commands, output);
    addBrightnessShift(commands, output, "darken", "Lower the brightness by AMOUNT (0.1 is ten points)", -1);
    addBrightnessShift(commands, output, "lighten", "Raise the brightness by AMOUNT (0.1 is ten points)", 1);
    addScheme(commands, output);
    addHexAndRandom(commands, output);
}
