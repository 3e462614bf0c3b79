#include <foundation/PropertyListSerialization.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "TestSupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::optional<PropertyListValue> parse(const Bytes& bytes)
{
    return PropertyListSerialization::propertyListWithData(bytes);
}
std::optional<PropertyListValue> parse(const std::string& text)
{
    return PropertyListSerialization::propertyListWithData({ reinterpret_cast<const std::uint8_t*>(text.data()), text.size() });
}

// A binary list from hand-made objects, one-byte references and two-byte offsets.
Bytes binaryList(const std::vector<Bytes>& objects, std::uint64_t top = 0)
{
    Bytes out { 'b', 'p', 'l', 'i', 's', 't', '0', '0' };
    std::vector<std::uint16_t> offsets;
    for (auto& object : objects) {
        offsets.push_back(static_cast<std::uint16_t>(out.size()));
        out.insert(out.end(), object.begin(), object.end());
    }
    std::uint64_t tableStart = out.size();
    for (auto offset : offsets) {
        out.push_back(static_cast<std::uint8_t>(offset >> 8));
        out.push_back(static_cast<std::uint8_t>(offset));
    }
    Bytes trailer(32, 0);
    trailer[6] = 2;
    trailer[7] = 1;
    for (int i = 0; i < 8; ++i) {
        trailer[8 + i] = static_cast<std::uint8_t>(objects.size() >> (56 - 8 * i));
        trailer[16 + i] = static_cast<std::uint8_t>(top >> (56 - 8 * i));
        trailer[24 + i] = static_cast<std::uint8_t>(tableStart >> (56 - 8 * i));
    }
    out.insert(out.end(), trailer.begin(), trailer.end());
    return out;
}

}

TEST(MalformedPropertyList, EmptyGarbageAndNonPropertyListXMLReadAsNone)
{
    for (const char* text : { "", "bplist00", "bplist15xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", "hello", "<plist>", "<plist></plist>",
             "<plist><string>a</string><string>b</string></plist>", "<plist><dict><key>k</key></dict></plist>",
             "<plist><dict><string>v</string><key>k</key></dict></plist>", "<plist><dict>text<key>k</key><true/></dict></plist>",
             "<plist><integer>12x</integer></plist>", "<plist><integer>18446744073709551616</integer></plist>",
             "<plist><integer>-9223372036854775809</integer></plist>", "<plist><real>1.5.2</real></plist>", "<plist><date>2001-13-01T00:00:00Z</date></plist>",
             "<plist><data>AB=C</data></plist>", "<plist><string><b/></string></plist>", "<plist><unknown/></plist>", "<html><body/></html>",
             "<plist><key>k</key></plist>" })
        EXPECT_FALSE(parse(std::string(text))) << text;
}

TEST(MalformedPropertyList, DeepNestingIsRefusedInBothFormatsWithoutExhaustingTheStack)
{
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<array>";
    EXPECT_FALSE(parse("<plist>" + deep + "</plist>"));

    std::string allowed;
    for (unsigned i = 0; i < PropertyListSerialization::maximumDepth; ++i)
        allowed += "<array>";
    for (unsigned i = 0; i < PropertyListSerialization::maximumDepth; ++i)
        allowed += "</array>";
    EXPECT_TRUE(parse("<plist>" + allowed + "</plist>"));

    // Binary: array i holds array i + 1, 600 deep. Two-byte references are needed past 255 objects.
    std::vector<Bytes> objects;
    Bytes out { 'b', 'p', 'l', 'i', 's', 't', '0', '0' };
    std::vector<std::uint32_t> offsets;
    const int depth = 600;
    for (int i = 0; i < depth; ++i) {
        offsets.push_back(static_cast<std::uint32_t>(out.size()));
        if (i + 1 < depth) {
            out.push_back(0xA1);
            out.push_back(static_cast<std::uint8_t>((i + 1) >> 8));
            out.push_back(static_cast<std::uint8_t>(i + 1));
        } else
            out.push_back(0xA0);
    }
    std::uint64_t tableStart = out.size();
    for (auto offset : offsets) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<std::uint8_t>(offset >> shift));
    }
    Bytes trailer(32, 0);
    trailer[6] = 4;
    trailer[7] = 2;
    trailer[14] = depth >> 8;
    trailer[15] = depth & 0xFF;
    for (int i = 0; i < 8; ++i)
        trailer[24 + i] = static_cast<std::uint8_t>(tableStart >> (56 - 8 * i));
    out.insert(out.end(), trailer.begin(), trailer.end());
    auto result = PropertyListSerialization::read(out);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.error().message, "nested too deeply");
}

