// `tincture format SPACE [COLOR...]`: each colour written in one space,
// read with the colour library's value types alone.

#include <cmath>
#include <cstdio>
#include <iostream>

#include <CLI/CLI.hpp>
#include <tincture/CSSColorNames.h>
#include <tincture/Color.h>

#include <common/JSON.h>

#include "ColorInput.h"
#include "Commands.h"

namespace {

const std::vector<std::string> spaces { "hex", "rgb", "hsl", "hwb", "lab", "lch", "oklab", "oklch", "cmyk", "name", "ansi-8bit", "ansi-24bit" };

std::string number(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, std::fabs(value) < 0.5 * std::pow(10, -decimals) ? 0.0 : value);
    std::string result = text;
    if (result.find('.') != std::string::npos) {
        result.erase(result.find_last_not_of('0') + 1);
        if (result.back() == '.')
            result.pop_back();
    }
    return result;
}

std::string withAlpha(const std::string& body, const tincture::Color& color)
{
    return body + (color.alpha() < 1 ? " / " + number(color.alpha(), 3) : "") + ")";
}

struct Component {
    double value;
    int decimals;
    const char* unit = "";
};

// "name(A B C)", with " / alpha" when the colour is not opaque.
std::string cssFunction(const char* name, std::initializer_list<Component> components, const tincture::Color& color)
{
    std::string text = std::string(name) + "(";
    for (auto& component : components)
        text += (text.back() == '(' ? "" : " ") + number(component.value, component.decimals) + component.unit;
    return withAlpha(text, color);
}

// The CSS name nearest by CIEDE2000, and the distance.
std::pair<std::string, double> nearestName(const tincture::Color& color)
{
    std::pair<std::string, double> best { "", INFINITY };
    for (auto* entry = tincture::cssColorNamesBegin(); entry != tincture::cssColorNamesEnd(); ++entry) {
        auto named = tincture::Color::fromRGBA8(entry->rgb >> 16, entry->rgb >> 8 & 0xff, entry->rgb & 0xff);
        double distance = tincture::deltaE2000(color, named);
        if (distance < best.second)
            best = { entry->name, distance };
    }
    return best;
}

// xterm's 256 colours: the 6 x 6 x 6 cube or the 24 greys, whichever is nearer.
int ansi8bit(const tincture::Color& color)
{
    tincture::Color c = color.clipped();
    auto level = [](double value) { return value < 48.0 / 255 ? 0 : value < 115.0 / 255 ? 1 : static_cast<int>((value * 255 - 35) / 40); };
    int r = level(c.red()), g = level(c.green()), b = level(c.blue());
    auto cubeValue = [](int step) { return step == 0 ? 0.0 : (55 + 40 * step) / 255.0; };
    auto cube = tincture::Color::fromRGB(cubeValue(r), cubeValue(g), cubeValue(b));
    double average = (c.red() + c.green() + c.blue()) / 3;
    int greyStep = std::clamp(static_cast<int>(std::lround((average * 255 - 8) / 10)), 0, 23);
    double greyValue = (8 + 10 * greyStep) / 255.0;
    auto grey = tincture::Color::fromRGB(greyValue, greyValue, greyValue);
    return tincture::deltaE2000(c, grey) < tincture::deltaE2000(c, cube) ? 232 + greyStep : 16 + 36 * r + 6 * g + b;
}

