#include "Output.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include <common/ColorDescription.h>
#include <common/ColorText.h>

void Output::configure(bool isJSON, const std::string& formatName, const std::string& colorChoice)
{
    m_isJSON = isJSON;
    m_format = formatName == "hex" ? LineFormat::Hex
        : formatName == "rgb"      ? LineFormat::RGB
        : formatName == "hsl"      ? LineFormat::HSL
        : formatName == "json"     ? LineFormat::JSON
                                   : LineFormat::None;
    m_swatches = isJSON || m_format != LineFormat::None
        ? SwatchDepth::None
        : swatchDepth(*colorChoiceNamed(colorChoice), ::isatty(STDOUT_FILENO), [](const char* name) { return std::getenv(name); });
}

std::string Output::describe(const UIColor* color) const
{
    return colorDescription(color, m_swatches);
}

JSON Output::colorsJSON(const std::vector<Ref<UIColor>>& colors)
{
    JSON list = JSON::array();
    for (auto& color : colors)
        list.push_back(namedColorJSON(color.ptr()));
    return list;
}

std::string Output::colorLine(const UIColor* color) const
{
    switch (m_format) {
    case LineFormat::Hex:
        return color ? colorText(*color, ColorTextFormat::Hex) : "none";
    case LineFormat::RGB:
        return color ? colorText(*color, ColorTextFormat::RGB) : "none";
    case LineFormat::HSL:
        return color ? colorText(*color, ColorTextFormat::HSL) : "none";
    case LineFormat::JSON:
        return jsonText(namedColorJSON(color));
    case LineFormat::None:
        break;
    }
    return m_isJSON ? jsonText(namedColorJSON(color)) : describe(color);
}

void Output::printColor(const UIColor* color) const
{
    std::cout << colorLine(color) << "\n";
}

void Output::printColors(const std::vector<Ref<UIColor>>& colors) const
{
    if (!m_isJSON || m_format != LineFormat::None) {
        for (auto& color : colors)
            std::cout << colorLine(color.ptr()) << "\n";
        return;
    }
    std::cout << jsonText(colorsJSON(colors)) << "\n";
}

void Output::printQuadruple(const std::array<double, 4>& values, const char* const names[4]) const
{
    if (m_isJSON) {
        JSON json = JSON::object();
        for (int i = 0; i < 4; ++i)
            json[names[i]] = jsonNumber(values[static_cast<std::size_t>(i)]);
        std::cout << jsonText(json) << "\n";
        return;
    }
    for (int i = 0; i < 4; ++i)
        std::cout << (i ? " " : "") << names[i] << "=" << shortestDecimal(values[static_cast<std::size_t>(i)]);
    std::cout << "\n";
}
