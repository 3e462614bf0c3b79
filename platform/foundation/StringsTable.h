#pragma once

// A bundle's strings table (InfoPlist.strings, Localizable.strings), in
// either form a bundle may carry: the old-style text form
//     /* comment */ "key" = "value";  // comment
// in UTF-16 with a byte-order mark or in UTF-8, or a property list (binary
// or XML) whose dictionary maps keys to strings.

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>

#include <base/Expected.h>

namespace foundation {

using StringsTable = std::map<std::string, std::string, std::less<>>;

// The table; else Malformed, saying the line and what was wrong.
Expected<StringsTable> readStringsTable(std::span<const std::uint8_t>);

}