TEST(MalformedPropertyList, BinaryCyclesOutOfRangeReferencesAndSharedExplosionsAreRefused)
{
    EXPECT_TRUE(parse(binaryList({ { 0xA1, 1 }, { 0x09 } })));
    EXPECT_FALSE(parse(binaryList({ { 0xA1, 0 } }))) << "an array holding itself";
    EXPECT_FALSE(parse(binaryList({ { 0xA1, 1 }, { 0xA1, 0 } }))) << "two arrays holding each other";
    EXPECT_FALSE(parse(binaryList({ { 0xA1, 5 }, { 0x09 } }))) << "reference past the last object";
    EXPECT_FALSE(parse(binaryList({ { 0xD1, 1, 1 }, { 0x10, 1 } }))) << "a key that is not a string";
    EXPECT_FALSE(parse(binaryList({ { 0x5F, 0x10, 0xFF }, { 0x09 } }))) << "string longer than the file";
    EXPECT_FALSE(parse(binaryList({ { 0x6F, 0x13, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF } }))) << "count that overflows when doubled";
    EXPECT_FALSE(parse(binaryList({ { 0x5F, 0x14, 0, 0 } }))) << "count given as a 16-byte integer";
    EXPECT_FALSE(parse(binaryList({ { 0x51, 0xE9 } }))) << "non-ASCII byte in an ASCII string";
    EXPECT_FALSE(parse(binaryList({ { 0x00 } }))) << "null object";
    EXPECT_FALSE(parse(binaryList({ { 0x09 } }, 1))) << "top object past the last";

    // Twenty arrays each holding the next twice describe 2^20 objects in a few hundred bytes.
    std::vector<Bytes> objects;
    for (std::uint8_t i = 0; i < 20; ++i)
        objects.push_back({ 0xA2, static_cast<std::uint8_t>(i + 1), static_cast<std::uint8_t>(i + 1) });
    objects.push_back({ 0x09 });
    auto result = PropertyListSerialization::read(binaryList(objects));
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.error().message == "too many objects" || result.error().message == "expands to too much") << result.error().message;
}

TEST(MalformedPropertyList, EveryTruncationAndEverySingleByteChangeOfTheFixturesReadsWithoutCrashing)
{
    for (const char* name : { "settings.binary.plist", "values.binary.plist", "settings.xml.plist" }) {
        Bytes whole = readBytes(fixture(name));
        ASSERT_TRUE(parse(whole)) << name;
        // A cut can land where a shorter list happens to be whole (at an embedded
        // archive's own trailer, or before XML's last line end), but hardly ever.
        std::size_t acceptedCount = 0;
        for (std::size_t length = 0; length < whole.size(); ++length)
            acceptedCount += parse(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length))).has_value();
        EXPECT_LE(acceptedCount, 3u) << name;
        std::mt19937 random(12345);
        for (std::size_t i = 0; i < whole.size(); ++i) {
            Bytes changed = whole;
            changed[i] = static_cast<std::uint8_t>(random());
            (void)parse(changed);
        }
    }
}

TEST(MalformedPropertyList, RandomBytesAfterTheBinaryMagicReadWithoutCrashing)
{
    std::mt19937 random(2026);
    for (int round = 0; round < 2000; ++round) {
        Bytes bytes { 'b', 'p', 'l', 'i', 's', 't', '0', '0' };
        std::size_t size = 33 + random() % 200;
        for (std::size_t i = 0; i < size; ++i)
            bytes.push_back(static_cast<std::uint8_t>(random()));
        // Give many rounds a plausible trailer so that the object reader is reached.
        if (round % 2) {
            bytes[bytes.size() - 26] = 1;
            bytes[bytes.size() - 25] = 1;
            bytes[bytes.size() - 17] = static_cast<std::uint8_t>(1 + random() % 8);
            bytes[bytes.size() - 9] = 0;
            bytes[bytes.size() - 1] = static_cast<std::uint8_t>(bytes.size() - 32 - bytes[bytes.size() - 17]);
            for (std::size_t i = 1; i <= 7; ++i) {
                bytes[bytes.size() - 17 - i] = 0;
                bytes[bytes.size() - 9 - i] = 0;
                bytes[bytes.size() - 1 - i] = 0;
            }
        }
        (void)parse(bytes);
    }
}

