#pragma once

#include <cctype>
#include <string>
#include <string_view>

// ASCII lowercase, as names and words are matched on the command line.
inline std::string lowercased(std::string_view text)
{
    std::string lower;
    lower.reserve(text.size());
    for (char c : text)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}
