// Apple's binary property-list format, "bplist00": a header, the objects, a
// table of object offsets and a 32-byte trailer. Every offset, count and
// reference from the file is checked before it is used.

#include <bit>
#include <cstring>
#include <limits>
#include <map>
#include <unordered_map>

#include "PropertyListSerialization.h"
#include "Unicode.h"

namespace foundation {

namespace {

constexpr std::size_t headerSize = 8;
constexpr std::size_t trailerSize = 32;

std::uint64_t readBigEndian(const std::uint8_t* bytes, std::size_t size)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

class BinaryReader {
public:
    explicit BinaryReader(std::span<const std::uint8_t> data)
        : m_data(data)
    {
    }

    PropertyListSerialization::ReadResult read()
    {
        PropertyListSerialization::ReadResult result;
        result.format = PropertyListFormat::Binary;
        if (m_data.size() < headerSize + 1 + trailerSize || std::memcmp(m_data.data(), "bplist00", headerSize) != 0) {
            result.error = m_data.size() >= headerSize && std::memcmp(m_data.data(), "bplist", 6) == 0 && m_data.size() >= headerSize + 1 + trailerSize
                ? "unsupported binary property-list version"
                : "truncated binary property list";
            return result;
        }
        const std::uint8_t* trailer = m_data.data() + m_data.size() - trailerSize;
        m_offsetSize = trailer[6];
        m_referenceSize = trailer[7];
        m_objectCount = readBigEndian(trailer + 8, 8);
        std::uint64_t topObject = readBigEndian(trailer + 16, 8);
        m_offsetTableStart = readBigEndian(trailer + 24, 8);

        std::uint64_t tableLimit = m_data.size() - trailerSize;
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_referenceSize < 1 || m_referenceSize > 8) {
            result.error = "bad offset or reference size";
            return result;
        }
        if (m_objectCount < 1 || topObject >= m_objectCount || m_offsetTableStart < headerSize + 1 || m_offsetTableStart > tableLimit
            || m_objectCount > (tableLimit - m_offsetTableStart) / m_offsetSize) {
            result.error = "offset table out of bounds";
            return result;
        }
        if (m_referenceSize < 8 && m_objectCount > (std::uint64_t(1) << (8 * m_referenceSize))) {
            result.error = "more objects than references can name";
            return result;
        }
        m_offsets.resize(m_objectCount);
        for (std::uint64_t i = 0; i < m_objectCount; ++i) {
            m_offsets[i] = readBigEndian(m_data.data() + m_offsetTableStart + i * m_offsetSize, m_offsetSize);
            if (m_offsets[i] < headerSize || m_offsets[i] >= m_offsetTableStart) {
                result.error = "object offset out of bounds";
                return result;
            }
        }
        m_isOnPath.assign(m_objectCount, false);
        result.value = object(topObject, 1);
        result.error = std::move(m_error);
        return result;
    }

private:
    std::nullopt_t fail(const char* message)
    {
        if (m_error.empty())
            m_error = message;
        return std::nullopt;
    }

    // The bytes [offset, offset + size) of the object area, or null when they leave it.
    const std::uint8_t* bytes(std::uint64_t offset, std::uint64_t size) const
    {
        if (offset > m_offsetTableStart || size > m_offsetTableStart - offset)
            return nullptr;
        return m_data.data() + offset;
    }

    // A count in the marker's low nibble, or 0xF followed by an integer object.
    std::optional<std::uint64_t> count(std::uint64_t markerOffset, unsigned lowNibble, std::uint64_t& contentOffset)
    {
        contentOffset = markerOffset + 1;
        if (lowNibble != 0xF)
            return lowNibble;
        const std::uint8_t* marker = bytes(contentOffset, 1);
        if (!marker || (*marker & 0xF0) != 0x10 || (*marker & 0x0F) > 3)
            return fail("malformed count");
        std::size_t size = std::size_t(1) << (*marker & 0x0F);
        const std::uint8_t* value = bytes(contentOffset + 1, size);
        if (!value)
            return fail("count out of bounds");
        contentOffset += 1 + size;
        return readBigEndian(value, size);
    }

    // Charges what a value about to be made costs; false once the budget is spent.
    bool spend(bool isWithinBudget)
    {
        if (!isWithinBudget)
            fail(m_budget.exhaustion());
        return isWithinBudget;
    }

