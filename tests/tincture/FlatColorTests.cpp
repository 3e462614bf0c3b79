#include <tincture/UIColor+Tincture.h>

#include <gtest/gtest.h>

#include <random>

#include <UIColor+TincturePrivate.h>
#include <tincture/NSArray+Tincture.h>

#include "ColorTestSupport.h"

using namespace tincture;

namespace {

int positionOfNearest(double red, double green, double blue)
{
    auto color = UIColor::colorWithRed(red, green, blue, 1);
    return positionOf(colorWithFlatVersionOf(color.ptr()).get());
}

// The search as written before its palette values were kept: every call
// builds the 48 colours, converts each and measures all 48 distances.
int naiveNearestPosition(double l, double a, double b)
{
    auto palette = flatColors();
    float best = 1000000.0f;
    int bestPosition = 0;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        double pl, pa, pb;
        getLightness(palette[i].ptr(), &pl, &pa, &pb, nullptr);
        float distance = totalSumOfDifferencesFroml1(l, pl, a, pa, b, pb);
        if (distance < best) {
            best = distance;
            bestPosition = static_cast<int>(i);
        }
    }
    return bestPosition;
}

}

TEST(FlatPalette, FortyEightOpaqueColoursInListOrderWithTheirExactValues)
{
    auto palette = flatColors();
    ASSERT_EQ(palette.size(), 48u);
    EXPECT_EQ(positionOf(flatBlackColor().ptr()), 0);
    EXPECT_EQ(positionOf(flatBlackColorDark().ptr()), 1);
    EXPECT_EQ(positionOf(flatRedColorDark().ptr()), 35);
    EXPECT_EQ(positionOf(flatYellowColorDark().ptr()), 47);
    for (auto& color : palette)
        EXPECT_EQ(rgba(color.ptr())[3], 1.0);

    EXPECT_EQ(rgba(flatBlackColor().ptr()), (std::array<CGFloat, 4> { 0.17000000178813934, 0.17000000178813934, 0.17000000178813934, 1 }));
    EXPECT_EQ(rgba(flatBlackColorDark().ptr()), (std::array<CGFloat, 4> { 0.15000000596046448, 0.15000000596046448, 0.15000000596046448, 1 }));
    auto yellow = rgba(flatYellowColorDark().ptr());
    EXPECT_EQ(yellow[0], 1.0);
    EXPECT_NEAR(yellow[1], 2.0 / 3.0, 1e-7);
    EXPECT_EQ(yellow[2], 0.0);

    // 224 degrees, 63 percent: the single-precision quotients, widened.
    CGFloat hue, saturation, brightness;
    flatBlueColor()->getHue(&hue, &saturation, &brightness, nullptr);
    EXPECT_NEAR(hue, 0.6222222447395325, 1e-15);
    EXPECT_EQ(brightness, 0.6299999952316284);
    EXPECT_NE(flatBlueColor().ptr(), flatBlueColor().ptr()) << "a new object on every call";
    EXPECT_EQ(array::flatColors().size(), 48u);
}

TEST(ColorConversion, WhiteBlackAndVeryDarkGreyConvertAsTheStandardsGive)
{
    auto white = arrayOfXYZValuesForR(1, 1, 1, 0.5);
    EXPECT_NEAR(white[0], 95.05, 1e-9);
    EXPECT_NEAR(white[1], 100.0, 1e-9);
    EXPECT_NEAR(white[2], 108.9, 1e-9);
    EXPECT_EQ(white[3], 0.5);
    auto whiteLab = arrayOfLABValuesForX(white[0], white[1], white[2], white[3]);
    EXPECT_NEAR(whiteLab[0], 100, 1e-9);
    EXPECT_NEAR(whiteLab[1], 0, 1e-9);
    EXPECT_NEAR(whiteLab[2], 0, 1e-9);
    EXPECT_EQ(arrayOfXYZValuesForR(0, 0, 0, 1), (std::array<double, 4> { 0, 0, 0, 1 }));
    EXPECT_EQ(arrayOfLABValuesForX(0, 0, 0, 1), (std::array<double, 4> { 0, 0, 0, 1 }));

    // Luminance below (6/29)^3 takes the linear branch: a small positive L, not 0.
    double l, a, b, alpha;
    ASSERT_TRUE(getLightness(UIColor::colorWithWhite(0.005, 1).ptr(), &l, &a, &b, &alpha));
    EXPECT_GT(l, 0);
    EXPECT_LT(l, 1);
    EXPECT_NEAR(l, 903.3 * (0.005 / 12.92) * 100 / 100, 0.01); // the CIE linear segment, kappa = (29/3)^3

    EXPECT_FALSE(getLightness(nullptr, &l, &a, &b, &alpha));
    double x, y, z;
    ASSERT_TRUE(getValueForX(UIColor::colorWithRed(1, 0, 0, 0.25).ptr(), &x, &y, &z, &alpha));
    EXPECT_NEAR(x, 41.24, 1e-9);
    EXPECT_EQ(alpha, 0.25);
}

