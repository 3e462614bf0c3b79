#include "ColorText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include <tincture/CSSColorNames.h>
#include <tincture/FlatPalette.h>

#include "TextCase.h"

namespace {

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::optional<double> number(std::string_view text)
{
    text = trimmed(text);
    double value;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::vector<double>> commaSeparatedNumbers(std::string_view text)
{
    std::vector<double> numbers;
    while (true) {
        std::size_t comma = text.find(',');
        auto value = number(text.substr(0, comma));
        if (!value)
            return std::nullopt;
        numbers.push_back(*value);
        if (comma == std::string_view::npos)
            return numbers;
        text.remove_prefix(comma + 1);
    }
}

// A CSS component: a number, or a percentage when it ends in %.
struct Component {
    double value;
    bool isPercentage;
};

std::optional<Component> component(std::string_view text)
{
    text = trimmed(text);
    bool isPercentage = text.ends_with("%");
    if (isPercentage)
        text.remove_suffix(1);
    auto value = number(text);
    if (!value)
        return std::nullopt;
    return Component { *value, isPercentage };
}

// The arguments of rgb() or hsl(): three with commas (and a fourth, alpha),
// or three with spaces and "/ alpha".
std::optional<std::vector<Component>> functionArguments(std::string_view text)
{
    std::vector<std::string_view> pieces;
    if (text.find(',') != std::string_view::npos) {
        while (true) {
            std::size_t comma = text.find(',');
            pieces.push_back(text.substr(0, comma));
            if (comma == std::string_view::npos)
                break;
            text.remove_prefix(comma + 1);
        }
        if (pieces.size() != 3 && pieces.size() != 4)
            return std::nullopt;
    } else {
        std::size_t slash = text.find('/');
        std::string_view colour = text.substr(0, slash);
        for (std::size_t start = 0; start < colour.size();) {
            std::size_t end = std::min(colour.find_first_of(" \t", start), colour.size());
            if (end > start)
                pieces.push_back(colour.substr(start, end - start));
            start = end + 1;
        }
        if (pieces.size() != 3)
            return std::nullopt;
        if (slash != std::string_view::npos)
            pieces.push_back(text.substr(slash + 1));
    }
    std::vector<Component> components;
    for (auto piece : pieces) {
        auto parsed = component(piece);
        if (!parsed)
            return std::nullopt;
        components.push_back(*parsed);
    }
    return components;
}

std::optional<double> alphaOf(const std::vector<Component>& components)
{
    if (components.size() < 4)
        return 1.0;
    double alpha = components[3].isPercentage ? components[3].value / 100 : components[3].value;
    if (alpha < 0 || alpha > 1)
        return std::nullopt;
    return alpha;
}

RefPtr<UIColor> parseHex(std::string_view digits)
{
    std::string expanded;
    if (digits.size() == 3 || digits.size() == 4)
        for (char digit : digits)
            expanded += { digit, digit };
    else
        expanded = digits;
    if (expanded.size() != 6 && expanded.size() != 8)
        return nullptr;
    double bytes[4] = { 0, 0, 0, 255 };
    for (std::size_t i = 0; i < expanded.size() / 2; ++i) {
        int value;
        auto pair = std::string_view(expanded).substr(i * 2, 2);
        auto [end, error] = std::from_chars(pair.data(), pair.data() + 2, value, 16);
        if (error != std::errc() || end != pair.data() + 2 || pair.front() == '-' || pair.front() == '+')
            return nullptr;
        bytes[i] = value;
    }
    return UIColor::colorWithRed(bytes[0] / 255, bytes[1] / 255, bytes[2] / 255, bytes[3] / 255);
}

RefPtr<UIColor> parseRGBFunction(std::string_view arguments)
{
    auto components = functionArguments(arguments);
    if (!components)
        return nullptr;
    double rgb[3];
    for (int i = 0; i < 3; ++i) {
        auto& part = (*components)[static_cast<std::size_t>(i)];
        rgb[i] = part.isPercentage ? part.value / 100 : part.value / 255;
        if (rgb[i] < 0 || rgb[i] > 1)
            return nullptr;
    }
    auto alpha = alphaOf(*components);
    if (!alpha)
        return nullptr;
    return UIColor::colorWithRed(rgb[0], rgb[1], rgb[2], *alpha);
}

RefPtr<UIColor> parseHSLFunction(std::string_view arguments)
{
    auto components = functionArguments(arguments);
    if (!components || (*components)[0].isPercentage)
        return nullptr;
    double saturation = (*components)[1].value / 100, lightness = (*components)[2].value / 100;
    if (saturation < 0 || saturation > 1 || lightness < 0 || lightness > 1)
        return nullptr;
    auto alpha = alphaOf(*components);
    if (!alpha)
        return nullptr;
    double hue = std::fmod((*components)[0].value, 360) / 360;
    double red, green, blue;
    rgbFromHSL(hue < 0 ? hue + 1 : hue, saturation, lightness, red, green, blue);
    return UIColor::colorWithRed(red, green, blue, *alpha);
}

// "name(" ... ")" of text, or none.
std::optional<std::string_view> functionBody(std::string_view text, std::string_view lowerText, std::initializer_list<std::string_view> names)
{
    for (auto name : names)
        if (lowerText.starts_with(name) && lowerText.size() > name.size() && lowerText[name.size()] == '(' && lowerText.ends_with(")"))
            return text.substr(name.size() + 1, text.size() - name.size() - 2);
    return std::nullopt;
}

std::string trimmedDecimal(double value, int places)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", places, value);
    std::string out = text;
    if (out.find('.') != std::string::npos) {
        while (out.back() == '0')
            out.pop_back();
        if (out.back() == '.')
            out.pop_back();
    }
    return out == "-0" ? "0" : out;
}

}

