#include "JSON.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include <foundation/Unicode.h>

std::string jsonString(std::string_view rawText)
{
    // JSON is UTF-8: a file name or stored string with ill-formed bytes gets U+FFFD for them.
    std::string text = foundation::wellFormedUTF8(std::string(rawText));
    std::string out = "\"";
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else
            out += c;
    }
    return out + "\"";
}

std::string shortestDecimal(double value)
{
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end);
}

std::string jsonNumber(double value)
{
    return std::isfinite(value) ? shortestDecimal(value) : "null";
}
