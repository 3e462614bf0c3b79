#include <foundation/PropertyListSerialization.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TestSupport.h"

namespace {

using V = PropertyListValue;

// What tests/fixtures/make_fixtures.py wrote with Python's plistlib.
V expectedValues()
{
    V::Array integers;
    for (std::int64_t value :
        { std::int64_t(0), std::int64_t(1), std::int64_t(255), std::int64_t(256), std::int64_t(65535), std::int64_t(65536), std::int64_t(4294967295),
            std::int64_t(4294967296), std::int64_t(-1), std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max() })
        integers.push_back(V::integer(value));
    integers.push_back(V::unsignedInteger(18446744073709551615ull));

    NSData bytes;
    for (int i = 0; i < 256; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i));
    V::Array longArray;
    for (int i = 0; i < 20; ++i)
        longArray.push_back(V::integer(i));

    V nested = V::dictionary({ { "a",
        V::dictionary({ { "b",
            V::dictionary({ { "c",
                V::array(
                    { V::array({}), V::dictionary({}), V::array({ V::integer(1), V::array({ V::integer(2), V::array({ V::integer(3) }) }) }) }) } }) } }) } });

    return V::dictionary({
        { "booleans", V::array({ V::boolean(true), V::boolean(false) }) },
        { "integers", V::array(std::move(integers)) },
        { "reals", V::array({ V::real(0.0), V::real(0.1), V::real(-2.5), V::real(1e300), V::real(5e-324) }) },
        { "strings",
            V::array({ V::string(""), V::string("plain"), V::string("  spaced  "), V::string("caf\u00e9"), V::string("\U0001F600 face"), V::string("a&b<c>"),
                V::string("line\nbreak") }) },
        { "data", V::array({ V::data({}), V::data(bytes) }) },
        { "dates", V::array({ V::date(0), V::date(818411852), V::date(-992490140) }) },
        { "long array", V::array(std::move(longArray)) },
        { "nested", nested },
    });
}

V readFixture(const std::string& name, PropertyListFormat expectedFormat)
{
    auto result = PropertyListSerialization::readFile(fixture(name));
    EXPECT_TRUE(result) << name << ": " << result.error().message;
    if (!result)
        return V();
    EXPECT_EQ(result->format, expectedFormat) << name;
    return result->value;
}

}

TEST(PropertyListSerialization, FilesWrittenByPythonsPlistlibReadAsWrittenInBothFormats)
{
    V expected = expectedValues();
    EXPECT_EQ(readFixture("values.xml.plist", PropertyListFormat::XML), expected);
    EXPECT_EQ(readFixture("values.binary.plist", PropertyListFormat::Binary), expected);
    EXPECT_EQ(readFixture("settings.xml.plist", PropertyListFormat::XML), readFixture("settings.binary.plist", PropertyListFormat::Binary));
}

TEST(PropertyListSerialization, WhatWeWriteReadsBackTheSameInBothFormats)
{
    V values = expectedValues();
    values.mutableDictionary().emplace("single", V::singlePrecisionReal(0.1f));
    values.mutableDictionary().emplace("uid", V::uid(70000));
    values.mutableDictionary().emplace("controls", V::string("carriage\rreturn\ttab\x01"));
    values.mutableDictionary().emplace("not a number", V::array({ V::real(std::nan("")), V::date(std::nan("")) }));
    for (auto format : { PropertyListFormat::XML, PropertyListFormat::Binary }) {
        auto data = PropertyListSerialization::dataWithPropertyList(values, format);
        ASSERT_TRUE(data);
        auto result = PropertyListSerialization::read(*data);
        ASSERT_TRUE(result) << result.error().message;
        EXPECT_EQ(result->format, format);
        V expected = values;
        if (format == PropertyListFormat::XML) {
            // XML keeps no precision (the value comes back as a double) and has no text for a date that is not a number.
            expected.mutableDictionary().insert_or_assign("single", V::real(0.1f));
            expected.mutableDictionary().insert_or_assign("not a number", V::array({ V::real(std::nan("")), V::date(0) }));
        }
        EXPECT_EQ(result->value, expected);
    }
}

