#pragma once

// Device paths taken apart: the components of an absolute path with "." and
// empty ones dropped and ".." applied; none for a relative path, a NUL, or a
// climb above "/".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace device {

std::optional<std::vector<std::string>> devicePathComponents(std::string_view devicePath);

// "a/b/c" for the components, "." for none: a path relative to the root's folder.
std::string relativePath(const std::vector<std::string>& components, std::size_t count);

}