void rgbFromHSL(double hue, double saturation, double lightness, double& red, double& green, double& blue)
{
    // CSS Color 4, section 7.1 (hslToRgb).
    auto channel = [&](double n) {
        double k = std::fmod(n + hue * 12, 12);
        double a = saturation * std::min(lightness, 1 - lightness);
        return lightness - a * std::max(-1.0, std::min({ k - 3, 9 - k, 1.0 }));
    };
    red = channel(0);
    green = channel(8);
    blue = channel(4);
}

Expected<Ref<UIColor>> parseColorText(std::string_view rawText)
{
    std::string_view text = trimmed(rawText);
    std::string lower = lowercased(text);
    std::string quoted = "\"" + std::string(rawText) + "\" is not a colour: ";
    if (text.starts_with("#")) {
        if (auto color = parseHex(text.substr(1)))
            return color.releaseNonNull();
        return makeError(ErrorKind::Malformed, quoted + "use #RGB, #RGBA, #RRGGBB or #RRGGBBAA with hexadecimal digits");
    }
    if (auto body = functionBody(text, lower, { "rgba", "rgb" })) {
        if (auto color = parseRGBFunction(*body))
            return color.releaseNonNull();
        return makeError(
            ErrorKind::Malformed, quoted + "use rgb(R G B [/ A]) or rgb(R, G, B[, A]), R G B from 0 to 255 or 0% to 100%, A from 0 to 1 or 0% to 100%");
    }
    if (auto body = functionBody(text, lower, { "hsla", "hsl" })) {
        if (auto color = parseHSLFunction(*body))
            return color.releaseNonNull();
        return makeError(ErrorKind::Malformed, quoted + "use hsl(H S% L% [/ A]) or hsl(H, S%, L%[, A]), H in degrees, S and L from 0% to 100%");
    }
    if (auto body = functionBody(text, lower, { "hsb" })) {
        auto numbers = commaSeparatedNumbers(*body);
        if (numbers && numbers->size() == 3 && (*numbers)[1] >= 0 && (*numbers)[1] <= 100 && (*numbers)[2] >= 0 && (*numbers)[2] <= 100)
            return UIColor::colorWithHue((*numbers)[0] / 360, (*numbers)[1] / 100, (*numbers)[2] / 100, 1);
        return makeError(ErrorKind::Malformed, quoted + "use hsb(H,S,B) with degrees and percents from 0 to 100");
    }
    if (text.find(',') != std::string_view::npos) {
        auto numbers = commaSeparatedNumbers(text);
        bool isInRange = numbers && (numbers->size() == 3 || numbers->size() == 4);
        for (double value : numbers.value_or(std::vector<double>()))
            isInRange = isInRange && value >= 0 && value <= 1;
        if (isInRange)
            return UIColor::colorWithRed((*numbers)[0], (*numbers)[1], (*numbers)[2], numbers->size() == 4 ? (*numbers)[3] : 1);
        return makeError(ErrorKind::Malformed, quoted + "use r,g,b or r,g,b,a with components from 0 to 1");
    }
    for (std::size_t position = 0; position < tincture::flatPaletteSize; ++position) {
        if (text == tincture::flatPalette[position].name)
            return Ref<UIColor>(tincture::flatPaletteColor(position));
    }
    if (lower == "transparent")
        return UIColor::colorWithRed(0, 0, 0, 0);
    if (auto rgb = tincture::cssNamedColor(lower))
        return UIColor::colorWithRed((*rgb >> 16) / 255.0, (*rgb >> 8 & 0xFF) / 255.0, (*rgb & 0xFF) / 255.0, 1);
    return makeError(ErrorKind::Malformed, quoted + "use #RRGGBB, rgb(), hsl(), r,g,b[,a], hsb(H,S,B), a CSS name or a name from `tincture palette`");
}

