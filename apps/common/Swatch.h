#pragma once

// The coloured block before a colour in a terminal: 24-bit where the terminal
// says it has it (COLORTERM), the nearest of xterm's 256 colours elsewhere,
// none for a pipe, NO_COLOR or TERM=dumb.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

enum class ColorChoice { Auto, Always, Never };
enum class SwatchDepth { None, Colors256, TrueColor };

std::optional<ColorChoice> colorChoiceNamed(std::string_view);

// getenv as a parameter, so tests need not change the process's environment.
using EnvironmentLookup = std::function<const char*(const char* name)>;
SwatchDepth swatchDepth(ColorChoice, bool isTerminal, const EnvironmentLookup&);

// The index in xterm's 256-colour palette (its 6x6x6 cube and grey ramp,
// 16...255) nearest to the 8-bit colour.
int nearestXterm256Index(int red, int green, int blue);
// The xterm palette's colour at an index from 16 to 255.
void xterm256Color(int index, int& red, int& green, int& blue);

std::string swatch(int red, int green, int blue, SwatchDepth);
