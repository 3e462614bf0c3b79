#include "ColorInput.h"

#include <unistd.h>

#include <iostream>

ColorInputs readColorInputs(const std::vector<std::string>& texts, const char* command)
{
    ColorInputs read;
    std::vector<std::string> inputs = texts;
    bool isFromInput = inputs.empty();
    if (isFromInput) {
        if (::isatty(STDIN_FILENO)) {
            std::cerr << "tincture: " << command << ": COLOR is required (or colours on standard input, one a line)\n";
            read.isMissing = true;
            read.isEveryColorRead = false;
            return read;
        }
        for (std::string line; std::getline(std::cin, line);) {
            if (line.find_first_not_of(" \t\r") != std::string::npos)
                inputs.push_back(line);
        }
    }
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        auto color = tincture::Color::parse(inputs[i]);
        if (!color) {
            std::string where = color.error().position() == tincture::Error::noPosition ? "" : " at column " + std::to_string(color.error().position() + 1);
            std::cerr << "tincture: " << command << ": " << (isFromInput ? "line " + std::to_string(i + 1) + ": " : "") << "\"" << inputs[i] << "\"" << where
                      << ": " << color.error().message() << "\n";
            read.isEveryColorRead = false;
            continue;
        }
        read.colors.emplace_back(inputs[i], *color);
    }
    return read;
}
