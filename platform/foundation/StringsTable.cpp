#include "StringsTable.h"

#include <cstring>
#include <string_view>

#include "PropertyListSerialization.h"
#include "Unicode.h"

namespace foundation {

namespace {

// The text as UTF-8: UTF-16 by its byte-order mark, else UTF-8 (a mark
// dropped). Ill-formed sequences become U+FFFD.
std::string textOf(std::span<const std::uint8_t> bytes)
{
    bool isLittleEndian = bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
    bool isBigEndian = bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF;
    if (isLittleEndian || isBigEndian) {
        std::u16string units;
        units.reserve(bytes.size() / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            units.push_back(static_cast<char16_t>(isLittleEndian ? bytes[i] | bytes[i + 1] << 8 : bytes[i] << 8 | bytes[i + 1]));
        return utf8FromUTF16(units);
    }
    std::size_t start = bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
    return wellFormedUTF8(std::string(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.end()));
}

// The old-style text form, as Foundation's parser for it reads strings files.
class TextReader {
public:
    explicit TextReader(std::string_view text)
        : m_text(text)
    {
    }

    Expected<StringsTable> read()
    {
        StringsTable table;
        skipSpaceAndComments();
        // A table may be written as a dictionary, in braces.
        bool isBraced = consume('{');
        while (true) {
            skipSpaceAndComments();
            if (m_error.empty() && (atEnd() || (isBraced && peek() == '}')))
                break;
            auto key = readString();
            if (!key)
                return fail("a key (a quoted string or a word)");
            skipSpaceAndComments();
            std::string value = *key; // "key"; alone stands for itself
            if (consume('=')) {
                skipSpaceAndComments();
                auto read = readString();
                if (!read)
                    return fail("a value after '='");
                value = std::move(*read);
                skipSpaceAndComments();
            }
            if (!consume(';'))
                return fail("';' after the entry");
            table[std::move(*key)] = std::move(value);
        }
        if (!m_error.empty())
            return makeError(ErrorKind::Malformed, m_error);
        if (isBraced) {
            consume('}');
            skipSpaceAndComments();
            consume(';');
            skipSpaceAndComments();
            if (!atEnd())
                return fail("the end after '}'");
        }
        return table;
    }

private:
    bool atEnd() const { return m_position >= m_text.size(); }
    char peek() const { return m_text[m_position]; }
    bool consume(char c)
    {
        if (atEnd() || peek() != c)
            return false;
        ++m_position;
        return true;
    }

    Unexpected<Error> fail(const char* expected)
    {
        if (m_error.empty())
            m_error = "line " + std::to_string(lineNumber()) + ": expected " + expected;
        return makeError(ErrorKind::Malformed, m_error);
    }

    std::size_t lineNumber() const
    {
        std::size_t line = 1;
        for (std::size_t i = 0; i < m_position && i < m_text.size(); ++i)
            line += m_text[i] == '\n';
        return line;
    }

    void skipSpaceAndComments()
    {
        while (!atEnd()) {
            char c = peek();
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v')
                ++m_position;
            else if (m_text.substr(m_position, 2) == "//") {
                std::size_t end = m_text.find('\n', m_position);
                m_position = end == std::string_view::npos ? m_text.size() : end + 1;
            } else if (m_text.substr(m_position, 2) == "/*") {
                std::size_t end = m_text.find("*/", m_position + 2);
                if (end == std::string_view::npos) {
                    m_error = "line " + std::to_string(lineNumber()) + ": a comment that does not end";
                    m_position = m_text.size();
                    return;
                }
                m_position = end + 2;
            } else
                return;
        }
    }

    static bool isWordCharacter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || std::strchr("_$+/:.-", c); }

    std::optional<std::string> readString()
    {
        if (atEnd())
            return std::nullopt;
        if (peek() != '"') {
            std::size_t start = m_position;
            while (!atEnd() && isWordCharacter(peek()))
                ++m_position;
            if (m_position == start)
                return std::nullopt;
            return std::string(m_text.substr(start, m_position - start));
        }
        ++m_position;
        std::string text;
        while (!atEnd()) {
            char c = m_text[m_position++];
            if (c == '"')
                return wellFormedUTF8(std::move(text)); // an octal escape may have made a stray byte
            if (c != '\\') {
                text += c;
                continue;
            }
            if (atEnd())
                break;
            char escaped = m_text[m_position++];
            switch (escaped) {
            case 'n':
                text += '\n';
                break;
            case 't':
                text += '\t';
                break;
            case 'r':
                text += '\r';
                break;
            case 'a':
                text += '\a';
                break;
            case 'b':
                text += '\b';
                break;
            case 'f':
                text += '\f';
                break;
            case 'v':
                text += '\v';
                break;
            case 'U':
            case 'u': {
                // Four hexadecimal digits of a UTF-16 unit; a surrogate pair in two escapes.
                auto unit = readHex(4);
                if (!unit)
                    return std::nullopt;
                std::u16string units(1, static_cast<char16_t>(*unit));
                if (*unit >= 0xD800 && *unit <= 0xDBFF && (m_text.substr(m_position, 2) == "\\U" || m_text.substr(m_position, 2) == "\\u")) {
                    std::size_t save = m_position;
                    m_position += 2;
                    auto low = readHex(4);
                    if (low && *low >= 0xDC00 && *low <= 0xDFFF)
                        units += static_cast<char16_t>(*low);
                    else
                        m_position = save;
                }
                text += utf8FromUTF16(units); // a lone surrogate becomes U+FFFD
                break;
            }
            default:
                if (escaped >= '0' && escaped <= '7') {
                    // Up to three octal digits: a byte.
                    unsigned value = static_cast<unsigned>(escaped - '0');
                    for (int digits = 1; digits < 3 && !atEnd() && peek() >= '0' && peek() <= '7'; ++digits)
                        value = value * 8 + static_cast<unsigned>(m_text[m_position++] - '0');
                    text += static_cast<char>(value & 0xFF);
                } else
                    text += escaped; // \" \\ \' and any other character as itself
            }
        }
        return std::nullopt; // the string does not end
    }

    std::optional<char32_t> readHex(int digits)
    {
        char32_t value = 0;
        for (int i = 0; i < digits; ++i) {
            if (atEnd())
                return std::nullopt;
            char c = m_text[m_position++];
            int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + static_cast<char32_t>(digit);
        }
        return value;
    }

    std::string_view m_text;
    std::size_t m_position { 0 };
    std::string m_error;
};

bool isPropertyList(std::span<const std::uint8_t> bytes)
{
    auto startsWith = [&](std::string_view prefix) { return bytes.size() >= prefix.size() && std::memcmp(bytes.data(), prefix.data(), prefix.size()) == 0; };
    return startsWith("bplist00") || startsWith("<?xml") || startsWith("<plist") || startsWith("\xEF\xBB\xBF<?xml");
}

}

Expected<StringsTable> readStringsTable(std::span<const std::uint8_t> bytes)
{
    if (isPropertyList(bytes)) {
        auto read = PropertyListSerialization::read(bytes);
        if (!read)
            return makeUnexpected(read.error());
        auto* dictionary = read->value.asDictionary();
        if (!dictionary)
            return makeError(ErrorKind::Malformed, "a property list that is not a dictionary");
        StringsTable table;
        for (auto& [key, value] : *dictionary) {
            if (auto* text = value.asString())
                table.emplace(key, *text);
        }
        return table;
    }
    std::string text = textOf(bytes);
    // A table with a NUL in its text is not a strings file (and NUL would cut a C string).
    if (text.find('\0') != std::string::npos)
        return makeError(ErrorKind::Malformed, "a NUL character in the text");
    return TextReader(text).read();
}

}
