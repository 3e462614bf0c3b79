#include <store/PaletteIndex.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <tincture/FlatPalette.h>
#include <tincture/UIColor+Tincture.h>

TEST(PaletteIndex, ZeroPassesTheSystemColourItselfAndOutOfRangeGivesNone)
{
    auto system = UIColor::colorWithRed(0.1, 0.2, 0.3, 0.4);
    EXPECT_EQ(colorInt(0, system.ptr()).get(), system.ptr()) << "the very object";
    EXPECT_FALSE(colorInt(0, nullptr));
    EXPECT_FALSE(colorInt(49, system.ptr()));
    EXPECT_FALSE(colorInt(-1, system.ptr()));
    EXPECT_FALSE(colorInt(std::numeric_limits<std::int64_t>::min(), system.ptr()));
}

TEST(PaletteIndex, IndicesNameTheirFlatColoursWithThirtyOneAndThirtyFourAsStored)
{
    auto equal = [](std::int64_t index, Ref<UIColor> expected) { return colorInt(index, nullptr)->isEqual(expected.ptr()); };
    EXPECT_TRUE(equal(1, tincture::flatRedColor()));
    EXPECT_TRUE(equal(24, tincture::flatBlueColor()));
    EXPECT_TRUE(equal(25, tincture::flatRedColorDark()));
    EXPECT_TRUE(equal(48, tincture::flatBlueColorDark()));
    EXPECT_TRUE(equal(31, tincture::flatMaroonColorDark()));
    EXPECT_TRUE(equal(34, tincture::flatForestGreenColorDark()));
    EXPECT_TRUE(colorInt(31, nullptr)->isEqual(colorInt(45, nullptr).get()));
    EXPECT_TRUE(colorInt(34, nullptr)->isEqual(colorInt(38, nullptr).get()));

    // 46 distinct colours: the dark magenta and dark green are never produced.
    std::vector<Ref<UIColor>> distinct;
    for (std::int64_t index = 1; index <= 48; ++index) {
        auto color = colorInt(index, UIColor::blackColor().ptr());
        ASSERT_TRUE(color);
        EXPECT_EQ(color->alpha(), 1.0);
        EXPECT_TRUE(color->isEqual(colorInt(index, UIColor::whiteColor().ptr()).get())) << "whatever system colour is passed";
        bool isNew = std::none_of(distinct.begin(), distinct.end(), [&](auto& seen) { return seen->isEqual(color.get()); });
        if (isNew)
            distinct.push_back(color.releaseNonNull());
    }
    EXPECT_EQ(distinct.size(), 46u);
    for (auto& color : distinct) {
        EXPECT_FALSE(color->isEqual(tincture::flatMagentaColorDark().ptr()));
        EXPECT_FALSE(color->isEqual(tincture::flatGreenColorDark().ptr()));
    }
}

TEST(PaletteIndex, FortyNineLabelsInIndexOrder)
{
    EXPECT_STREQ(kColorNames[0], "Default");
    EXPECT_STREQ(kColorNames[1], "Red");
    EXPECT_STREQ(kColorNames[25], "Dark Red");
    EXPECT_STREQ(kColorNames[31], "Dark Magenta");
    EXPECT_STREQ(kColorNames[34], "Dark Green");
    EXPECT_STREQ(kColorNames[48], "Dark Blue");
}

namespace {

std::string withoutSpaces(std::string text)
{
    std::erase(text, ' ');
    return text;
}

std::optional<std::size_t> positionOf(const RefPtr<UIColor>& color)
{
    return color ? tincture::flatPalettePositionOf(*color) : std::nullopt;
}

}

// One table owns the palette: each accessor gives the entry of its own name,
// each index label names the entry its index gives (but for the two stored
// quirks), and the nearest flat colour of every entry is the entry itself.
TEST(PaletteIndex, TheAccessorsNamesLabelsAndNearestSearchAgree)
{
    std::vector<std::pair<std::string, Ref<UIColor> (*)()>> accessors;
#define ACCESSOR_PAIR(Name, ...)                                                                                                                               \
    accessors.emplace_back("flat" #Name "Color", &tincture::flat##Name##Color);                                                                                \
    accessors.emplace_back("flat" #Name "ColorDark", &tincture::flat##Name##ColorDark);
    TINCTURE_FLAT_COLORS(ACCESSOR_PAIR)
#undef ACCESSOR_PAIR
    ASSERT_EQ(accessors.size(), 48u);
    for (auto& [name, accessor] : accessors) {
        auto position = positionOf(accessor().ptr());
        ASSERT_TRUE(position) << name;
        EXPECT_EQ(tincture::flatPalette[*position].name, name);
        EXPECT_EQ(name, "flat" + withoutSpaces(tincture::flatPalette[*position].label) + (name.ends_with("Dark") ? "ColorDark" : "Color"));
        EXPECT_EQ(positionOf(tincture::colorWithFlatVersionOf(accessor().ptr())), position) << name << " is its own nearest flat colour";
    }

    for (std::int64_t index = 1; index <= 48; ++index) {
        std::string label = kColorNames[static_cast<std::size_t>(index)];
        bool isDark = label.starts_with("Dark ");
        std::string expected = "flat" + withoutSpaces(isDark ? label.substr(5) : label) + (isDark ? "ColorDark" : "Color");
        if (index == 31)
            expected = "flatMaroonColorDark";
        if (index == 34)
            expected = "flatForestGreenColorDark";
        auto position = positionOf(colorInt(index, nullptr));
        ASSERT_TRUE(position) << index;
        EXPECT_EQ(tincture::flatPalette[*position].name, expected) << index << " " << label;
    }
}