TEST(NearestFlatColor, KnownColoursSnapToTheirFlatNeighbours)
{
    EXPECT_EQ(positionOfNearest(1, 1, 1), positionOf(flatWhiteColor().ptr()));
    EXPECT_EQ(positionOfNearest(0, 0, 0), positionOf(flatBlackColorDark().ptr()));
    EXPECT_EQ(positionOfNearest(1, 0, 0), positionOf(flatRedColor().ptr()));
    EXPECT_EQ(positionOfNearest(0, 1, 0), positionOf(flatGreenColor().ptr()));
    EXPECT_EQ(positionOfNearest(0, 0, 1), positionOf(flatPurpleColorDark().ptr()));
    EXPECT_EQ(positionOfNearest(1, 1, 0), positionOf(flatYellowColor().ptr()));
    EXPECT_EQ(positionOfNearest(0, 1, 1), positionOf(flatMintColor().ptr()));
    EXPECT_EQ(positionOfNearest(1, 0, 1), positionOf(flatPinkColor().ptr()));
    EXPECT_EQ(positionOfNearest(0.5, 0.5, 0.5), positionOf(flatGrayColorDark().ptr()));
}

TEST(NearestFlatColor, EveryPaletteColourFlattensToItself)
{
    auto palette = flatColors();
    for (std::size_t i = 0; i < palette.size(); ++i)
        EXPECT_EQ(positionOf(flatten(palette[i].ptr()).get()), static_cast<int>(i)) << i;
}

TEST(NearestFlatColor, AlphaFollowsTheOperation)
{
    auto translucent = UIColor::colorWithRed(1, 0, 0, 0.5);
    EXPECT_EQ(rgba(colorWithFlatVersionOf(translucent.ptr(), 0.3).get())[3], 0.3);
    EXPECT_EQ(rgba(colorWithFlatVersionOf(translucent.ptr()).get())[3], 1.0);
    EXPECT_EQ(rgba(flatten(translucent.ptr()).get())[3], 0.5);
    EXPECT_EQ(rgba(flatten(UIColor::colorWithRed(1, 0, 0, 0).ptr()).get())[3], 1.0);
    EXPECT_EQ(rgba(array::colorWithFlatVersionOf(translucent.ptr()).get())[3], 1.0);
    EXPECT_FALSE(colorWithFlatVersionOf(nullptr, 1));
    EXPECT_FALSE(flatten(nullptr));
    // Distances of a million or more, or not a number, leave the first entry.
    EXPECT_EQ(positionOf(nearestFlatColorForL(std::nan(""), 0, 0, 1).ptr()), 0);
}

namespace {

// How often the pruned search and the naive one disagree over random colours.
int mismatchesOverRandomColours(int count, std::uint64_t seed)
{
    std::vector<std::array<CGFloat, 4>> paletteRGBA;
    for (auto& color : flatColors())
        paletteRGBA.push_back(rgba(color.ptr()));
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> component(0, 1);
    int mismatches = 0;
    for (int i = 0; i < count; ++i) {
        double l, a, b;
        auto color = UIColor::colorWithRed(component(random), component(random), component(random), 1);
        getLightness(color.ptr(), &l, &a, &b, nullptr);
        if (rgba(nearestFlatColorForL(l, a, b, 1).ptr()) != paletteRGBA[naiveNearestPosition(l, a, b)])
            ++mismatches;
    }
    return mismatches;
}

}

// Enough colours to catch a search that prunes too eagerly (a lightness
// weight of 1.3 where 1.75 is the bound misses about one colour in 800).
TEST(NearestFlatColor, KeepingThePalettesValuesMatchesTheNaiveSearchOverRandomColours)
{
    EXPECT_EQ(mismatchesOverRandomColours(20000, 1998), 0);
}

TEST(NearestFlatColor, KeepingThePalettesValuesMatchesTheNaiveSearchOverAMillionRandomColours)
{
    EXPECT_EQ(mismatchesOverRandomColours(1000000, 20051), 0);
}

TEST(ColorComponents, GreyRGBAndUnsupportedModelsReadAsTheyShould)
{
    CGFloat components[4];
    getRGBAComponents(UIColor::colorWithWhite(0.3, 0.8).ptr(), components);
    EXPECT_EQ((std::array<CGFloat, 4> { components[0], components[1], components[2], components[3] }), (std::array<CGFloat, 4> { 0.3, 0.3, 0.3, 0.8 }));

    auto cmyk = UIColor::colorWithCGColor(CGColor::create(CGColorSpaceModel::CMYK, { 0.1, 0.2, 0.3, 0.4, 1 }));
    testing::internal::CaptureStderr();
    getRGBAComponents(cmyk.ptr(), components);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Unsupported color model: 2\n");
    EXPECT_EQ((std::array<CGFloat, 4> { components[0], components[1], components[2], components[3] }), (std::array<CGFloat, 4> { 0, 0, 0, 1 }));
    EXPECT_FALSE(isMonochromeOrRGB(cmyk.ptr()));
    EXPECT_TRUE(isMonochromeOrRGB(UIColor::whiteColor().ptr()));

    EXPECT_EQ(RGBAValue(UIColor::colorWithRed(1, 1, 1, 1).ptr()), 0xFFFFFFFFu);
    EXPECT_EQ(RGBAValue(UIColor::colorWithRed(0.5, 0, 0, 1).ptr()), 0x7F0000FFu);
    EXPECT_EQ(RGBAValue(UIColor::colorWithWhite(1, 0).ptr()), 0xFFFFFF00u);
}
