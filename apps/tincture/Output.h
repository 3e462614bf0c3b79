#pragma once

// How the colour subcommands print: a line each, described with a swatch
// on a terminal, one way of writing for pipelines (--format), or JSON.

#include <array>
#include <string>
#include <vector>

#include <common/JSON.h>
#include <common/Swatch.h>
#include <uikit/UIColor.h>

class Output {
public:
    // --format: one colour a line, for pipelines.
    enum class LineFormat { None, Hex, RGB, HSL, JSON };

    // From the command line's --json, --format NAME and --color CHOICE.
    void configure(bool isJSON, const std::string& formatName, const std::string& colorChoice);

    bool isJSON() const { return m_isJSON; }
    SwatchDepth swatches() const { return m_swatches; }

    std::string describe(const UIColor*) const;
    void printColor(const UIColor*) const;
    void printColors(const std::vector<Ref<UIColor>>&) const;
    // Four named numbers: "L=50 a=2 b=-3 alpha=1", or a JSON object.
    void printQuadruple(const std::array<double, 4>& values, const char* const names[4]) const;

    static JSON colorsJSON(const std::vector<Ref<UIColor>>&);

private:
    std::string colorLine(const UIColor*) const;

    bool m_isJSON { false };
    LineFormat m_format { LineFormat::None };
    SwatchDepth m_swatches { SwatchDepth::None };
};
