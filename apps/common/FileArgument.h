#pragma once

// A FILE argument as the commands take one: a path, or "-" for standard input
// (reading) or standard output (writing).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <base/Expected.h>

// The file's bytes, up to 64 MiB; else the reason ("cannot be read ...") for
// a missing, unreadable or larger one, which the caller puts after the name.
Expected<std::vector<std::uint8_t>> readFileArgument(const std::string& path);

// Writes the bytes whole: atomically to a path, or to standard output.
bool writeFileArgument(const std::string& path, std::span<const std::uint8_t>);
