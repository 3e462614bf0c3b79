#include "PropertyListValue.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

PropertyListValue::PropertyListValue()
    : m_storage(std::make_shared<Dictionary>())
{
}

PropertyListValue::PropertyListValue(Storage storage)
    : m_storage(std::move(storage))
{
}

PropertyListValue PropertyListValue::boolean(bool value)
{
    return PropertyListValue(Storage(value));
}
PropertyListValue PropertyListValue::integer(std::int64_t value)
{
    return PropertyListValue(Integer { value, false });
}
PropertyListValue PropertyListValue::unsignedInteger(std::uint64_t value)
{
    return PropertyListValue(Integer { static_cast<std::int64_t>(value), value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) });
}
PropertyListValue PropertyListValue::real(double value)
{
    return PropertyListValue(Real { value, false });
}
PropertyListValue PropertyListValue::singlePrecisionReal(float value)
{
    return PropertyListValue(Real { value, true });
}
PropertyListValue PropertyListValue::string(std::string value)
{
    return PropertyListValue(Storage(std::move(value)));
}
PropertyListValue PropertyListValue::data(NSData value)
{
    return PropertyListValue(Storage(std::move(value)));
}
PropertyListValue PropertyListValue::date(double seconds)
{
    return PropertyListValue(Date { seconds });
}
PropertyListValue PropertyListValue::array(Array value)
{
    return PropertyListValue(std::make_shared<Array>(std::move(value)));
}
PropertyListValue PropertyListValue::dictionary(Dictionary value)
{
    return PropertyListValue(std::make_shared<Dictionary>(std::move(value)));
}
PropertyListValue PropertyListValue::uid(std::uint64_t value)
{
    return PropertyListValue(UID { value });
}

PropertyListValue::Type PropertyListValue::type() const
{
    return static_cast<Type>(m_storage.index());
}

const char* PropertyListValue::typeName(Type type)
{
    switch (type) {
    case Type::Boolean:
        return "boolean";
    case Type::Integer:
        return "integer";
    case Type::Real:
        return "real";
    case Type::String:
        return "string";
    case Type::Data:
        return "data";
    case Type::Date:
        return "date";
    case Type::Array:
        return "array";
    case Type::Dictionary:
        return "dictionary";
    case Type::UID:
        return "uid";
    }
    return "unknown";
}

std::optional<bool> PropertyListValue::asBoolean() const
{
    if (auto* value = std::get_if<bool>(&m_storage))
        return *value;
    return std::nullopt;
}

std::optional<std::int64_t> PropertyListValue::asInteger() const
{
    if (auto* value = std::get_if<Integer>(&m_storage))
        return value->value;
    return std::nullopt;
}

std::optional<double> PropertyListValue::asReal() const
{
    if (auto* value = std::get_if<Real>(&m_storage))
        return value->value;
    return std::nullopt;
}

std::optional<std::uint64_t> PropertyListValue::asUID() const
{
    if (auto* value = std::get_if<UID>(&m_storage))
        return value->value;
    return std::nullopt;
}

std::optional<double> PropertyListValue::asDate() const
{
    if (auto* value = std::get_if<Date>(&m_storage))
        return value->seconds;
    return std::nullopt;
}

const std::string* PropertyListValue::asString() const
{
    return std::get_if<std::string>(&m_storage);
}
const NSData* PropertyListValue::asData() const
{
    return std::get_if<NSData>(&m_storage);
}

const PropertyListValue::Array* PropertyListValue::asArray() const
{
    auto* value = std::get_if<std::shared_ptr<Array>>(&m_storage);
    return value ? value->get() : nullptr;
}

const PropertyListValue::Dictionary* PropertyListValue::asDictionary() const
{
    auto* value = std::get_if<std::shared_ptr<Dictionary>>(&m_storage);
    return value ? value->get() : nullptr;
}

bool PropertyListValue::isUnsignedInteger() const
{
    auto* value = std::get_if<Integer>(&m_storage);
    return value && value->isUnsigned;
}

bool PropertyListValue::isSinglePrecisionReal() const
{
    auto* value = std::get_if<Real>(&m_storage);
    return value && value->isSinglePrecision;
}

