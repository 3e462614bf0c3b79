// Apple's XML property-list format, parsed and written with pugixml.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include <pugixml.hpp>

#include "PropertyListSerialization.h"
#include "Unicode.h"

namespace foundation {

namespace {

constexpr double unixTimeOfReferenceDate = 978307200.0;

std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day)
{
    // Hinnant, "chrono-Compatible Low-Level Date Algorithms".
    year -= month <= 2;
    std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    auto yearOfEra = static_cast<unsigned>(year - era * 400);
    unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

void civilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day)
{
    days += 719468;
    std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    year = static_cast<std::int64_t>(yearOfEra) + era * 400;
    unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    year += month <= 2;
}

std::string_view trimmed(std::string_view text)
{
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::optional<PropertyListValue> parseInteger(std::string_view text)
{
    text = trimmed(text);
    bool isNegative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        isNegative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    std::uint64_t magnitude = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    if (!isNegative)
        return PropertyListValue::unsignedInteger(magnitude);
    constexpr std::uint64_t smallest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1;
    if (magnitude > smallest)
        return std::nullopt;
    return PropertyListValue::integer(magnitude == smallest ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(magnitude));
}

std::optional<PropertyListValue> parseReal(std::string_view text)
{
    text = trimmed(text);
    if (equalsIgnoringCase(text, "nan"))
        return PropertyListValue::real(std::numeric_limits<double>::quiet_NaN());
    if (equalsIgnoringCase(text, "inf") || equalsIgnoringCase(text, "+inf") || equalsIgnoringCase(text, "infinity") || equalsIgnoringCase(text, "+infinity"))
        return PropertyListValue::real(std::numeric_limits<double>::infinity());
    if (equalsIgnoringCase(text, "-inf") || equalsIgnoringCase(text, "-infinity"))
        return PropertyListValue::real(-std::numeric_limits<double>::infinity());
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return PropertyListValue::real(value);
}

struct Reader {
    std::string error;
    PropertyListBudget budget;

    bool charge(const pugi::xml_node& node, bool isWithinBudget) { return isWithinBudget || fail(node, budget.exhaustion()); }

    bool fail(const pugi::xml_node& node, std::string message)
    {
        if (error.empty())
            error = "<" + std::string(node.name()) + ">: " + std::move(message);
        return false;
    }

    // The character data of a leaf element, as well-formed UTF-8 (as the binary
    // format can only hold); another element inside it is an error.
    std::optional<std::string> text(const pugi::xml_node& node)
    {
        std::string result;
        for (auto child : node.children()) {
            switch (child.type()) {
            case pugi::node_pcdata:
            case pugi::node_cdata:
                result += child.value();
                break;
            case pugi::node_element:
                fail(node, "unexpected element <" + std::string(child.name()) + ">");
                return std::nullopt;
            default:
                break;
            }
        }
        return wellFormedUTF8(std::move(result));
    }

    // Elements among a container's children; text other than white space is an error.
    bool elements(const pugi::xml_node& node, std::vector<pugi::xml_node>& out)
    {
        for (auto child : node.children()) {
            if (child.type() == pugi::node_element)
                out.push_back(child);
            else if ((child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) && !trimmed(child.value()).empty())
                return fail(node, "unexpected text");
        }
        return true;
    }

    std::optional<PropertyListValue> value(const pugi::xml_node& node, unsigned depth)
    {
        if (depth > PropertyListSerialization::maximumDepth) {
            fail(node, "nested too deeply");
            return std::nullopt;
        }
        if (!charge(node, budget.chargeObject()))
            return std::nullopt;
        std::string_view name = node.name();
        if (name == "dict")
            return dictionary(node, depth);
        if (name == "array") {
            std::vector<pugi::xml_node> children;
            if (!elements(node, children) || !charge(node, budget.chargeContainer(children.size(), false)))
                return std::nullopt;
            PropertyListValue::Array array;
            array.reserve(children.size());
            for (auto& child : children) {
                auto element = value(child, depth + 1);
                if (!element)
                    return std::nullopt;
                array.push_back(std::move(*element));
            }
            return PropertyListValue::array(std::move(array));
        }
        if (name == "true" || name == "false")
            return PropertyListValue::boolean(name == "true");
        auto content = text(node);
        if (!content)
            return std::nullopt;
        std::optional<PropertyListValue> result;
        if (name == "string") {
            if (!charge(node, budget.chargeString(*content)))
                return std::nullopt;
            return PropertyListValue::string(std::move(*content));
        }
        if (name == "integer")
            result = parseInteger(*content);
        else if (name == "real")
            result = parseReal(*content);
        else if (name == "date") {
            if (auto seconds = referenceDateFromISO8601(trimmed(*content)))
                result = PropertyListValue::date(*seconds);
        } else if (name == "data") {
            if (auto bytes = base64Decode(*content)) {
                if (!charge(node, budget.chargeBytes(bytes->size())))
                    return std::nullopt;
                result = PropertyListValue::data(std::move(*bytes));
            }
        } else {
            fail(node, "not a property-list element");
            return std::nullopt;
        }
        if (!result)
            fail(node, "malformed value \"" + std::string(trimmed(*content).substr(0, 40)) + "\"");
        return result;
    }

    std::optional<PropertyListValue> dictionary(const pugi::xml_node& node, unsigned depth)
    {
        std::vector<pugi::xml_node> children;
        if (!elements(node, children) || !charge(node, budget.chargeContainer(children.size() / 2, true)))
            return std::nullopt;
        PropertyListValue::Dictionary entries;
        for (std::size_t i = 0; i < children.size(); i += 2) {
            if (std::string_view(children[i].name()) != "key") {
                fail(children[i], "expected a <key> in a <dict>");
                return std::nullopt;
            }
            if (i + 1 == children.size()) {
                fail(children[i], "key without a value");
                return std::nullopt;
            }
            auto key = text(children[i]);
            if (!key || !charge(children[i], budget.chargeObject() && budget.chargeString(*key)))
                return std::nullopt;
            auto entry = value(children[i + 1], depth + 1);
            if (!entry)
                return std::nullopt;
            entries.insert_or_assign(std::move(*key), std::move(*entry));
        }
        // CoreFoundation's spelling of a keyed-archive reference in XML.
        if (entries.size() == 1 && entries.begin()->first == "CF$UID") {
            auto reference = entries.begin()->second.asInteger();
            if (reference && *reference >= 0 && *reference <= 0xFFFFFFFF)
                return PropertyListValue::uid(static_cast<std::uint64_t>(*reference));
        }
        return PropertyListValue::dictionary(std::move(entries));
    }
};

std::string escaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (byte < 0x20 && c != '\t' && c != '\n') {
            // A raw carriage return would be folded into the line end on reading.
            char reference[8];
            std::snprintf(reference, sizeof reference, "&#%u;", byte);
            out += reference;
        } else
            out += c;
    }
    return out;
}

