#pragma once

#include <cstddef>
#include <string>

// Scans numbers out of a string from a moving location, skipping white space
// and line ends first, as NSScanner does.
class NSScanner {
public:
    static NSScanner scannerWithString(std::string);

    // An optional "0x" or "0X" and as many hexadecimal digits as follow.
    // Answers whether a digit was read; a value past 32 bits gives UINT_MAX.
    bool scanHexInt(unsigned* result);
    bool isAtEnd() const;
    std::size_t scanLocation() const { return m_location; }

private:
    explicit NSScanner(std::string text)
        : m_text(std::move(text))
    {
    }
    void skipWhiteSpace();

    std::string m_text;
    std::size_t m_location { 0 };
};
