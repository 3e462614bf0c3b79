#include "ColorArguments.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include <common/ColorText.h>
#include <common/JSON.h>

#include "Commands.h"

CLI::Validator colorValidator()
{
    return CLI::Validator(
        [](std::string& text) {
            auto color = parseColorText(text);
            return color ? std::string() : color.error().message;
        },
        "COLOR");
}

CLI::Validator finiteNumber(double minimum, double maximum)
{
    return CLI::Validator(
        [=](std::string& text) -> std::string {
            char* end = nullptr;
            double value = std::strtod(text.c_str(), &end);
            if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value))
                return "\"" + text + "\" is not a finite number";
            if (value < minimum || value > maximum)
                return "\"" + text + "\" is not in [" + shortestDecimal(minimum) + ", " + shortestDecimal(maximum) + "]";
            return {};
        },
        "NUMBER");
}

Ref<UIColor> colorArgument(const std::string& text)
{
    return *parseColorText(text);
}

int forEachColor(const std::string& argument, const std::function<void(const Ref<UIColor>&)>& body)
{
    if (!argument.empty()) {
        body(colorArgument(argument));
        return 0;
    }
    if (::isatty(STDIN_FILENO)) {
        std::cerr << "tincture: COLOR is required (or colours on standard input, one a line)\n";
        return usageError;
    }
    int status = 0;
    std::string line;
    for (std::size_t number = 1; std::getline(std::cin, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        auto color = parseColorText(line);
        if (!color) {
            std::cerr << "tincture: line " << number << ": " << color.error().message << "\n";
            status = usageError;
            continue;
        }
        body(*color);
        std::cout << std::flush;
    }
    return status;
}