std::string formatReal(double value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "+infinity" : "-infinity";
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end);
}

bool appendValue(pugi::xml_node parent, const PropertyListValue& value, unsigned depth)
{
    if (depth > PropertyListSerialization::maximumDepth)
        return false;
    auto leaf = [&](const char* name, const std::string& text) {
        auto element = parent.append_child(name);
        element.append_child(pugi::node_pcdata).set_value(text.c_str());
    };
    switch (value.type()) {
    case PropertyListValue::Type::Boolean:
        parent.append_child(*value.asBoolean() ? "true" : "false");
        return true;
    case PropertyListValue::Type::Integer: {
        std::int64_t integer = *value.asInteger();
        leaf("integer", value.isUnsignedInteger() ? std::to_string(static_cast<std::uint64_t>(integer)) : std::to_string(integer));
        return true;
    }
    case PropertyListValue::Type::Real:
        leaf("real", formatReal(*value.asReal()));
        return true;
    case PropertyListValue::Type::String:
        leaf("string", escaped(*value.asString()));
        return true;
    case PropertyListValue::Type::Data:
        leaf("data", base64Encode(*value.asData()));
        return true;
    case PropertyListValue::Type::Date:
        leaf("date", iso8601FromReferenceDate(*value.asDate()));
        return true;
    case PropertyListValue::Type::UID: {
        auto element = parent.append_child("dict");
        element.append_child("key").append_child(pugi::node_pcdata).set_value("CF$UID");
        element.append_child("integer").append_child(pugi::node_pcdata).set_value(std::to_string(*value.asUID()).c_str());
        return true;
    }
    case PropertyListValue::Type::Array: {
        auto element = parent.append_child("array");
        for (auto& item : *value.asArray()) {
            if (!appendValue(element, item, depth + 1))
                return false;
        }
        return true;
    }
    case PropertyListValue::Type::Dictionary: {
        auto element = parent.append_child("dict");
        for (auto& [key, item] : *value.asDictionary()) {
            element.append_child("key").append_child(pugi::node_pcdata).set_value(escaped(key).c_str());
            if (!appendValue(element, item, depth + 1))
                return false;
        }
        return true;
    }
    }
    return false;
}

struct DataWriter : pugi::xml_writer {
    NSData bytes;
    void write(const void* data, size_t size) override
    {
        auto* begin = static_cast<const std::uint8_t*>(data);
        bytes.insert(bytes.end(), begin, begin + size);
    }
};

constexpr char base64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}

std::string iso8601FromReferenceDate(double seconds)
{
    if (!std::isfinite(seconds))
        seconds = 0;
    // Whole seconds, as the format carries; keep years within what the text can say.
    double unixSeconds = std::clamp(std::floor(seconds + unixTimeOfReferenceDate), -62135596800.0, 253402300799.0);
    auto whole = static_cast<std::int64_t>(unixSeconds);
    std::int64_t days = whole >= 0 ? whole / 86400 : (whole - 86399) / 86400;
    std::int64_t secondOfDay = whole - days * 86400;
    std::int64_t year;
    unsigned month, day;
    civilFromDays(days, year, month, day);
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02uT%02lld:%02lld:%02lldZ", static_cast<long long>(year), month, day,
        static_cast<long long>(secondOfDay / 3600), static_cast<long long>(secondOfDay / 60 % 60), static_cast<long long>(secondOfDay % 60));
    return buffer;
}

