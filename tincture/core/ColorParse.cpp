// Color::parse: hex, CSS names and CSS Color 4's colour functions, with the
// modern (space and slash) and the legacy (comma) syntax.

#include <tincture/CSSColorNames.h>
#include <tincture/ColorValue.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

namespace tincture {

namespace {

std::string lowercase(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool isHexDigit(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

std::optional<Color> hexColor(std::string_view digits)
{
    if (!std::all_of(digits.begin(), digits.end(), isHexDigit))
        return std::nullopt;
    auto value = [&](std::size_t at, std::size_t count) {
        unsigned v = static_cast<unsigned>(std::strtoul(std::string(digits.substr(at, count)).c_str(), nullptr, 16));
        return count == 1 ? v * 17 : v;
    };
    std::size_t width = digits.size() <= 4 ? 1 : 2;
    if (digits.size() != 3 && digits.size() != 4 && digits.size() != 6 && digits.size() != 8)
        return std::nullopt;
    bool hasAlpha = digits.size() == 4 || digits.size() == 8;
    return Color::fromRGBA8(static_cast<std::uint8_t>(value(0, width)), static_cast<std::uint8_t>(value(width, width)),
        static_cast<std::uint8_t>(value(2 * width, width)), static_cast<std::uint8_t>(hasAlpha ? value(3 * width, width) : 255));
}

// One argument of a colour function: a number, a percentage or an angle
// (degrees), or none.
struct Argument {
    enum class Kind { Number, Percentage, Angle, None } kind;
    double value;
    std::size_t position;
};

struct Arguments {
    std::vector<Argument> values;
    std::optional<Argument> alpha;
    bool hasCommas { false };
};

class Parser {
public:
    explicit Parser(std::string_view text)
        : m_text(text)
    {
    }

    Expected<Color> parse()
    {
        skipSpaces();
        std::size_t start = m_at;
        if (m_at < m_text.size() && m_text[m_at] == '#') {
            auto color = hexColor(trimmedTail(m_at + 1));
            if (!color)
                return Error("expected 3, 4, 6 or 8 hex digits after '#'", m_at + 1);
            return *color;
        }
        std::size_t nameEnd = m_at;
        while (nameEnd < m_text.size() && (std::isalnum(static_cast<unsigned char>(m_text[nameEnd])) || m_text[nameEnd] == '-'))
            ++nameEnd;
        std::string name = lowercase(m_text.substr(m_at, nameEnd - m_at));
        m_at = nameEnd;
        skipSpaces();
        if (m_at >= m_text.size()) {
            if (name.empty())
                return Error("expected a colour: #hex, a CSS name, or rgb(), hsl(), hwb(), lab(), lch(), oklab() or oklch()", start);
            if (name == "transparent")
                return Color::fromRGB(0, 0, 0, 0);
            if (auto rgb = cssNamedColor(name))
                return Color::fromRGBA8(
                    static_cast<std::uint8_t>(*rgb >> 16), static_cast<std::uint8_t>(*rgb >> 8 & 0xff), static_cast<std::uint8_t>(*rgb & 0xff));
            if (auto color = hexColor(name))
                return *color;
            return Error("unknown colour name \"" + name + "\"", start);
        }
        if (m_text[m_at] != '(')
            return Error("expected '(' after \"" + name + "\"", m_at);
        ++m_at;
        auto arguments = readArguments();
        if (!arguments)
            return arguments.error();
        return build(name, *arguments, start);
    }

private:
    std::string_view trimmedTail(std::size_t from) const
    {
        std::string_view tail = m_text.substr(std::min(from, m_text.size()));
        while (!tail.empty() && std::isspace(static_cast<unsigned char>(tail.back())))
            tail.remove_suffix(1);
        return tail;
    }

    void skipSpaces()
    {
        while (m_at < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_at])))
            ++m_at;
    }

