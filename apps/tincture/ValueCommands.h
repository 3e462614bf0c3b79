#pragma once

// The subcommands built on the colour library's value types alone: mix,
// saturate, desaturate, rotate, gray, sort-by, colorblind and distinct, and
// the contrast of a colour on a background. Each takes its colours as arguments or on
// standard input, one a line, and prints one a line (hex) or, with --json,
// one JSON array.

#include <cstddef>
#include <string>

// They register through addValueCommands (Commands.h). These two are the
// colour subcommands' forms on value types:
// `contrast FG BG`: the WCAG 2 ratio with its AA and AAA verdicts for text
// and large text, and the APCA Lc. Exit 1 below AA with isCheck.
int runContrastReport(const std::string& foreground, const std::string& background, bool isJSON, bool isCheck);
// `gradient A B --steps N`: N colours from A to B, interpolated in OKLab.
int runGradientSteps(const std::string& first, const std::string& last, std::size_t steps, bool isJSON);
