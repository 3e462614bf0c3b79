#pragma once

// Host file access under the platform's file operations.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace device {

// Files larger than this are not read: no settings file comes near it, and a
// reader must not be made to exhaust memory.
constexpr std::uintmax_t maximumReadSize = 64 * 1024 * 1024;

// The contents of a regular file, or none when it is missing, unreadable, not
// a regular file or larger than maximumReadSize.
std::optional<std::vector<std::uint8_t>> readFile(const std::filesystem::path&);

enum class WriteMode { Direct, Atomic };

// Atomic: a temporary file in the same folder, written, flushed to disk and
// renamed over the target, so a reader sees the old file or the new one and a
// failure at any step leaves the old file whole.
bool writeFile(const std::filesystem::path&, std::span<const std::uint8_t>, WriteMode);

bool removeFile(const std::filesystem::path&);

// The names (without the extension) of the entries of a folder that end in the
// extension, sorted; none for a folder that is missing or unreadable.
std::vector<std::string> namesWithExtension(const std::filesystem::path& folder, const std::string& extension);

}
