#pragma once

// The colour subcommands' arguments: CLI11 checks for a COLOR and a NUMBER,
// and the colours of an argument or of standard input's lines.

#include <cmath>
#include <functional>
#include <string>

#include <CLI/CLI.hpp>
#include <uikit/UIColor.h>

// A COLOR argument, so a bad one is a usage error like any other.
CLI::Validator colorValidator();
// A number that is finite (CLI11 takes "nan" and "inf" as doubles, and NaN
// passes any range), optionally within [minimum, maximum].
CLI::Validator finiteNumber(double minimum = -HUGE_VAL, double maximum = HUGE_VAL);

// A colour the validator let through.
Ref<UIColor> colorArgument(const std::string& text);

// The colours to work on: the argument, or else standard input's lines, one
// colour a line. A bad line is said with its number and skipped; the answer
// is the exit status.
int forEachColor(const std::string& argument, const std::function<void(const Ref<UIColor>&)>& body);
