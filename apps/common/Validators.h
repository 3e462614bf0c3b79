#pragma once

// Checks of argument values that both commands share.

#include <CLI/CLI.hpp>

// A whole number that fits 64 bits: CLI11 alone clamps a longer one silently.
CLI::Validator wholeNumber();
