#pragma once

// Reading and writing property lists in Apple's XML and binary ("bplist00")
// formats. Readers take any bytes and answer none for anything that is not a
// well-formed property list, never crashing: offsets, counts and references
// are bounds-checked, nesting is limited and reference cycles are refused.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "PropertyListValue.h"

enum class PropertyListFormat { XML, Binary };

class PropertyListSerialization {
public:
    static constexpr unsigned maximumDepth = 512;
    // Objects a binary list may expand to; shared references can otherwise
    // make a small file describe an exponentially large tree.
    static constexpr std::size_t maximumObjectCount = 1 << 20;
    // Bytes a binary list may expand to (strings, data and the values
    // themselves, each reference counted again): a 10 KB file of shared
    // references must not ask for gigabytes.
    static constexpr std::size_t maximumExpandedBytes = 64 * 1024 * 1024;

    struct ReadResult {
        std::optional<PropertyListValue> value;
        PropertyListFormat format { PropertyListFormat::XML };
        std::string error;
    };

    static ReadResult read(std::span<const std::uint8_t>);
    static std::optional<PropertyListValue> propertyListWithData(std::span<const std::uint8_t> data) { return read(data).value; }
    static ReadResult readFile(const std::filesystem::path& hostPath);

    // None only when the tree is nested deeper than maximumDepth.
    static std::optional<NSData> dataWithPropertyList(const PropertyListValue&, PropertyListFormat);
};

namespace foundation {
PropertyListSerialization::ReadResult readXMLPropertyList(std::span<const std::uint8_t>);
PropertyListSerialization::ReadResult readBinaryPropertyList(std::span<const std::uint8_t>);
std::optional<NSData> writeXMLPropertyList(const PropertyListValue&);
std::optional<NSData> writeBinaryPropertyList(const PropertyListValue&);
}

namespace foundation {
// Dates as both formats' text shows them: "2001-01-01T00:00:00Z", whole seconds.
std::string iso8601FromReferenceDate(double secondsSinceReferenceDate);
std::optional<double> referenceDateFromISO8601(std::string_view);
std::string base64Encode(std::span<const std::uint8_t>);
std::optional<NSData> base64Decode(std::string_view);
}
