#include "PropertyListEditing.h"

#include <charconv>
#include <cmath>
#include <ctime>

#include <foundation/PropertyListSerialization.h>

#include <common/TextCase.h>

namespace {

std::optional<std::size_t> arrayIndex(const std::string& component, std::size_t size, bool allowsEnd)
{
    std::size_t index;
    auto [end, error] = std::from_chars(component.data(), component.data() + component.size(), index);
    if (component.empty() || error != std::errc() || end != component.data() + component.size())
        return std::nullopt;
    if (index > size || (index == size && !allowsEnd))
        return std::nullopt;
    return index;
}

PropertyListValue* childOf(PropertyListValue& parent, const std::string& component)
{
    if (parent.asDictionary()) {
        auto& dictionary = parent.mutableDictionary();
        auto found = dictionary.find(component);
        return found == dictionary.end() ? nullptr : &found->second;
    }
    if (auto* array = parent.asArray()) {
        auto index = arrayIndex(component, array->size(), false);
        return index ? &parent.mutableArray()[*index] : nullptr;
    }
    return nullptr;
}

std::string joinedPath(const std::vector<std::string>& path)
{
    std::string text;
    for (auto& component : path)
        text += (text.empty() ? "" : ".") + component;
    return text;
}

// The whole text as one number, or none.
template <typename Number> std::optional<Number> wholeNumber(std::string_view text)
{
    Number value;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// Days from 1970-01-01 of a civil date (Howard Hinnant's days_from_civil).
long long daysFromCivil(long long year, unsigned month, unsigned day)
{
    year -= month <= 2;
    long long era = (year >= 0 ? year : year - 399) / 400;
    unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

}

std::vector<std::string> splitKeyPath(std::string_view text)
{
    std::vector<std::string> path(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '.') {
            path.back() += '.';
            ++i;
        } else if (text[i] == '.')
            path.emplace_back();
        else
            path.back() += text[i];
    }
    return path;
}

const PropertyListValue* valueAtKeyPath(const PropertyListValue& root, const std::vector<std::string>& path)
{
    auto* value = &root;
    for (auto& component : path) {
        value = childOf(const_cast<PropertyListValue&>(*value), component);
        if (!value)
            return nullptr;
    }
    return value;
}

std::optional<std::string> editAtKeyPath(
    PropertyListValue& root, const std::vector<std::string>& path, KeyPathEdit edit, std::optional<PropertyListValue> value)
{
    if (path.empty())
        return "an empty key path";
    PropertyListValue* parent = &root;
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
        parent = childOf(*parent, path[i]);
        if (!parent)
            return "No value at key path " + joinedPath({ path.begin(), path.begin() + static_cast<long>(i) + 1 });
    }
    const std::string& last = path.back();
    if (edit == KeyPathEdit::Append) {
        auto* target = childOf(*parent, last);
        if (!target || !target->asArray())
            return "Value at key path " + joinedPath(path) + " is not an array";
        target->mutableArray().push_back(std::move(*value));
        return std::nullopt;
    }
    if (parent->asDictionary()) {
        auto& dictionary = parent->mutableDictionary();
        bool exists = dictionary.contains(last);
        if (edit == KeyPathEdit::Insert && exists)
            return "Value already exists at key path " + joinedPath(path);
        if (edit == KeyPathEdit::Remove) {
            if (!exists)
                return "No value to remove at key path " + joinedPath(path);
            dictionary.erase(dictionary.find(last));
        } else
            dictionary.insert_or_assign(last, std::move(*value));
        return std::nullopt;
    }
    if (auto* array = parent->asArray()) {
        bool isInsert = edit == KeyPathEdit::Insert;
        auto index = arrayIndex(last, array->size(), isInsert);
        if (!index)
            return "No value at key path " + joinedPath(path) + " (an array of " + std::to_string(array->size()) + ")";
        auto& items = parent->mutableArray();
        if (edit == KeyPathEdit::Remove)
            items.erase(items.begin() + static_cast<long>(*index));
        else if (isInsert)
            items.insert(items.begin() + static_cast<long>(*index), std::move(*value));
        else
            items[*index] = std::move(*value);
        return std::nullopt;
    }
    return "Value at key path " + joinedPath({ path.begin(), path.end() - 1 }) + " is not a dictionary or an array";
}

