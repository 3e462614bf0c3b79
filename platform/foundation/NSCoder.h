#pragma once

// The coder that keyed archiving hands to -encodeWithCoder: and -initWithCoder:.
// A class takes part in archiving by answering those two selectors:
//     "encodeWithCoder:"  void(NSCoder*)
//     "initWithCoder:"    id(NSCoder*)

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include <objc/NSObject.h>

#include "PropertyListValue.h"

class NSCoder {
public:
    virtual ~NSCoder() = default;

    virtual void encodeObject(const NSObject*, std::string_view key) = 0;
    virtual void encodeBool(bool, std::string_view key) = 0;
    virtual void encodeInteger(std::int64_t, std::string_view key) = 0;
    virtual void encodeFloat(float, std::string_view key) = 0;
    virtual void encodeDouble(double, std::string_view key) = 0;
    virtual void encodeBytes(std::span<const std::uint8_t>, std::string_view key) = 0;

    virtual bool containsValueForKey(std::string_view key) const = 0;
    virtual RefPtr<NSObject> decodeObjectForKey(std::string_view key) = 0;
    // Numbers read as the device's coder reads them: 0 when absent.
    virtual bool decodeBoolForKey(std::string_view key) const = 0;
    virtual std::int64_t decodeIntegerForKey(std::string_view key) const = 0;
    virtual double decodeDoubleForKey(std::string_view key) const = 0;
    virtual float decodeFloatForKey(std::string_view key) const { return static_cast<float>(decodeDoubleForKey(key)); }
    // Strict forms for decoders that must tell a missing or mistyped value apart.
    virtual std::optional<double> decodeNumberForKey(std::string_view key) const = 0;
    virtual std::optional<NSData> decodeBytesForKey(std::string_view key) const = 0;
};

inline constexpr const char* encodeWithCoderSelector = "encodeWithCoder:";
inline constexpr const char* initWithCoderSelector = "initWithCoder:";
