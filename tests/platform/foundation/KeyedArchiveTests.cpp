#include <foundation/NSKeyedArchiver.h>

#include <gtest/gtest.h>

#include <cmath>

#include <foundation/PropertyListSerialization.h>
#include <uikit/UIColor.h>

#include "TestSupport.h"

namespace {

RefPtr<UIColor> unarchivedColor(const std::vector<std::uint8_t>& data)
{
    return objc_dynamicCast<UIColor>(NSKeyedUnarchiver::unarchiveObjectWithData(data));
}

void expectRGBA(const UIColor* color, double red, double green, double blue, double alpha)
{
    ASSERT_TRUE(color);
    double r, g, b, a;
    ASSERT_TRUE(color->getRed(&r, &g, &b, &a));
    EXPECT_EQ(r, red);
    EXPECT_EQ(g, green);
    EXPECT_EQ(b, blue);
    EXPECT_EQ(a, alpha);
}

}

TEST(NSKeyedUnarchiver, ColoursArchivedInTheDevicesLayoutByAnotherWriterDecode)
{
    // The exact doubles, not their single-precision neighbours.
    expectRGBA(unarchivedColor(readBytes(fixture("colour-rgb.bplist"))).get(), 0.1, 0.5, 0.7, 1.0);

    auto grey = unarchivedColor(readBytes(fixture("colour-grey.bplist")));
    ASSERT_TRUE(grey);
    double white, alpha;
    ASSERT_TRUE(grey->getWhite(&white, &alpha));
    EXPECT_EQ(white, 0.25);
    EXPECT_EQ(alpha, 0.5);

    expectRGBA(unarchivedColor(readBytes(fixture("colour-text-only.bplist"))).get(), 1, 0.5, 0, 0.25);
}

TEST(NSKeyedUnarchiver, DataThatIsNotSuchAnArchiveDecodesToNone)
{
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(readBytes(fixture("not-a-colour.bplist"))));
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(readBytes(fixture("settings.binary.plist"))));
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData({}));
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(nullptr)));

    auto archive = [](PropertyListValue::Dictionary fields) {
        fields.emplace("$class", PropertyListValue::uid(2));
        PropertyListValue::Dictionary top { { "$archiver", PropertyListValue::string("NSKeyedArchiver") }, { "$version", PropertyListValue::integer(100000) },
            { "$top", PropertyListValue::dictionary({ { "root", PropertyListValue::uid(1) } }) },
            { "$objects",
                PropertyListValue::array({ PropertyListValue::string("$null"), PropertyListValue::dictionary(std::move(fields)),
                    PropertyListValue::dictionary({ { "$classname", PropertyListValue::string("UIColor") } }) }) } };
        return *PropertyListSerialization::dataWithPropertyList(PropertyListValue::dictionary(std::move(top)), PropertyListFormat::Binary);
    };
    EXPECT_TRUE(NSKeyedUnarchiver::unarchiveObjectWithData(archive({ { "UIWhite", PropertyListValue::real(1) } })));
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(archive({}))) << "no components";
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(
        archive({ { "UIRed", PropertyListValue::string("1") }, { "UIGreen", PropertyListValue::real(0) }, { "UIBlue", PropertyListValue::real(0) } })))
        << "a component that is not a number";
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(archive({ { "UIWhite", PropertyListValue::real(std::nan("")) } }))) << "not a number";
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(archive({ { "NSRGB", PropertyListValue::data({ 'x' }) } }))) << "unreadable text";

    auto whole = NSKeyedArchiver::archivedDataWithRootObject(UIColor::colorWithRed(0.2, 0.4, 0.6, 0.8).ptr());
    for (std::size_t length = 0; length < whole.size(); ++length)
        EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(std::span(whole.data(), length)));
}

TEST(NSKeyedArchiver, ColoursArchiveInTheDevicesLayoutAndDecodeExactly)
{
    auto data = NSKeyedArchiver::archivedDataWithRootObject(UIColor::colorWithRed(1, 0.1, 0, 0.5).ptr());
    auto archive = PropertyListSerialization::read(data);
    ASSERT_TRUE(archive);
    ASSERT_EQ(archive->format, PropertyListFormat::Binary);
    EXPECT_EQ(*archive->value.objectForKey("$archiver")->asString(), "NSKeyedArchiver");
    EXPECT_EQ(archive->value.objectForKey("$version")->asInteger(), 100000);
    EXPECT_EQ(archive->value.objectForKey("$top")->objectForKey("root")->asUID(), 1u);
    auto& objects = *archive->value.objectForKey("$objects")->asArray();
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(*objects[0].asString(), "$null");
    const PropertyListValue& color = objects[1];
    EXPECT_EQ(color.objectForKey("UIColorComponentCount")->asInteger(), 4);
    EXPECT_EQ(color.objectForKey("NSColorSpace")->asInteger(), 2);
    EXPECT_TRUE(color.objectForKey("UIRed")->isSinglePrecisionReal());
    EXPECT_EQ(color.objectForKey("UIGreen")->asReal(), static_cast<double>(0.1f));
    EXPECT_EQ(color.objectForKey("UIGreen-Double")->asReal(), 0.1);
    EXPECT_FALSE(color.objectForKey("UIRed-Double")) << "1.0 is exact in single precision";
    auto& rgb = *color.objectForKey("NSRGB")->asData();
    EXPECT_EQ(std::string(rgb.begin(), rgb.end()), "1 0.1 0 0.5");
    EXPECT_EQ(color.objectForKey("$class")->asUID(), 2u);
    EXPECT_EQ(*objects[2].objectForKey("$classname")->asString(), "UIColor");
    EXPECT_EQ(*objects[2].objectForKey("$classes"), PropertyListValue::array({ PropertyListValue::string("UIColor"), PropertyListValue::string("NSObject") }));

    expectRGBA(unarchivedColor(data).get(), 1, 0.1, 0, 0.5);

    auto grey = NSKeyedArchiver::archivedDataWithRootObject(UIColor::colorWithWhite(1.0 / 3, 1).ptr());
    auto greyArchive = PropertyListSerialization::propertyListWithData(grey);
    auto& greyFields = (*greyArchive->objectForKey("$objects")->asArray())[1];
    EXPECT_EQ(greyFields.objectForKey("UIColorComponentCount")->asInteger(), 2);
    EXPECT_EQ(greyFields.objectForKey("NSColorSpace")->asInteger(), 4);
    auto& whiteText = *greyFields.objectForKey("NSWhite")->asData();
    EXPECT_EQ(std::string(whiteText.begin(), whiteText.end()), "0.333");
    auto decoded = unarchivedColor(grey);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->isEqual(UIColor::colorWithWhite(1.0 / 3, 1).ptr()));

    // CMYK as NSColor archives it.
    auto cmyk = UIColor::colorWithCGColor(CGColor::create(CGColorSpaceModel::CMYK, { 0, 0.5, 1, 0.25, 1 }));
    auto decodedCMYK = unarchivedColor(NSKeyedArchiver::archivedDataWithRootObject(cmyk.ptr()));
    ASSERT_TRUE(decodedCMYK);
    EXPECT_TRUE(decodedCMYK->isEqual(cmyk.ptr()));
}
