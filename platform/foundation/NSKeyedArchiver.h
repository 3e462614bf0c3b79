#pragma once

// Keyed archives in NSKeyedArchiver's layout: a binary property list with
// $archiver "NSKeyedArchiver", $version 100000, $top {root: UID} and
// $objects, whose first entry is "$null"; each object is a dictionary whose
// $class names a class entry {$classname, $classes}.

#include "NSCoder.h"

class NSKeyedArchiver final : public NSCoder {
public:
    static NSData archivedDataWithRootObject(const NSObject*);

    void encodeObject(const NSObject*, std::string_view key) override;
    void encodeBool(bool, std::string_view key) override;
    void encodeInteger(std::int64_t, std::string_view key) override;
    void encodeFloat(float, std::string_view key) override;
    void encodeDouble(double, std::string_view key) override;
    void encodeBytes(std::span<const std::uint8_t>, std::string_view key) override;

    bool containsValueForKey(std::string_view) const override { return false; }
    RefPtr<NSObject> decodeObjectForKey(std::string_view) override { return nullptr; }
    bool decodeBoolForKey(std::string_view) const override { return false; }
    std::int64_t decodeIntegerForKey(std::string_view) const override { return 0; }
    double decodeDoubleForKey(std::string_view) const override { return 0; }
    std::optional<double> decodeNumberForKey(std::string_view) const override { return std::nullopt; }
    std::optional<NSData> decodeBytesForKey(std::string_view) const override { return std::nullopt; }

private:
    NSKeyedArchiver();
    std::uint64_t uidForObject(const NSObject*);
    std::uint64_t uidForClass(Class);
    void set(std::string_view key, PropertyListValue);

    PropertyListValue::Array m_objects;
    std::vector<std::pair<const NSObject*, std::uint64_t>> m_encodedObjects;
    std::vector<std::pair<Class, std::uint64_t>> m_encodedClasses;
    std::uint64_t m_current { 0 };
};

class NSKeyedUnarchiver final : public NSCoder {
public:
    // The root object, or none for anything that is not such an archive, whose
    // classes are not known to the runtime or do not decode.
    static RefPtr<NSObject> unarchiveObjectWithData(std::span<const std::uint8_t>);

    void encodeObject(const NSObject*, std::string_view) override { }
    void encodeBool(bool, std::string_view) override { }
    void encodeInteger(std::int64_t, std::string_view) override { }
    void encodeFloat(float, std::string_view) override { }
    void encodeDouble(double, std::string_view) override { }
    void encodeBytes(std::span<const std::uint8_t>, std::string_view) override { }

    bool containsValueForKey(std::string_view key) const override;
    RefPtr<NSObject> decodeObjectForKey(std::string_view key) override;
    bool decodeBoolForKey(std::string_view key) const override;
    std::int64_t decodeIntegerForKey(std::string_view key) const override;
    double decodeDoubleForKey(std::string_view key) const override;
    std::optional<double> decodeNumberForKey(std::string_view key) const override;
    std::optional<NSData> decodeBytesForKey(std::string_view key) const override;

private:
    static constexpr unsigned maximumObjectDepth = 64;

    explicit NSKeyedUnarchiver(PropertyListValue::Array objects);
    RefPtr<NSObject> decodeObject(const PropertyListValue& reference);
    const PropertyListValue* value(std::string_view key) const;

    PropertyListValue::Array m_objects;
    const PropertyListValue::Dictionary* m_current { nullptr };
    std::vector<std::uint64_t> m_decoding;
};
