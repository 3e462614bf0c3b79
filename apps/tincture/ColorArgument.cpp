#include "ColorArgument.h"

#include <charconv>
#include <cmath>
#include <vector>

#include <tincture/FlatPalette.h>

namespace {

std::optional<std::vector<double>> parseNumbers(std::string_view text)
{
    std::vector<double> numbers;
    while (true) {
        std::size_t comma = text.find(',');
        std::string_view piece = text.substr(0, comma);
        while (!piece.empty() && piece.front() == ' ')
            piece.remove_prefix(1);
        while (!piece.empty() && piece.back() == ' ')
            piece.remove_suffix(1);
        double value;
        auto [end, error] = std::from_chars(piece.data(), piece.data() + piece.size(), value);
        if (piece.empty() || error != std::errc() || end != piece.data() + piece.size() || !std::isfinite(value))
            return std::nullopt;
        numbers.push_back(value);
        if (comma == std::string_view::npos)
            return numbers;
        text.remove_prefix(comma + 1);
    }
}

// Two hexadecimal digits, or none.
std::optional<int> hexByte(std::string_view digits)
{
    int value;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (digits.size() != 2 || error != std::errc() || end != digits.data() + 2 || digits.front() == '-' || digits.front() == '+')
        return std::nullopt;
    return value;
}

}

RefPtr<UIColor> parseColorArgument(const std::string& text, std::string& error)
{
    if (text.starts_with("#")) {
        std::string digits = text.substr(1);
        if (digits.size() == 3)
            digits = { digits[0], digits[0], digits[1], digits[1], digits[2], digits[2] };
        if (digits.size() == 6) {
            auto red = hexByte(std::string_view(digits).substr(0, 2));
            auto green = hexByte(std::string_view(digits).substr(2, 2));
            auto blue = hexByte(std::string_view(digits).substr(4, 2));
            if (red && green && blue)
                return UIColor::colorWithRed(*red / 255.0, *green / 255.0, *blue / 255.0, 1);
        }
        error = "\"" + text + "\" is not a colour: use #RGB or #RRGGBB with hexadecimal digits";
        return nullptr;
    }
    if (text.starts_with("hsb(") && text.ends_with(")")) {
        auto numbers = parseNumbers(std::string_view(text).substr(4, text.size() - 5));
        if (numbers && numbers->size() == 3 && (*numbers)[1] >= 0 && (*numbers)[1] <= 100 && (*numbers)[2] >= 0 && (*numbers)[2] <= 100)
            return UIColor::colorWithHue((*numbers)[0] / 360, (*numbers)[1] / 100, (*numbers)[2] / 100, 1);
        error = "\"" + text + "\" is not a colour: use hsb(H,S,B) with degrees and percents from 0 to 100";
        return nullptr;
    }
    if (text.find(',') != std::string::npos) {
        auto numbers = parseNumbers(text);
        bool isInRange = numbers && (numbers->size() == 3 || numbers->size() == 4);
        for (double component : numbers.value_or(std::vector<double>()))
            isInRange = isInRange && component >= 0 && component <= 1;
        if (isInRange)
            return UIColor::colorWithRed((*numbers)[0], (*numbers)[1], (*numbers)[2], numbers->size() == 4 ? (*numbers)[3] : 1);
        error = "\"" + text + "\" is not a colour: use r,g,b or r,g,b,a with components from 0 to 1";
        return nullptr;
    }
    for (std::size_t position = 0; position < tincture::flatPaletteSize; ++position) {
        if (text == tincture::flatPalette[position].name)
            return tincture::flatPaletteColor(position);
    }
    error = "\"" + text + "\" is not a colour: use #RRGGBB, r,g,b[,a], hsb(H,S,B) or a name from `tincture palette`";
    return nullptr;
}

std::optional<std::string> flatColorName(const UIColor& color)
{
    if (auto position = tincture::flatPalettePositionOf(color))
        return tincture::flatPalette[*position].name;
    return std::nullopt;
}