std::optional<double> referenceDateFromISO8601(std::string_view text)
{
    unsigned year, month, day, hour, minute, second;
    int consumed = 0;
    std::string copy(text);
    if (std::sscanf(copy.c_str(), "%4u-%2u-%2uT%2u:%2u:%2u%n", &year, &month, &day, &hour, &minute, &second, &consumed) != 6)
        return std::nullopt;
    std::string_view rest = std::string_view(copy).substr(static_cast<std::size_t>(consumed));
    double fraction = 0;
    if (!rest.empty() && rest.front() == '.') {
        std::size_t digits = 1;
        while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9')
            ++digits;
        std::from_chars(rest.data(), rest.data() + digits, fraction);
        rest.remove_prefix(digits);
    }
    if (rest != "Z" || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60)
        return std::nullopt;
    double unixSeconds = static_cast<double>(daysFromCivil(year, month, day)) * 86400.0 + hour * 3600.0 + minute * 60.0 + second + fraction;
    return unixSeconds - unixTimeOfReferenceDate;
}

std::string base64Encode(std::span<const std::uint8_t> bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t group = static_cast<std::uint32_t>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            group |= static_cast<std::uint32_t>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            group |= bytes[i + 2];
        out += base64Alphabet[(group >> 18) & 63];
        out += base64Alphabet[(group >> 12) & 63];
        out += i + 1 < bytes.size() ? base64Alphabet[(group >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? base64Alphabet[group & 63] : '=';
    }
    return out;
}

std::optional<NSData> base64Decode(std::string_view text)
{
    NSData out;
    std::uint32_t group = 0;
    unsigned count = 0;
    unsigned padding = 0;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        const char* position = std::strchr(base64Alphabet, c);
        if (!position || c == '\0' || padding)
            return std::nullopt;
        group = (group << 6) | static_cast<std::uint32_t>(position - base64Alphabet);
        if (++count == 4) {
            out.push_back(static_cast<std::uint8_t>(group >> 16));
            out.push_back(static_cast<std::uint8_t>(group >> 8));
            out.push_back(static_cast<std::uint8_t>(group));
            group = 0;
            count = 0;
        }
    }
    if (count == 1 || padding > 2)
        return std::nullopt;
    if (count == 2)
        out.push_back(static_cast<std::uint8_t>(group >> 4));
    else if (count == 3) {
        out.push_back(static_cast<std::uint8_t>(group >> 10));
        out.push_back(static_cast<std::uint8_t>(group >> 2));
    }
    return out;
}

PropertyListSerialization::ReadResult readXMLPropertyList(std::span<const std::uint8_t> data)
{
    PropertyListSerialization::ReadResult result;
    result.format = PropertyListFormat::XML;
    // Every element but <plist> is a value or a key, each an object of the
    // budget: a file with more start tags than that is refused before its
    // document is built, which would cost far more than the file.
    std::size_t startTags = 0;
    for (std::size_t i = 0; i + 1 < data.size(); ++i)
        startTags += data[i] == '<' && ((data[i + 1] | 0x20) >= 'a' && (data[i + 1] | 0x20) <= 'z');
    if (startTags > PropertyListBudget::maximumObjectCount + 1) {
        result.error = "too many objects";
        return result;
    }
    pugi::xml_document document;
    // White space inside <string> is content; keep it.
    auto parsed = document.load_buffer(data.data(), data.size(), pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_auto);
    if (!parsed) {
        result.error = std::string("not XML: ") + parsed.description() + " at byte " + std::to_string(parsed.offset);
        return result;
    }
    pugi::xml_node root = document.document_element();
    if (!root) {
        result.error = "no root element";
        return result;
    }
    Reader reader;
    if (std::string_view(root.name()) == "plist") {
        std::vector<pugi::xml_node> children;
        if (!reader.elements(root, children) || children.size() != 1) {
            result.error = reader.error.empty() ? "<plist> must hold exactly one value" : reader.error;
            return result;
        }
        root = children.front();
    }
    result.value = reader.value(root, 1);
    result.error = std::move(reader.error);
    return result;
}

std::optional<NSData> writeXMLPropertyList(const PropertyListValue& value)
{
    pugi::xml_document document;
    auto declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    document.append_child(pugi::node_doctype).set_value("plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\"");
    auto plist = document.append_child("plist");
    plist.append_attribute("version") = "1.0";
    if (!appendValue(plist, value, 1))
        return std::nullopt;
    DataWriter writer;
    // Text is escaped above, where a carriage return can be kept as a reference.
    document.save(writer, "\t", pugi::format_indent | pugi::format_no_escapes, pugi::encoding_utf8);
    return std::move(writer.bytes);
}

}