    Expected<Argument> readArgument()
    {
        skipSpaces();
        std::size_t start = m_at;
        if (lowercase(m_text.substr(m_at, 4)) == "none") {
            m_at += 4;
            return Argument { Argument::Kind::None, 0, start };
        }
        std::string number(m_text.substr(m_at, 64));
        char* end = nullptr;
        double value = std::strtod(number.c_str(), &end);
        std::size_t length = static_cast<std::size_t>(end - number.c_str());
        // strtod also reads hex, infinity and nan: CSS numbers are plain decimals.
        bool isPlain = length > 0 && std::all_of(number.begin(), number.begin() + static_cast<std::ptrdiff_t>(length), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
        });
        if (!isPlain || !std::isfinite(value))
            return Error("expected a number", start);
        // Far past any colour: a component this large would overflow the conversions.
        if (std::fabs(value) > 1e6)
            return Error("expected a number between -1000000 and 1000000", start);
        m_at += length;
        if (m_at < m_text.size() && m_text[m_at] == '%') {
            ++m_at;
            return Argument { Argument::Kind::Percentage, value, start };
        }
        std::size_t unitEnd = m_at;
        while (unitEnd < m_text.size() && std::isalpha(static_cast<unsigned char>(m_text[unitEnd])))
            ++unitEnd;
        std::string unit = lowercase(m_text.substr(m_at, unitEnd - m_at));
        if (unit.empty())
            return Argument { Argument::Kind::Number, value, start };
        static constexpr std::pair<const char*, double> units[] = { { "deg", 1 }, { "rad", 180 / M_PI }, { "grad", 0.9 }, { "turn", 360 } };
        for (auto& [name, degrees] : units) {
            if (unit == name) {
                m_at = unitEnd;
                return Argument { Argument::Kind::Angle, value * degrees, start };
            }
        }
        return Error("unknown unit \"" + unit + "\" (deg, rad, grad or turn)", m_at);
    }

    Expected<Arguments> readArguments()
    {
        Arguments arguments;
        bool isAlphaNext = false;
        while (true) {
            skipSpaces();
            if (m_at >= m_text.size())
                return Error("expected ')'", m_at);
            if (m_text[m_at] == ')') {
                ++m_at;
                skipSpaces();
                if (m_at < m_text.size())
                    return Error("expected nothing after ')'", m_at);
                if (isAlphaNext)
                    return Error("expected an alpha after '/'", m_at);
                return arguments;
            }
            if (!arguments.values.empty() && !isAlphaNext) {
                if (m_text[m_at] == ',') {
                    if (arguments.values.size() == 1)
                        arguments.hasCommas = true;
                    else if (!arguments.hasCommas)
                        return Error("expected spaces between the arguments, as before (not ',')", m_at);
                    ++m_at;
                    if (arguments.values.size() == 3)
                        isAlphaNext = true;
                } else if (m_text[m_at] == '/') {
                    if (arguments.hasCommas || arguments.values.size() != 3)
                        return Error("expected '/' only after three arguments without commas", m_at);
                    ++m_at;
                    isAlphaNext = true;
                } else if (arguments.hasCommas)
                    return Error("expected ','", m_at);
                if (arguments.alpha)
                    return Error("expected ')'", m_at);
            }
            auto argument = readArgument();
            if (!argument)
                return argument.error();
            if (isAlphaNext) {
                arguments.alpha = *argument;
                isAlphaNext = false;
                skipSpaces();
                if (m_at < m_text.size() && m_text[m_at] != ')')
                    return Error("expected ')' after the alpha", m_at);
                continue;
            }
            if (arguments.values.size() == 3)
                return Error("expected ')' or '/' and an alpha after three arguments", argument->position);
            arguments.values.push_back(*argument);
        }
    }

    // A number, or a percentage of `full`; an angle where a hue goes.
    static Expected<double> numberOf(const Argument& argument, double full, bool isHue, const char* what)
    {
        switch (argument.kind) {
        case Argument::Kind::None:
            return 0.0;
        case Argument::Kind::Number:
            return argument.value;
        case Argument::Kind::Percentage:
            if (isHue)
                return Error(std::string("expected ") + what + " as a number or an angle, not a percentage", argument.position);
            return argument.value / 100 * full;
        case Argument::Kind::Angle:
            if (!isHue)
                return Error(std::string("expected ") + what + ", not an angle", argument.position);
            return argument.value;
        }
        return 0.0;
    }

