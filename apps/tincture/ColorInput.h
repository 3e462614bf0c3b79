#pragma once

// The colours a value subcommand works on: its arguments, else standard
// input's lines, one a line.

#include <string>
#include <utility>
#include <vector>

#include <tincture/ColorValue.h>

struct ColorInputs {
    // Each colour with the text it was read from, in order.
    std::vector<std::pair<std::string, tincture::Color>> colors;
    // Every text read as a colour (each that did not was said on stderr).
    bool isEveryColorRead { true };
    // No arguments and a terminal on standard input: said on stderr.
    bool isMissing { false };
};

// Blank lines are skipped; a text that is no colour is said on stderr as
// "tincture: COMMAND: line N: "TEXT" at column C: why" and left out.
ColorInputs readColorInputs(const std::vector<std::string>& texts, const char* command);