PropertyListValue::Array& PropertyListValue::mutableArray()
{
    auto& shared = std::get<std::shared_ptr<Array>>(m_storage);
    if (shared.use_count() > 1)
        shared = std::make_shared<Array>(*shared);
    return *shared;
}

PropertyListValue::Dictionary& PropertyListValue::mutableDictionary()
{
    auto& shared = std::get<std::shared_ptr<Dictionary>>(m_storage);
    if (shared.use_count() > 1)
        shared = std::make_shared<Dictionary>(*shared);
    return *shared;
}

std::optional<bool> PropertyListValue::boolValue() const
{
    if (auto value = asBoolean())
        return value;
    if (auto* integer = std::get_if<Integer>(&m_storage))
        return integer->value != 0;
    if (auto* real = std::get_if<Real>(&m_storage))
        return real->value != 0;
    if (auto* string = asString())
        return stringBoolValue(*string);
    return std::nullopt;
}

std::optional<std::int64_t> PropertyListValue::integerValue() const
{
    if (auto value = asBoolean())
        return *value ? 1 : 0;
    if (auto value = asInteger())
        return value;
    if (auto* real = std::get_if<Real>(&m_storage)) {
        // NSNumber converts by C cast; out of range is undefined there, so we saturate.
        double value = real->value;
        if (std::isnan(value))
            return 0;
        if (value >= 9223372036854775808.0)
            return std::numeric_limits<std::int64_t>::max();
        if (value < -9223372036854775808.0)
            return std::numeric_limits<std::int64_t>::min();
        return static_cast<std::int64_t>(value);
    }
    if (auto* string = asString())
        return stringIntegerValue(*string);
    return std::nullopt;
}

std::optional<double> PropertyListValue::doubleValue() const
{
    if (auto value = asBoolean())
        return *value ? 1.0 : 0.0;
    if (auto* integer = std::get_if<Integer>(&m_storage))
        return integer->isUnsigned ? static_cast<double>(static_cast<std::uint64_t>(integer->value)) : static_cast<double>(integer->value);
    if (auto value = asReal())
        return value;
    if (auto* string = asString())
        return std::strtod(string->c_str(), nullptr);
    return std::nullopt;
}

const PropertyListValue* PropertyListValue::objectForKey(std::string_view key) const
{
    auto* dictionary = asDictionary();
    if (!dictionary)
        return nullptr;
    auto it = dictionary->find(key);
    return it == dictionary->end() ? nullptr : &it->second;
}

bool PropertyListValue::Real::operator==(const Real& other) const
{
    // Bitwise on NaN so that a value read back equals the one written.
    return isSinglePrecision == other.isSinglePrecision && (value == other.value || (std::isnan(value) && std::isnan(other.value)));
}

bool PropertyListValue::Date::operator==(const Date& other) const
{
    return seconds == other.seconds || (std::isnan(seconds) && std::isnan(other.seconds));
}

bool PropertyListValue::operator==(const PropertyListValue& other) const
{
    if (m_storage.index() != other.m_storage.index())
        return false;
    if (auto* array = asArray())
        return *array == *other.asArray();
    if (auto* dictionary = asDictionary())
        return *dictionary == *other.asDictionary();
    return m_storage == other.m_storage;
}

namespace {

std::string_view skipLeadingSpace(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    return text;
}

}

bool stringBoolValue(std::string_view text)
{
    // YES on a leading Y, y, T, t or a digit 1-9 after an optional sign and
    // leading zeros; the rest of the string does not matter.
    text = skipLeadingSpace(text);
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
        text.remove_prefix(1);
    while (!text.empty() && text.front() == '0')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    char first = text.front();
    return first == 'Y' || first == 'y' || first == 'T' || first == 't' || (first >= '1' && first <= '9');
}

std::int64_t stringIntegerValue(std::string_view text)
{
    // The leading decimal integer, saturating on overflow; 0 when there is none.
    text = skipLeadingSpace(text);
    bool isNegative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        isNegative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::uint64_t magnitude = 0;
    constexpr std::uint64_t limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        auto digit = static_cast<std::uint64_t>(c - '0');
        if (magnitude > (limit - digit) / 10) {
            magnitude = limit;
            break;
        }
        magnitude = magnitude * 10 + digit;
    }
    if (isNegative)
        return magnitude == limit ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(magnitude);
    return magnitude >= limit ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(magnitude);
}
