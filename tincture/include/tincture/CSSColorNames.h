#pragma once

// CSS's named colours (CSS Color Module Level 4, section 6.1), lowercase,
// sorted by name for a binary search.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tincture {

struct CSSColorName {
    const char* name;
    std::uint32_t rgb; // 0xRRGGBB
};

std::optional<std::uint32_t> cssNamedColor(std::string_view lowercaseName);
// Every name, sorted ("aliceblue" ... "yellowgreen").
const CSSColorName* cssColorNamesBegin();
const CSSColorName* cssColorNamesEnd();

}