std::string formatted(const tincture::Color& color, const std::string& space)
{
    using std::lround;
    if (space == "hex")
        return color.hex();
    if (space == "rgb") {
        auto c = color.clipped();
        return withAlpha(
            "rgb(" + std::to_string(lround(c.red() * 255)) + " " + std::to_string(lround(c.green() * 255)) + " " + std::to_string(lround(c.blue() * 255)),
            color);
    }
    if (space == "hsl") {
        auto v = color.clipped().hsl();
        return cssFunction("hsl", { { v.h, 2 }, { v.s * 100, 2, "%" }, { v.l * 100, 2, "%" } }, color);
    }
    if (space == "hwb") {
        auto v = color.clipped().hwb();
        return cssFunction("hwb", { { v.h, 2 }, { v.w * 100, 2, "%" }, { v.b * 100, 2, "%" } }, color);
    }
    if (space == "lab") {
        auto v = color.lab();
        return cssFunction("lab", { { v.L, 2 }, { v.a, 2 }, { v.b, 2 } }, color);
    }
    if (space == "lch") {
        auto v = color.lch();
        return cssFunction("lch", { { v.L, 2 }, { v.C, 2 }, { v.h, 2 } }, color);
    }
    if (space == "oklab") {
        auto v = color.oklab();
        return cssFunction("oklab", { { v.L, 4 }, { v.a, 4 }, { v.b, 4 } }, color);
    }
    if (space == "oklch") {
        auto v = color.oklch();
        return cssFunction("oklch", { { v.L, 4 }, { v.C, 4 }, { v.h, 2 } }, color);
    }
    if (space == "cmyk") {
        auto v = color.cmyk();
        return "cmyk(" + number(v.c * 100, 1) + "% " + number(v.m * 100, 1) + "% " + number(v.y * 100, 1) + "% " + number(v.k * 100, 1) + "%)";
    }
    if (space == "name") {
        auto [name, distance] = nearestName(color);
        return name + (distance > 0 ? " (ΔE " + number(distance, 2) + ")" : "");
    }
    if (space == "ansi-8bit")
        return "\\e[38;5;" + std::to_string(ansi8bit(color)) + "m";
    auto c = color.clipped();
    return "\\e[38;2;" + std::to_string(lround(c.red() * 255)) + ";" + std::to_string(lround(c.green() * 255)) + ";" + std::to_string(lround(c.blue() * 255))
        + "m";
}

JSON valueJSON(const std::string& input, const tincture::Color& color)
{
    auto hsl = color.hsl();
    auto hwb = color.hwb();
    auto lab = color.lab();
    auto lch = color.lch();
    auto oklab = color.oklab();
    auto oklch = color.oklch();
    auto cmyk = color.cmyk();
    return JSON { { "input", input }, { "hex", color.hex() },
        { "rgb", { { "r", color.red() }, { "g", color.green() }, { "b", color.blue() }, { "alpha", color.alpha() } } },
        { "hsl", { { "h", hsl.h }, { "s", hsl.s }, { "l", hsl.l } } }, { "hwb", { { "h", hwb.h }, { "w", hwb.w }, { "b", hwb.b } } },
        { "lab", { { "L", lab.L }, { "a", lab.a }, { "b", lab.b } } }, { "lch", { { "L", lch.L }, { "C", lch.C }, { "h", lch.h } } },
        { "oklab", { { "L", oklab.L }, { "a", oklab.a }, { "b", oklab.b } } }, { "oklch", { { "L", oklch.L }, { "C", oklch.C }, { "h", oklch.h } } },
        { "cmyk", { { "c", cmyk.c }, { "m", cmyk.m }, { "y", cmyk.y }, { "k", cmyk.k } } }, { "luminance", color.luminance() },
        { "formatted", formatted(color, "") } };
}

struct FormatArguments {
    std::string space;
    std::vector<std::string> colors;
    bool isJSON { false };
};

// The exit status: 0, or 2 when a colour could not be read (each said on stderr).
int formatColors(const FormatArguments& arguments)
{
    auto read = readColorInputs(arguments.colors, "format");
    if (read.isMissing)
        return usageError;
    JSON all = JSON::array();
    for (auto& [text, color] : read.colors) {
        if (arguments.isJSON) {
            JSON item = valueJSON(text, color);
            item["formatted"] = formatted(color, arguments.space);
            all.push_back(std::move(item));
        } else
            std::cout << formatted(color, arguments.space) << "\n";
    }
    if (arguments.isJSON)
        std::cout << all.dump() << "\n";
    return read.isEveryColorRead ? 0 : usageError;
}

}

void addFormatCommand(Commands& commands)
{
    auto arguments = std::make_shared<FormatArguments>();
    auto* command = commands.add("format",
        "Each colour in one space: hex, rgb, hsl, hwb, lab, lch, oklab, oklch, cmyk, name (the nearest CSS name and "
        "its CIEDE2000 distance), ansi-8bit or ansi-24bit. A colour may also be written as hwb(), lab(), "
        "lch(), oklab() or oklch(), as CSS Color 4 writes them",
        [=] { return formatColors(*arguments); });
    command->add_option("SPACE", arguments->space, "The space to write each colour in")->required()->check(CLI::IsMember(spaces));
    command->add_option("COLOR", arguments->colors, "The colours; without them, colours on standard input, one a line");
    command->add_flag("--json", arguments->isJSON, "Print one JSON array: each colour in every space, and the formatted text");
}
