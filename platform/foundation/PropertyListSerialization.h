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

#include <base/Expected.h>

#include "PropertyListBudget.h"
#include "PropertyListValue.h"

enum class PropertyListFormat { XML, Binary };

// A property list read, and the format it was read from.
struct PropertyListDocument {
    PropertyListValue value;
    PropertyListFormat format { PropertyListFormat::XML };
};

class PropertyListSerialization {
public:
    static constexpr unsigned maximumDepth = 512;
    // The budget every reader spends (PropertyListBudget.h): shared
    // references could otherwise make a 10 KB binary file describe a tree of
    // gigabytes, and an XML or JSON file of millions of keys build one.
    static constexpr std::size_t maximumObjectCount = foundation::PropertyListBudget::maximumObjectCount;
    static constexpr std::uint64_t maximumExpandedBytes = foundation::PropertyListBudget::maximumExpandedBytes;

    // A document; else Malformed with what is wrong (or the file's read error).
    static Expected<PropertyListDocument> read(std::span<const std::uint8_t>);
    static std::optional<PropertyListValue> propertyListWithData(std::span<const std::uint8_t>);
    static Expected<PropertyListDocument> readFile(const std::filesystem::path& hostPath);

    // What the two codecs answer: a value, or the error text when there is none.
    struct ReadResult {
        std::optional<PropertyListValue> value;
        PropertyListFormat format { PropertyListFormat::XML };
        std::string error;
    };

    // None when the tree is nested deeper than maximumDepth, exceeds the
    // readers' budget, or would make a file larger than a reader reads:
    // what is written can always be read back.
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