    std::optional<PropertyListValue> object(std::uint64_t index, unsigned depth)
    {
        if (depth > PropertyListSerialization::maximumDepth)
            return fail("nested too deeply");
        if (!spend(m_budget.chargeObject()))
            return std::nullopt;
        std::uint64_t offset = m_offsets[index];
        std::uint8_t marker = m_data[offset];
        unsigned lowNibble = marker & 0x0F;
        switch (marker >> 4) {
        case 0x0:
            if (marker == 0x08 || marker == 0x09)
                return PropertyListValue::boolean(marker == 0x09);
            return fail("unsupported object");
        case 0x1: {
            if (lowNibble > 4)
                return fail("bad integer size");
            std::size_t size = std::size_t(1) << lowNibble;
            const std::uint8_t* value = bytes(offset + 1, size);
            if (!value)
                return fail("integer out of bounds");
            if (size < 8)
                return PropertyListValue::integer(static_cast<std::int64_t>(readBigEndian(value, size)));
            if (size == 8)
                return PropertyListValue::integer(static_cast<std::int64_t>(readBigEndian(value, 8)));
            // 128-bit: written for unsigned values above INT64_MAX.
            std::uint64_t high = readBigEndian(value, 8);
            std::uint64_t low = readBigEndian(value + 8, 8);
            if (high == 0)
                return PropertyListValue::unsignedInteger(low);
            if (high == ~std::uint64_t(0) && (low >> 63))
                return PropertyListValue::integer(static_cast<std::int64_t>(low));
            return fail("integer out of range");
        }
        case 0x2: {
            if (lowNibble != 2 && lowNibble != 3)
                return fail("bad real size");
            const std::uint8_t* value = bytes(offset + 1, std::size_t(1) << lowNibble);
            if (!value)
                return fail("real out of bounds");
            if (lowNibble == 2)
                return PropertyListValue::singlePrecisionReal(std::bit_cast<float>(static_cast<std::uint32_t>(readBigEndian(value, 4))));
            return PropertyListValue::real(std::bit_cast<double>(readBigEndian(value, 8)));
        }
        case 0x3: {
            const std::uint8_t* value = bytes(offset + 1, 8);
            if (marker != 0x33 || !value)
                return fail("malformed date");
            return PropertyListValue::date(std::bit_cast<double>(readBigEndian(value, 8)));
        }
        case 0x4:
        case 0x5: {
            std::uint64_t start;
            auto length = count(offset, lowNibble, start);
            if (!length)
                return std::nullopt;
            const std::uint8_t* content = bytes(start, *length);
            if (!content)
                return fail("data out of bounds");
            if (!spend(marker >> 4 == 0x4 ? m_budget.chargeBytes(*length) : m_budget.chargeString(*length, true)))
                return std::nullopt;
            if (marker >> 4 == 0x4)
                return PropertyListValue::data(NSData(content, content + *length));
            std::string text(reinterpret_cast<const char*>(content), *length);
            if (!isASCII(text))
                return fail("non-ASCII byte in an ASCII string");
            return PropertyListValue::string(std::move(text));
        }
        case 0x6: {
            std::uint64_t start;
            auto length = count(offset, lowNibble, start);
            if (!length)
                return std::nullopt;
            const std::uint8_t* content = *length <= std::numeric_limits<std::uint64_t>::max() / 2 ? bytes(start, *length * 2) : nullptr;
            if (!content)
                return fail("string out of bounds");
            // UTF-8 takes at most three bytes for each UTF-16 unit.
            if (!spend(m_budget.chargeString(*length, false)))
                return std::nullopt;
            std::u16string text(*length, u'\0');
            for (std::uint64_t i = 0; i < *length; ++i)
                text[i] = static_cast<char16_t>(content[2 * i] << 8 | content[2 * i + 1]);
            return PropertyListValue::string(utf8FromUTF16(text));
        }
        case 0x8: {
            const std::uint8_t* value = bytes(offset + 1, lowNibble + 1);
            if (lowNibble > 7 || !value)
                return fail("malformed UID");
            return PropertyListValue::uid(readBigEndian(value, lowNibble + 1));
        }
        case 0xA:
        case 0xD:
            return container(index, offset, marker >> 4 == 0xD, lowNibble, depth);
        default:
            return fail("unsupported object");
        }
    }

