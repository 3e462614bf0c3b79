#pragma once

// A property-list value: the tree that Apple's XML and binary formats carry.
// Arrays and dictionaries are shared until changed, so copies are cheap.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

using NSData = std::vector<std::uint8_t>;

class PropertyListValue {
public:
    enum class Type { Boolean, Integer, Real, String, Data, Date, Array, Dictionary, UID };
    using Array = std::vector<PropertyListValue>;
    using Dictionary = std::map<std::string, PropertyListValue, std::less<>>;

    // An empty dictionary.
    PropertyListValue();

    static PropertyListValue boolean(bool);
    static PropertyListValue integer(std::int64_t);
    static PropertyListValue unsignedInteger(std::uint64_t);
    static PropertyListValue real(double);
    static PropertyListValue singlePrecisionReal(float);
    static PropertyListValue string(std::string);
    static PropertyListValue data(NSData);
    // Seconds since 2001-01-01 00:00:00 UTC, the reference date of both formats.
    static PropertyListValue date(double secondsSinceReferenceDate);
    static PropertyListValue array(Array);
    static PropertyListValue dictionary(Dictionary);
    // Keyed archives' object references; binary format only.
    static PropertyListValue uid(std::uint64_t);

    Type type() const;
    static const char* typeName(Type);

    // Each answers none when the value is of another type.
    std::optional<bool> asBoolean() const;
    std::optional<std::int64_t> asInteger() const; // the bit pattern for integers above INT64_MAX
    std::optional<double> asReal() const;
    std::optional<std::uint64_t> asUID() const;
    std::optional<double> asDate() const;
    const std::string* asString() const;
    const NSData* asData() const;
    const Array* asArray() const;
    const Dictionary* asDictionary() const;

    bool isUnsignedInteger() const; // an integer that only fits unsigned 64 bits
    bool isSinglePrecisionReal() const;

    Array& mutableArray();
    Dictionary& mutableDictionary();

    // Foundation's conversions, as NSNumber and NSString answer -boolValue,
    // -integerValue and -doubleValue; none for data, dates and collections,
    // which do not answer them.
    std::optional<bool> boolValue() const;
    std::optional<std::int64_t> integerValue() const;
    std::optional<double> doubleValue() const;

    const PropertyListValue* objectForKey(std::string_view) const;

    bool operator==(const PropertyListValue&) const;

private:
    struct Integer {
        std::int64_t value;
        bool isUnsigned;
        bool operator==(const Integer&) const = default;
    };
    struct Real {
        double value;
        bool isSinglePrecision;
        bool operator==(const Real& other) const;
    };
    struct Date {
        double seconds;
        bool operator==(const Date&) const;
    };
    struct UID {
        std::uint64_t value;
        bool operator==(const UID&) const = default;
    };
    using Storage = std::variant<bool, Integer, Real, std::string, NSData, Date, std::shared_ptr<Array>, std::shared_ptr<Dictionary>, UID>;

    explicit PropertyListValue(Storage);

    Storage m_storage;
};

// NSString's -boolValue and -integerValue, which the store's readers apply to strings.
bool stringBoolValue(std::string_view);
std::int64_t stringIntegerValue(std::string_view);
