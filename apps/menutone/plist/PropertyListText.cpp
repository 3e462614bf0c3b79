#include "PropertyListText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include <foundation/PropertyListSerialization.h>

#include <common/JSON.h>

std::string integerText(const PropertyListValue& value)
{
    std::int64_t integer = *value.asInteger();
    return value.isUnsignedInteger() ? std::to_string(static_cast<std::uint64_t>(integer)) : std::to_string(integer);
}

namespace {

bool needsQuotes(std::string_view text)
{
    if (text.empty())
        return true;
    for (char c : text) {
        bool isPlain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.' || c == '$' || c == '/' || c == ':';
        if (!isPlain)
            return true;
    }
    return false;
}

std::string quotedIfNeeded(std::string_view text)
{
    if (!needsQuotes(text))
        return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else
            out += c;
    }
    return out + "\"";
}

// "{length = 2, bytes = 0x0102}", as NSData describes itself; past the
// limit, the first bytes and " ... ".
std::string dataText(const NSData& data, std::size_t limit = SIZE_MAX)
{
    std::string digits;
    char byte[3];
    for (std::size_t i = 0; i < data.size() && i < limit; ++i) {
        std::snprintf(byte, sizeof byte, "%02x", data[i]);
        digits += byte;
    }
    return "{length = " + std::to_string(data.size()) + ", bytes = 0x" + digits + (data.size() > limit ? " ... " : "") + "}";
}

// "2001-01-01 00:00:00 +0000", as NSDate describes itself.
std::string dateText(double secondsSinceReferenceDate)
{
    std::string iso = foundation::iso8601FromReferenceDate(secondsSinceReferenceDate);
    return iso.substr(0, 10) + " " + iso.substr(11, 8) + " +0000";
}

std::string uidText(const PropertyListValue& value)
{
    return "<CFKeyedArchiverUID>{value = " + std::to_string(*value.asUID()) + "}";
}

void appendOpenStep(std::string& out, const PropertyListValue& value, unsigned indent)
{
    std::string padding(indent * 4, ' ');
    switch (value.type()) {
    case PropertyListValue::Type::Boolean:
        out += *value.asBoolean() ? "1" : "0";
        return;
    case PropertyListValue::Type::Integer:
        out += integerText(value);
        return;
    case PropertyListValue::Type::Real:
        out += shortestDecimal(*value.asReal());
        return;
    case PropertyListValue::Type::String:
        out += quotedIfNeeded(*value.asString());
        return;
    case PropertyListValue::Type::Data:
        out += dataText(*value.asData());
        return;
    case PropertyListValue::Type::Date:
        out += "\"" + dateText(*value.asDate()) + "\"";
        return;
    case PropertyListValue::Type::UID:
        out += uidText(value);
        return;
    case PropertyListValue::Type::Array: {
        auto& items = *value.asArray();
        out += "(\n";
        for (std::size_t i = 0; i < items.size(); ++i) {
            out += padding + "    ";
            appendOpenStep(out, items[i], indent + 1);
            out += i + 1 < items.size() ? ",\n" : "\n";
        }
        out += padding + ")";
        return;
    }
    case PropertyListValue::Type::Dictionary:
        out += "{\n";
        for (auto& [key, item] : *value.asDictionary()) {
            out += padding + "    " + quotedIfNeeded(key) + " = ";
            appendOpenStep(out, item, indent + 1);
            out += ";\n";
        }
        out += padding + "}";
        return;
    }
}

// plutil -p's dump: every string quoted, "=>" between key and value, array
// indexes shown, a long data cut short.
void appendReadable(std::string& out, const PropertyListValue& value, unsigned indent)
{
    std::string padding(indent * 2, ' ');
    switch (value.type()) {
    case PropertyListValue::Type::Boolean:
        out += *value.asBoolean() ? "true" : "false";
        return;
    case PropertyListValue::Type::Integer:
        out += integerText(value);
        return;
    case PropertyListValue::Type::Real:
        out += shortestDecimal(*value.asReal());
        return;
    case PropertyListValue::Type::String:
        out += "\"" + *value.asString() + "\"";
        return;
    case PropertyListValue::Type::Data:
        out += dataText(*value.asData(), 24);
        return;
    case PropertyListValue::Type::Date:
        out += dateText(*value.asDate());
        return;
    case PropertyListValue::Type::UID:
        out += uidText(value);
        return;
    case PropertyListValue::Type::Array: {
        out += "[\n";
        std::size_t index = 0;
        for (auto& item : *value.asArray()) {
            out += padding + "  " + std::to_string(index++) + " => ";
            appendReadable(out, item, indent + 1);
            out += "\n";
        }
        out += padding + "]";
        return;
    }
    case PropertyListValue::Type::Dictionary:
        out += "{\n";
        for (auto& [key, item] : *value.asDictionary()) {
            out += padding + "  \"" + key + "\" => ";
            appendReadable(out, item, indent + 1);
            out += "\n";
        }
        out += padding + "}";
        return;
    }
}

}

JSON propertyListJSON(const PropertyListValue& value)
{
    switch (value.type()) {
    case PropertyListValue::Type::Boolean:
        return *value.asBoolean();
    case PropertyListValue::Type::Integer:
        if (value.isUnsignedInteger())
            return static_cast<std::uint64_t>(*value.asInteger());
        return *value.asInteger();
    case PropertyListValue::Type::Real:
        return jsonNumber(*value.asReal());
    case PropertyListValue::Type::String:
        return *value.asString();
    case PropertyListValue::Type::Data:
        return { { "data", foundation::base64Encode(*value.asData()) } };
    case PropertyListValue::Type::Date:
        return { { "date", foundation::iso8601FromReferenceDate(*value.asDate()) } };
    case PropertyListValue::Type::UID:
        return { { "CF$UID", *value.asUID() } };
    case PropertyListValue::Type::Array: {
        JSON list = JSON::array();
        for (auto& item : *value.asArray())
            list.push_back(propertyListJSON(item));
        return list;
    }
    case PropertyListValue::Type::Dictionary: {
        JSON object = JSON::object();
        for (auto& [key, item] : *value.asDictionary())
            object[key] = propertyListJSON(item);
        return object;
    }
    }
    return nullptr;
}

std::string openStepText(const PropertyListValue& value)
{
    std::string out;
    appendOpenStep(out, value, 0);
    return out;
}

std::string openStepTextOfValue(const PropertyListValue& value)
{
    if (auto* text = value.asString())
        return *text;
    return openStepText(value);
}

std::string readableText(const PropertyListValue& value)
{
    std::string out;
    appendReadable(out, value, 0);
    return out + "\n";
}
