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

namespace foundation {

using StringsTable = std::map<std::string, std::string, std::less<>>;

struct StringsTableReadResult {
    std::optional<StringsTable> table;
    std::string error; // why there is none: the line and what was wrong
};

StringsTableReadResult readStringsTable(std::span<const std::uint8_t>);

}