namespace {

// A count marker with its integer: the nibble itself under 15, else a four-byte integer after it.
Bytes marker(std::uint8_t type, std::uint32_t count)
{
    if (count < 15)
        return { static_cast<std::uint8_t>(type << 4 | count) };
    return { static_cast<std::uint8_t>(type << 4 | 0xF), 0x12, static_cast<std::uint8_t>(count >> 24), static_cast<std::uint8_t>(count >> 16),
        static_cast<std::uint8_t>(count >> 8), static_cast<std::uint8_t>(count) };
}

// A valid list whose objects share references: each array holds `counts[i]`
// references to the next object, and the last object is `leaf`. Four-byte offsets.
Bytes sharedReferenceList(const std::vector<std::uint32_t>& counts, const Bytes& leaf)
{
    Bytes out { 'b', 'p', 'l', 'i', 's', 't', '0', '0' };
    std::vector<std::uint32_t> offsets;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        offsets.push_back(static_cast<std::uint32_t>(out.size()));
        Bytes array = marker(0xA, counts[i]);
        out.insert(out.end(), array.begin(), array.end());
        out.insert(out.end(), counts[i], static_cast<std::uint8_t>(i + 1));
    }
    offsets.push_back(static_cast<std::uint32_t>(out.size()));
    out.insert(out.end(), leaf.begin(), leaf.end());
    std::uint64_t tableStart = out.size();
    for (auto offset : offsets) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<std::uint8_t>(offset >> shift));
    }
    Bytes trailer(32, 0);
    trailer[6] = 4;
    trailer[7] = 1;
    trailer[15] = static_cast<std::uint8_t>(offsets.size());
    for (int i = 0; i < 8; ++i)
        trailer[24 + i] = static_cast<std::uint8_t>(tableStart >> (56 - 8 * i));
    out.insert(out.end(), trailer.begin(), trailer.end());
    return out;
}

Bytes leafOf(std::uint8_t type, std::uint32_t size, std::uint8_t fill)
{
    Bytes leaf = marker(type, size);
    leaf.insert(leaf.end(), size, fill);
    return leaf;
}

}

TEST(MalformedPropertyList, SharedReferencesThatWouldExpandToGigabytesReadAsMalformed)
{
    // 1024 references to an array of 1023 references to one 8 KB data object: a 10 KB file, 8 GB expanded.
    Bytes amplified = sharedReferenceList({ 1024, 1023 }, leafOf(0x4, 8192, 0xAB));
    EXPECT_LT(amplified.size(), 12u * 1024);
    auto result = PropertyListSerialization::read(amplified);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.error().message, "expands to too much");

    // One 64 KiB string referenced 100,000 times: 165 KB for 6.5 GB.
    Bytes strings = sharedReferenceList({ 100000 }, leafOf(0x5, 65536, 'a'));
    result = PropertyListSerialization::read(strings);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.error().message, "expands to too much");

    // The same shapes at a sane size read whole.
    auto modest = PropertyListSerialization::read(sharedReferenceList({ 16, 16 }, leafOf(0x4, 1024, 0xAB)));
    ASSERT_TRUE(modest) << modest.error().message;
    ASSERT_EQ(modest->value.asArray()->size(), 16u);
    EXPECT_EQ((*modest->value.asArray())[15].asArray()->at(15).asData()->size(), 1024u);
}

namespace {

// A dictionary of `count` keys, each with a one-letter string.
PropertyListValue dictionaryOfKeys(std::size_t count)
{
    PropertyListValue::Dictionary entries;
    char key[32];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(key, sizeof key, "k%07zu", i);
        entries.emplace(key, PropertyListValue::string("v"));
    }
    return PropertyListValue::dictionary(std::move(entries));
}

}

// One budget for every reader and writer: a list within it reads back from
// either format, and one beyond it is neither read, in either format, nor
// written, so that no file made here is one the readers then refuse.
TEST(MalformedPropertyList, EveryFormatReadsAndWritesWithinOneBudget)
{
    auto within = dictionaryOfKeys(200000);
    for (auto format : { PropertyListFormat::XML, PropertyListFormat::Binary }) {
        auto data = PropertyListSerialization::dataWithPropertyList(within, format);
        ASSERT_TRUE(data);
        auto read = PropertyListSerialization::read(*data);
        ASSERT_TRUE(read) << read.error().message;
        EXPECT_EQ(read->value.asDictionary()->size(), 200000u);
    }

    // 600,000 keys and their values: past the budget, in objects and in bytes.
    auto beyond = dictionaryOfKeys(600000);
    EXPECT_FALSE(PropertyListSerialization::dataWithPropertyList(beyond, PropertyListFormat::XML));
    EXPECT_FALSE(PropertyListSerialization::dataWithPropertyList(beyond, PropertyListFormat::Binary));
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>";
    for (std::size_t i = 0; i < 600000; ++i)
        xml += "<key>k" + std::to_string(i) + "</key><string>v</string>";
    xml += "</dict></plist>\n";
    auto read = PropertyListSerialization::read(bytesOf(xml));
    EXPECT_FALSE(read);
    EXPECT_TRUE(read.error().message.find("too many objects") != std::string::npos || read.error().message.find("expands to too much") != std::string::npos)
        << read.error().message;
}