    static Expected<Color> build(const std::string& name, const Arguments& arguments, std::size_t start)
    {
        struct Form {
            const char* name;
            const char* what[3];
            double full[3]; // what 100% stands for
            int hue; // the argument that is a hue, or -1
        };
        static constexpr Form forms[] = {
            { "rgb", { "red", "green", "blue" }, { 255, 255, 255 }, -1 },
            { "rgba", { "red", "green", "blue" }, { 255, 255, 255 }, -1 },
            { "hsl", { "hue", "saturation", "lightness" }, { 0, 100, 100 }, 0 },
            { "hsla", { "hue", "saturation", "lightness" }, { 0, 100, 100 }, 0 },
            { "hwb", { "hue", "whiteness", "blackness" }, { 0, 100, 100 }, 0 },
            { "lab", { "lightness", "a", "b" }, { 100, 125, 125 }, -1 },
            { "lch", { "lightness", "chroma", "hue" }, { 100, 150, 0 }, 2 },
            { "oklab", { "lightness", "a", "b" }, { 1, 0.4, 0.4 }, -1 },
            { "oklch", { "lightness", "chroma", "hue" }, { 1, 0.4, 0 }, 2 },
        };
        auto form = std::find_if(std::begin(forms), std::end(forms), [&](const Form& candidate) { return name == candidate.name; });
        if (form == std::end(forms))
            return Error("unknown colour function \"" + name + "\" (rgb, hsl, hwb, lab, lch, oklab or oklch)", start);
        if (arguments.values.size() != 3)
            return Error(std::string("expected three arguments in ") + form->name + "()", start);
        if (arguments.hasCommas && name != "rgb" && name != "rgba" && name != "hsl" && name != "hsla")
            return Error(std::string(form->name) + "() takes its arguments without commas", start);
        double values[3];
        for (int i = 0; i < 3; ++i) {
            auto& argument = arguments.values[static_cast<std::size_t>(i)];
            auto value = numberOf(argument, form->full[i], i == form->hue, form->what[i]);
            if (!value)
                return value.error();
            values[i] = *value;
        }
        double alpha = 1;
        if (arguments.alpha) {
            auto value = numberOf(*arguments.alpha, 1, false, "alpha");
            if (!value)
                return value.error();
            alpha = std::clamp(*value, 0.0, 1.0);
        }
        std::string_view base = std::string_view(form->name).substr(0, 3);
        if (base == "rgb")
            return Color::fromRGB(values[0] / 255, values[1] / 255, values[2] / 255, alpha).clipped();
        if (base == "hsl")
            return Color::fromHSL({ values[0], std::clamp(values[1] / 100, 0.0, 1.0), std::clamp(values[2] / 100, 0.0, 1.0) }, alpha);
        if (base == "hwb")
            return Color::fromHWB({ values[0], std::clamp(values[1] / 100, 0.0, 1.0), std::clamp(values[2] / 100, 0.0, 1.0) }, alpha);
        if (name == "lab")
            return Color::fromLab({ std::clamp(values[0], 0.0, 100.0), values[1], values[2] }, alpha);
        if (name == "lch")
            return Color::fromLCH({ std::clamp(values[0], 0.0, 100.0), std::max(values[1], 0.0), values[2] }, alpha);
        if (name == "oklab")
            return Color::fromOKLab({ std::clamp(values[0], 0.0, 1.0), values[1], values[2] }, alpha);
        return Color::fromOKLCH({ std::clamp(values[0], 0.0, 1.0), std::max(values[1], 0.0), values[2] }, alpha);
    }

    std::string_view m_text;
    std::size_t m_at { 0 };
};

}

Expected<Color> Color::parse(std::string_view text)
{
    return Parser(text).parse();
}

}
