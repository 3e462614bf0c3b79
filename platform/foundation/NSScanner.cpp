#include "NSScanner.h"

#include <climits>

NSScanner NSScanner::scannerWithString(std::string text)
{
    return NSScanner(std::move(text));
}

void NSScanner::skipWhiteSpace()
{
    while (m_location < m_text.size()) {
        char c = m_text[m_location];
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f')
            break;
        ++m_location;
    }
}

bool NSScanner::isAtEnd() const
{
    std::size_t location = m_location;
    while (location < m_text.size() && (m_text[location] == ' ' || m_text[location] == '\t' || m_text[location] == '\n' || m_text[location] == '\r'))
        ++location;
    return location >= m_text.size();
}

bool NSScanner::scanHexInt(unsigned* result)
{
    skipWhiteSpace();
    std::size_t location = m_location;
    auto digitAt = [&](std::size_t index) -> int {
        if (index >= m_text.size())
            return -1;
        char c = m_text[index];
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    if (location + 1 < m_text.size() && m_text[location] == '0' && (m_text[location + 1] == 'x' || m_text[location + 1] == 'X') && digitAt(location + 2) >= 0)
        location += 2;
    if (digitAt(location) < 0)
        return false;
    unsigned long long value = 0;
    bool isOverflowed = false;
    for (int digit; (digit = digitAt(location)) >= 0; ++location) {
        value = value * 16 + static_cast<unsigned>(digit);
        if (value > UINT_MAX) {
            isOverflowed = true;
            value = UINT_MAX;
        }
    }
    m_location = location;
    if (result)
        *result = isOverflowed ? UINT_MAX : static_cast<unsigned>(value);
    return true;
}
