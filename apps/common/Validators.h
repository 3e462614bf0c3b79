#pragma once

// Checks of argument values that both commands share.

#include <CLI/CLI.hpp>

// A whole number that fits 64 bits: CLI11 alone clamps a longer one silently.
CLI::Validator wholeNumber();
// An index of the settings' palette: 0 (the system colour) to the last label.
CLI::Validator paletteIndex();