TEST(PropertyListSerialization, BinaryCountsAndReferencesWidenPastTheirSmallForms)
{
    // 300 distinct objects need two-byte references; 70000 bytes of data need a four-byte count and offsets.
    V::Array many { V::data(NSData(70000, 0xAB)) };
    for (int i = 0; i < 300; ++i)
        many.push_back(V::string("item " + std::to_string(i)));
    V value = V::array(std::move(many));
    auto data = PropertyListSerialization::dataWithPropertyList(value, PropertyListFormat::Binary);
    ASSERT_TRUE(data);
    EXPECT_EQ((*data)[data->size() - 25], 2); // object reference size
    EXPECT_EQ((*data)[data->size() - 26], 4); // offset size
    EXPECT_EQ(PropertyListSerialization::propertyListWithData(*data), value);
}

TEST(PropertyListSerialization, TheXMLWeWriteIsApplesLayout)
{
    auto data = PropertyListSerialization::dataWithPropertyList(
        V::dictionary({ { "isEnabled", V::boolean(false) }, { "shortcutTitleColor", V::integer(25) } }), PropertyListFormat::XML);
    std::string text(data->begin(), data->end());
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\"", 0), 0u);
    EXPECT_NE(text.find("<plist version=\"1.0\">"), std::string::npos);
    EXPECT_NE(text.find("<key>isEnabled</key>\n\t\t<false />"), std::string::npos);
    EXPECT_NE(text.find("<integer>25</integer>"), std::string::npos);
}

TEST(PropertyListSerialization, XMLKeepsWhiteSpaceInStringsAndReadsCoreFoundationsSpellings)
{
    std::string xml = "<plist version=\"1.0\"><dict>"
                      "<key>space</key><string>  \n  </string>"
                      "<key>cdata</key><string>a<![CDATA[<b>]]>c</string>"
                      "<key>hex</key><integer>0x1F</integer>"
                      "<key>negative</key><integer> -42 </integer>"
                      "<key>infinity</key><real>-infinity</real>"
                      "<key>uid</key><dict><key>CF$UID</key><integer>3</integer></dict>"
                      "<key>empty</key><string/>"
                      "</dict></plist>";
    auto value = PropertyListSerialization::propertyListWithData({ reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size() });
    ASSERT_TRUE(value);
    EXPECT_EQ(*value->objectForKey("space")->asString(), "  \n  ");
    EXPECT_EQ(*value->objectForKey("cdata")->asString(), "a<b>c");
    EXPECT_EQ(value->objectForKey("hex")->asInteger(), 31);
    EXPECT_EQ(value->objectForKey("negative")->asInteger(), -42);
    EXPECT_EQ(value->objectForKey("infinity")->asReal(), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(value->objectForKey("uid")->asUID(), 3u);
    EXPECT_EQ(*value->objectForKey("empty")->asString(), "");
}

TEST(PropertyListSerialization, IllFormedUTF8InXMLReadsAsReplacementCharactersThatBothFormatsKeep)
{
    std::string xml = "<plist><dict><key>k\xFF</key><string>a\xC3(b\xF0\x9F\x98\x80</string></dict></plist>";
    auto value = PropertyListSerialization::propertyListWithData({ reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size() });
    ASSERT_TRUE(value);
    V expected = V::dictionary({ { "k\uFFFD", V::string("a\uFFFD(b\U0001F600") } });
    EXPECT_EQ(*value, expected);
    auto binary = PropertyListSerialization::dataWithPropertyList(*value, PropertyListFormat::Binary);
    EXPECT_EQ(PropertyListSerialization::propertyListWithData(*binary), expected);
}

TEST(PropertyListValue, ConversionsFollowNSNumberAndNSString)
{
    EXPECT_EQ(V::string(" +0042abc").integerValue(), 42);
    EXPECT_EQ(V::string("-99999999999999999999").integerValue(), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(V::string("99999999999999999999").integerValue(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(V::string("x1").integerValue(), 0);
    EXPECT_EQ(V::real(-2.9).integerValue(), -2);
    EXPECT_EQ(V::real(1e300).integerValue(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(V::boolean(true).integerValue(), 1);
    EXPECT_EQ(V::data({ 1 }).integerValue(), std::nullopt);

    for (const char* yes : { "YES", "yes", "true", "T", " 1", "007", "-3", "Yesterday" })
        EXPECT_EQ(V::string(yes).boolValue(), true) << yes;
    for (const char* no : { "NO", "false", "0", "000", "", "  ", "x" })
        EXPECT_EQ(V::string(no).boolValue(), false) << no;
    EXPECT_EQ(V::integer(2).boolValue(), true);
    EXPECT_EQ(V::real(0.0).boolValue(), false);
    EXPECT_EQ(V::date(0).boolValue(), std::nullopt);
}