    std::optional<PropertyListValue> container(std::uint64_t index, std::uint64_t offset, bool isDictionary, unsigned lowNibble, unsigned depth)
    {
        std::uint64_t start;
        auto length = count(offset, lowNibble, start);
        if (!length)
            return std::nullopt;
        std::uint64_t referenceCount = isDictionary ? *length * 2 : *length;
        if ((isDictionary && *length > std::numeric_limits<std::uint64_t>::max() / 2)
            || referenceCount > std::numeric_limits<std::uint64_t>::max() / m_referenceSize)
            return fail("container out of bounds");
        const std::uint8_t* references = bytes(start, referenceCount * m_referenceSize);
        if (!references)
            return fail("container out of bounds");
        // An array's slots, or a dictionary's nodes, before their values.
        if (!spend(m_budget.chargeContainer(*length, isDictionary)))
            return std::nullopt;
        if (m_isOnPath[index])
            return fail("object contains itself");
        m_isOnPath[index] = true;

        auto reference = [&](std::uint64_t i) -> std::optional<std::uint64_t> {
            std::uint64_t target = readBigEndian(references + i * m_referenceSize, m_referenceSize);
            if (target >= m_objectCount)
                return fail("object reference out of range");
            return target;
        };

        std::optional<PropertyListValue> result;
        if (isDictionary) {
            PropertyListValue::Dictionary entries;
            for (std::uint64_t i = 0; i < *length; ++i) {
                auto keyIndex = reference(i);
                auto valueIndex = reference(*length + i);
                if (!keyIndex || !valueIndex)
                    break;
                auto key = object(*keyIndex, depth + 1);
                if (!key)
                    break;
                if (!key->asString()) {
                    fail("dictionary key is not a string");
                    break;
                }
                auto entry = object(*valueIndex, depth + 1);
                if (!entry)
                    break;
                entries.insert_or_assign(*key->asString(), std::move(*entry));
                if (i + 1 == *length)
                    result = PropertyListValue::dictionary(std::move(entries));
            }
            if (*length == 0)
                result = PropertyListValue::dictionary({});
        } else {
            PropertyListValue::Array items;
            items.reserve(std::min<std::uint64_t>(*length, 4096));
            bool isComplete = true;
            for (std::uint64_t i = 0; i < *length && isComplete; ++i) {
                auto itemIndex = reference(i);
                auto item = itemIndex ? object(*itemIndex, depth + 1) : std::nullopt;
                if (item)
                    items.push_back(std::move(*item));
                else
                    isComplete = false;
            }
            if (isComplete)
                result = PropertyListValue::array(std::move(items));
        }
        m_isOnPath[index] = false;
        return result;
    }

