#pragma once

// UTF-8 and UTF-16 conversion for the binary property-list format. Invalid
// input becomes U+FFFD rather than failing: a string is never lost whole.

#include <cstdint>
#include <string>
#include <string_view>

namespace foundation {

std::u16string utf16FromUTF8(std::string_view);
std::string utf8FromUTF16(std::u16string_view);
bool isASCII(std::string_view);
// The text with every ill-formed UTF-8 sequence replaced by U+FFFD.
std::string wellFormedUTF8(std::string);

}
