#pragma once

// A FILE argument as the commands take one: a path, or "-" for standard input
// (reading) or standard output (writing).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The file's bytes, up to 64 MiB; none, with the reason ("cannot be read ..."),
// for a missing, unreadable or larger one.
std::optional<std::vector<std::uint8_t>> readFileArgument(const std::string& path, std::string& reason);

// Writes the bytes whole: atomically to a path, or to standard output.
bool writeFileArgument(const std::string& path, std::span<const std::uint8_t>);