std::optional<PropertyListValue> parseBoolean(std::string_view text)
{
    std::string lower = lowercased(text);
    if (lower == "yes" || lower == "true" || lower == "1")
        return PropertyListValue::boolean(true);
    if (lower == "no" || lower == "false" || lower == "0")
        return PropertyListValue::boolean(false);
    return std::nullopt;
}

std::optional<PropertyListValue> parseInteger(std::string_view text)
{
    auto value = wholeNumber<std::int64_t>(text);
    return value ? std::optional(PropertyListValue::integer(*value)) : std::nullopt;
}

std::optional<PropertyListValue> parseReal(std::string_view text)
{
    auto value = wholeNumber<double>(text);
    return value && std::isfinite(*value) ? std::optional(PropertyListValue::real(*value)) : std::nullopt;
}

std::optional<double> parseDate(std::string_view text)
{
    unsigned year, month, day, hour = 0, minute = 0, second = 0;
    char separator = 0;
    int consumed = 0;
    std::string copy(text);
    int fields = std::sscanf(copy.c_str(), "%4u-%2u-%2u%n%c%2u:%2u:%2u%n", &year, &month, &day, &consumed, &separator, &hour, &minute, &second, &consumed);
    if (fields != 3 && fields != 7)
        return std::nullopt;
    if (fields == 7 && separator != 'T' && separator != ' ')
        return std::nullopt;
    std::string_view rest = std::string_view(copy).substr(static_cast<std::size_t>(consumed));
    long offsetSeconds = 0;
    if (fields == 7) {
        if (rest == "Z")
            rest = {};
        else {
            if (rest.starts_with(" "))
                rest.remove_prefix(1);
            if (rest.size() != 5 || (rest[0] != '+' && rest[0] != '-'))
                return std::nullopt;
            unsigned offset;
            auto [end, error] = std::from_chars(rest.data() + 1, rest.data() + 5, offset);
            if (error != std::errc() || end != rest.data() + 5 || offset % 100 > 59 || offset / 100 > 23)
                return std::nullopt;
            offsetSeconds = (rest[0] == '-' ? -1 : 1) * static_cast<long>(offset / 100 * 3600 + offset % 100 * 60);
            rest = {};
        }
    }
    if (!rest.empty() || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    // 2001-01-01, the reference date, is day 11323 from 1970.
    double days = static_cast<double>(daysFromCivil(year, month, day) - 11323);
    return days * 86400 + hour * 3600 + minute * 60 + second - static_cast<double>(offsetSeconds);
}

namespace {

// Over either of nlohmann's object types: text is parsed into std::map
// objects, whose inserts stay O(log n) where ordered_json's are linear, so
// 200,000 keys take a moment rather than minutes.
template <typename AnyJSON>
std::optional<PropertyListValue> propertyListFromJSON(const AnyJSON& json, std::string& error, unsigned depth, foundation::PropertyListBudget& budget)
{
    // As deep as a property list may be, so that a hostile file cannot exhaust the stack.
    if (depth > PropertyListSerialization::maximumDepth) {
        error = "nested deeper than " + std::to_string(PropertyListSerialization::maximumDepth) + " levels";
        return std::nullopt;
    }
    // The budget every property-list reader spends.
    auto spend = [&](bool isWithinBudget) {
        if (!isWithinBudget)
            error = std::string("too large for a property list: ") + budget.exhaustion();
        return isWithinBudget;
    };
    if (!spend(budget.chargeObject()))
        return std::nullopt;
    using Type = typename AnyJSON::value_t;
    switch (json.type()) {
    case Type::boolean:
        return PropertyListValue::boolean(json.template get<bool>());
    case Type::number_integer:
        return PropertyListValue::integer(json.template get<std::int64_t>());
    case Type::number_unsigned: {
        auto value = json.template get<std::uint64_t>();
        return value > INT64_MAX ? PropertyListValue::unsignedInteger(value) : PropertyListValue::integer(static_cast<std::int64_t>(value));
    }
    case Type::number_float:
        return PropertyListValue::real(json.template get<double>());
    case Type::string:
        if (!spend(budget.chargeString(json.template get_ref<const std::string&>())))
            return std::nullopt;
        return PropertyListValue::string(json.template get<std::string>());
    case Type::array: {
        if (!spend(budget.chargeContainer(json.size(), false)))
            return std::nullopt;
        PropertyListValue::Array items;
        for (auto& item : json) {
            auto value = propertyListFromJSON(item, error, depth + 1, budget);
            if (!value)
                return std::nullopt;
            items.push_back(std::move(*value));
        }
        return PropertyListValue::array(std::move(items));
    }
    case Type::object: {
        if (!spend(budget.chargeContainer(json.size(), true)))
            return std::nullopt;
        PropertyListValue::Dictionary entries;
        for (auto& [key, item] : json.items()) {
            if (!spend(budget.chargeObject() && budget.chargeString(key)))
                return std::nullopt;
            auto value = propertyListFromJSON(item, error, depth + 1, budget);
            if (!value)
                return std::nullopt;
            entries.insert_or_assign(key, std::move(*value));
        }
        return PropertyListValue::dictionary(std::move(entries));
    }
    default:
        error = "null has no property-list type";
        return std::nullopt;
    }
}

}

template <typename AnyJSON> Expected<PropertyListValue> propertyListOfJSON(const AnyJSON& json)
{
    std::string error;
    foundation::PropertyListBudget budget;
    auto value = propertyListFromJSON(json, error, 0, budget);
    if (!value)
        return makeError(ErrorKind::Malformed, std::move(error));
    return std::move(*value);
}

Expected<PropertyListValue> propertyListFromJSON(const JSON& json)
{
    return propertyListOfJSON(json);
}

Expected<PropertyListValue> propertyListFromJSONText(std::string_view text)
{
    auto json = nlohmann::json::parse(text.begin(), text.end(), nullptr, false);
    if (json.is_discarded())
        return makeError(ErrorKind::Malformed, "not well-formed JSON");
    return propertyListOfJSON(json);
}

std::optional<JSON> strictJSONOfPropertyList(const PropertyListValue& value)
{
    switch (value.type()) {
    case PropertyListValue::Type::Boolean:
        return JSON(*value.asBoolean());
    case PropertyListValue::Type::Integer:
        if (value.isUnsignedInteger())
            return JSON(static_cast<std::uint64_t>(*value.asInteger()));
        return JSON(*value.asInteger());
    case PropertyListValue::Type::Real:
        if (!std::isfinite(*value.asReal()))
            return std::nullopt;
        return JSON(*value.asReal());
    case PropertyListValue::Type::String:
        return JSON(*value.asString());
    case PropertyListValue::Type::Data:
    case PropertyListValue::Type::Date:
    case PropertyListValue::Type::UID:
        return std::nullopt;
    case PropertyListValue::Type::Array: {
        JSON list = JSON::array();
        for (auto& item : *value.asArray()) {
            auto json = strictJSONOfPropertyList(item);
            if (!json)
                return std::nullopt;
            list.push_back(std::move(*json));
        }
        return list;
    }
    case PropertyListValue::Type::Dictionary: {
        JSON object = JSON::object();
        for (auto& [key, item] : *value.asDictionary()) {
            auto json = strictJSONOfPropertyList(item);
            if (!json)
                return std::nullopt;
            object[key] = std::move(*json);
        }
        return object;
    }
    }
    return std::nullopt;
}