std::string colorText(const UIColor& color, ColorTextFormat format)
{
    CGFloat red = 0, green = 0, blue = 0, alpha = 1;
    color.getRed(&red, &green, &blue, &alpha);
    auto byte = [](double component) { return static_cast<int>(std::lround(std::clamp(component, 0.0, 1.0) * 255)); };
    bool isOpaque = byte(alpha) == 255;
    std::string alphaPart = isOpaque ? "" : " / " + trimmedDecimal(std::clamp(alpha, 0.0, 1.0), 3);
    char text[64];
    switch (format) {
    case ColorTextFormat::Hex:
        if (isOpaque)
            std::snprintf(text, sizeof text, "#%02X%02X%02X", byte(red), byte(green), byte(blue));
        else
            std::snprintf(text, sizeof text, "#%02X%02X%02X%02X", byte(red), byte(green), byte(blue), byte(alpha));
        return text;
    case ColorTextFormat::RGB:
        std::snprintf(text, sizeof text, "rgb(%d %d %d", byte(red), byte(green), byte(blue));
        return text + alphaPart + ")";
    case ColorTextFormat::HSL: {
        double r = std::clamp(red, 0.0, 1.0), g = std::clamp(green, 0.0, 1.0), b = std::clamp(blue, 0.0, 1.0);
        double maximum = std::max({ r, g, b }), minimum = std::min({ r, g, b });
        double lightness = (maximum + minimum) / 2, chroma = maximum - minimum;
        double hue = 0, saturation = 0;
        if (chroma > 0) {
            saturation = lightness == 0 || lightness == 1 ? 0 : chroma / (1 - std::fabs(2 * lightness - 1));
            if (maximum == r)
                hue = std::fmod((g - b) / chroma + 6, 6);
            else if (maximum == g)
                hue = (b - r) / chroma + 2;
            else
                hue = (r - g) / chroma + 4;
            hue *= 60;
        }
        return "hsl(" + trimmedDecimal(hue, 2) + " " + trimmedDecimal(saturation * 100, 2) + "% " + trimmedDecimal(lightness * 100, 2) + "%" + alphaPart + ")";
    }
    }
    return {};
}

std::optional<std::string> flatColorName(const UIColor& color)
{
    if (auto position = tincture::flatPalettePositionOf(color))
        return tincture::flatPalette[*position].name;
    return std::nullopt;
}
