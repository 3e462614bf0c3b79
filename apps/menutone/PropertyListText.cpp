#include "PropertyListText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include <foundation/PropertyListSerialization.h>

#include "../common/JSON.h"

namespace {

std::string formatInteger(const PropertyListValue& value)
{
    std::int64_t integer = *value.asInteger();
    return value.isUnsignedInteger() ? std::to_string(static_cast<std::uint64_t>(integer)) : std::to_string(integer);
}

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

std::string hex(const NSData& data)
{
    std::string out;
    char byte[3];
    for (auto value : data) {
        std::snprintf(byte, sizeof byte, "%02x", value);
        out += byte;
    }
    return out;
}

void appendOpenStep(std::string& out, const PropertyListValue& value, unsigned indent)
{
    std::string padding(indent * 4, ' ');
    switch (value.type()) {
    case PropertyListValue::Type::Boolean:
        out += *value.asBoolean() ? "1" : "0";
        return;
    case PropertyListValue::Type::Integer:
        out += formatInteger(value);
        return;
    case PropertyListValue::Type::Real:
        out += shortestDecimal(*value.asReal());
        return;
    case PropertyListValue::Type::String:
        out += quotedIfNeeded(*value.asString());
        return;
    case PropertyListValue::Type::Data:
        out += "{length = " + std::to_string(value.asData()->size()) + ", bytes = 0x" + hex(*value.asData()) + "}";
        return;
    case PropertyListValue::Type::Date: {
        std::string iso = foundation::iso8601FromReferenceDate(*value.asDate());
        out += "\"" + iso.substr(0, 10) + " " + iso.substr(11, 8) + " +0000\"";
        return;
    }
    case PropertyListValue::Type::UID:
        out += "<CFKeyedArchiverUID>{value = " + std::to_string(*value.asUID()) + "}";
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