    std::span<const std::uint8_t> m_data;
    unsigned m_offsetSize { 0 };
    unsigned m_referenceSize { 0 };
    std::uint64_t m_objectCount { 0 };
    std::uint64_t m_offsetTableStart { 0 };
    std::vector<std::uint64_t> m_offsets;
    std::vector<bool> m_isOnPath;
    PropertyListBudget m_budget;
    std::string m_error;
};

unsigned bytesNeeded(std::uint64_t value)
{
    if (value <= 0xFF)
        return 1;
    if (value <= 0xFFFF)
        return 2;
    if (value <= 0xFFFFFFFF)
        return 4;
    return 8;
}

void appendBigEndian(NSData& out, std::uint64_t value, unsigned size)
{
    for (unsigned i = size; i-- > 0;)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void appendMarkerAndCount(NSData& out, std::uint8_t type, std::uint64_t count)
{
    if (count < 15) {
        out.push_back(static_cast<std::uint8_t>(type << 4 | count));
        return;
    }
    out.push_back(static_cast<std::uint8_t>(type << 4 | 0xF));
    unsigned size = bytesNeeded(count);
    out.push_back(static_cast<std::uint8_t>(0x10 | std::countr_zero(size)));
    appendBigEndian(out, count, size);
}

class BinaryWriter {
public:
    std::optional<NSData> write(const PropertyListValue& root)
    {
        if (!flatten(root, 1))
            return std::nullopt;
        unsigned referenceSize = bytesNeeded(m_objects.size() - 1);

        NSData out { 'b', 'p', 'l', 'i', 's', 't', '0', '0' };
        std::vector<std::uint64_t> offsets;
        offsets.reserve(m_objects.size());
        for (auto& object : m_objects) {
            offsets.push_back(out.size());
            if (object.references.empty() && !object.isContainer) {
                out.insert(out.end(), object.bytes.begin(), object.bytes.end());
                continue;
            }
            appendMarkerAndCount(out, object.bytes[0], object.count);
            for (auto reference : object.references)
                appendBigEndian(out, reference, referenceSize);
        }
        std::uint64_t offsetTableStart = out.size();
        unsigned offsetSize = bytesNeeded(offsets.back());
        for (auto offset : offsets)
            appendBigEndian(out, offset, offsetSize);
        out.insert(out.end(), 6, 0);
        out.push_back(static_cast<std::uint8_t>(offsetSize));
        out.push_back(static_cast<std::uint8_t>(referenceSize));
        appendBigEndian(out, m_objects.size(), 8);
        appendBigEndian(out, 0, 8);
        appendBigEndian(out, offsetTableStart, 8);
        return out;
    }

private:
    struct Object {
        NSData bytes; // a scalar's encoding, or a container's type nibble
        bool isContainer { false };
        std::uint64_t count { 0 };
        std::vector<std::uint64_t> references;
    };

    static NSData encodeScalar(const PropertyListValue& value)
    {
        NSData out;
        switch (value.type()) {
        case PropertyListValue::Type::Boolean:
            out.push_back(*value.asBoolean() ? 0x09 : 0x08);
            break;
        case PropertyListValue::Type::Integer: {
            std::int64_t integer = *value.asInteger();
            if (value.isUnsignedInteger()) {
                out.push_back(0x14);
                appendBigEndian(out, 0, 8);
                appendBigEndian(out, static_cast<std::uint64_t>(integer), 8);
            } else if (integer < 0 || integer > 0xFFFFFFFF) {
                // One, two and four byte integers are unsigned; eight bytes are signed.
                out.push_back(0x13);
                appendBigEndian(out, static_cast<std::uint64_t>(integer), 8);
            } else {
                unsigned size = bytesNeeded(static_cast<std::uint64_t>(integer));
                out.push_back(static_cast<std::uint8_t>(0x10 | std::countr_zero(size)));
                appendBigEndian(out, static_cast<std::uint64_t>(integer), size);
            }
            break;
        }
        case PropertyListValue::Type::Real:
            if (value.isSinglePrecisionReal()) {
                out.push_back(0x22);
                appendBigEndian(out, std::bit_cast<std::uint32_t>(static_cast<float>(*value.asReal())), 4);
            } else {
                out.push_back(0x23);
                appendBigEndian(out, std::bit_cast<std::uint64_t>(*value.asReal()), 8);
            }
            break;
        case PropertyListValue::Type::Date:
            out.push_back(0x33);
            appendBigEndian(out, std::bit_cast<std::uint64_t>(*value.asDate()), 8);
            break;
        case PropertyListValue::Type::Data: {
            auto& data = *value.asData();
            appendMarkerAndCount(out, 0x4, data.size());
            out.insert(out.end(), data.begin(), data.end());
            break;
        }
        case PropertyListValue::Type::String: {
            auto& text = *value.asString();
            if (isASCII(text)) {
                appendMarkerAndCount(out, 0x5, text.size());
                out.insert(out.end(), text.begin(), text.end());
            } else {
                std::u16string wide = utf16FromUTF8(text);
                appendMarkerAndCount(out, 0x6, wide.size());
                for (char16_t unit : wide)
                    appendBigEndian(out, unit, 2);
            }
            break;
        }
        case PropertyListValue::Type::UID: {
            std::uint64_t uid = *value.asUID();
            unsigned size = bytesNeeded(uid);
            out.push_back(static_cast<std::uint8_t>(0x80 | (size - 1)));
            appendBigEndian(out, uid, size);
            break;
        }
        case PropertyListValue::Type::Array:
        case PropertyListValue::Type::Dictionary:
            break;
        }
        return out;
    }

    // Scalars that encode alike are written once and shared, as Apple's writer does.
    std::optional<std::uint64_t> scalar(const PropertyListValue& value)
    {
        NSData bytes = encodeScalar(value);
        if (auto it = m_scalars.find(bytes); it != m_scalars.end())
            return it->second;
        std::uint64_t index = m_objects.size();
        m_objects.push_back({ bytes, false, 0, {} });
        m_scalars.emplace(std::move(bytes), index);
        return index;
    }

    std::optional<std::uint64_t> flatten(const PropertyListValue& value, unsigned depth)
    {
        if (depth > PropertyListSerialization::maximumDepth)
            return std::nullopt;
        if (auto* array = value.asArray()) {
            std::uint64_t index = m_objects.size();
            m_objects.push_back({ { 0xA }, true, array->size(), {} });
            std::vector<std::uint64_t> references;
            for (auto& item : *array) {
                auto reference = flatten(item, depth + 1);
                if (!reference)
                    return std::nullopt;
                references.push_back(*reference);
            }
            m_objects[index].references = std::move(references);
            return index;
        }
        if (auto* dictionary = value.asDictionary()) {
            std::uint64_t index = m_objects.size();
            m_objects.push_back({ { 0xD }, true, dictionary->size(), {} });
            std::vector<std::uint64_t> keys, values;
            for (auto& [key, item] : *dictionary) {
                keys.push_back(*scalar(PropertyListValue::string(key)));
                auto reference = flatten(item, depth + 1);
                if (!reference)
                    return std::nullopt;
                values.push_back(*reference);
            }
            keys.insert(keys.end(), values.begin(), values.end());
            m_objects[index].references = std::move(keys);
            return index;
        }
        return scalar(value);
    }

    std::vector<Object> m_objects;
    std::map<NSData, std::uint64_t> m_scalars;
};

}

PropertyListSerialization::ReadResult readBinaryPropertyList(std::span<const std::uint8_t> data)
{
    return BinaryReader(data).read();
}

std::optional<NSData> writeBinaryPropertyList(const PropertyListValue& value)
{
    return BinaryWriter().write(value);
}

}
