#include <tincture/UIColor+Tincture.h>

#include <gtest/gtest.h>

#include <cmath>

#include <UIColor+TincturePrivate.h>
#include <tincture/TinctureCountedColor.h>

#include "ColorTestSupport.h"

using namespace tincture;

namespace {

CGFloat brightnessOf(const UIColor* color)
{
    CGFloat brightness = -1;
    color->getHue(nullptr, nullptr, &brightness, nullptr);
    return brightness;
}

bool isSameRGBA(const UIColor* a, const UIColor* b)
{
    return rgba(a) == rgba(b);
}

}

TEST(ComplementaryFlatColor, TheOppositeHueInWholeDegreesThenItsFlatVersion)
{
    // flatRedColor is 6 degrees: the opposite is built from 186 before flattening.
    auto red = flatRedColor();
    CGFloat s, b;
    red->getHue(nullptr, &s, &b, nullptr);
    auto opposite = UIColor::colorWithHue(186.0 / 360, std::round(static_cast<float>(s * 100)) / 100.0, std::round(static_cast<float>(b * 100)) / 100.0, 0.5);
    EXPECT_TRUE(isSameRGBA(colorWithComplementaryFlatColorOf(red.ptr(), 0.5).get(), colorWithFlatVersionOf(opposite.ptr(), 0.5).get()));

    auto at200 = UIColor::colorWithHue(200.0 / 360, 0.5, 0.6, 1);
    EXPECT_TRUE(
        isSameRGBA(colorWithComplementaryFlatColorOf(at200.ptr()).get(), colorWithFlatVersionOf(UIColor::colorWithHue(20.0 / 360, 0.5, 0.6, 1).ptr()).get()));
    // 180 degrees maps to 360, which the conversion takes as 0.
    auto at180 = UIColor::colorWithHue(0.5, 0.5, 0.6, 1);
    EXPECT_TRUE(isSameRGBA(colorWithComplementaryFlatColorOf(at180.ptr()).get(), colorWithFlatVersionOf(UIColor::colorWithHue(0, 0.5, 0.6, 1).ptr()).get()));

    auto transparent = UIColor::colorWithRed(1, 0, 0, 0);
    EXPECT_TRUE(colorWithComplementaryFlatColorOf(transparent.ptr(), 0.8)->isEqual(UIColor::clearColor().ptr()));
}

TEST(ContrastingColor, DarkOnLightBackgroundsLightOnDarkOnesAndClearForNoAlpha)
{
    auto isBlack = [](const UIColor* color) { return rgba(color) == std::array<CGFloat, 4> { 0, 0, 0, 1 }; };
    auto isWhite = [](const UIColor* color) { return rgba(color) == std::array<CGFloat, 4> { 1, 1, 1, 1 }; };
    EXPECT_TRUE(isBlack(colorWithContrastingBlackOrWhiteColorOn(UIColor::whiteColor().ptr(), Flat::No).ptr()));
    EXPECT_TRUE(isBlack(colorWithContrastingBlackOrWhiteColorOn(UIColor::colorWithRed(0, 1, 0, 1).ptr(), Flat::No).ptr()));
    EXPECT_TRUE(isWhite(colorWithContrastingBlackOrWhiteColorOn(UIColor::colorWithRed(1, 0, 0, 1).ptr(), Flat::No).ptr()));
    EXPECT_TRUE(colorWithContrastingBlackOrWhiteColorOn(UIColor::whiteColor().ptr(), Flat::No, 0)->isEqual(UIColor::clearColor().ptr()));

    EXPECT_TRUE(isSameRGBA(colorWithContrastingBlackOrWhiteColorOn(UIColor::whiteColor().ptr(), Flat::Yes).ptr(), flatBlackColorDark().ptr()));
    EXPECT_TRUE(isSameRGBA(colorWithContrastingBlackOrWhiteColorOn(UIColor::blackColor().ptr(), Flat::Yes).ptr(), flatWhiteColor().ptr()));
    EXPECT_EQ(rgba(colorWithContrastingBlackOrWhiteColorOn(UIColor::blackColor().ptr(), Flat::No, 0.4).ptr())[3], 0.4);
}

TEST(DarkenAndLighten, BrightnessMovesByTheAmountWithinZeroToOne)
{
    auto color = UIColor::colorWithHue(0.3, 0.5, 0.8, 0.7);
    EXPECT_NEAR(brightnessOf(darkenByPercentage(color.ptr(), 0.25).get()), 0.55, 1e-12);
    EXPECT_EQ(brightnessOf(darkenByPercentage(UIColor::colorWithHue(0.3, 0.5, 0.3, 1).ptr(), 1.0).get()), 0.0);
    EXPECT_EQ(brightnessOf(lightenByPercentage(UIColor::colorWithHue(0.3, 0.5, 0.9, 1).ptr(), 0.3).get()), 1.0);
    EXPECT_TRUE(isSameRGBA(darkenByPercentage(color.ptr(), -0.2).get(), color.ptr()));
    EXPECT_EQ(rgba(darkenByPercentage(color.ptr(), 0.1).get())[3], 0.7);
    auto cmyk = UIColor::colorWithCGColor(CGColor::create(CGColorSpaceModel::CMYK, { 0, 0, 0, 1, 1 }));
    EXPECT_FALSE(darkenByPercentage(cmyk.ptr(), 0.1));
    EXPECT_FALSE(lightenByPercentage(nullptr, 0.1));
}

TEST(ColorEquality, GreyAndRGBColoursCompareAtEightBits)
{
    EXPECT_TRUE(isEqualToColor(UIColor::colorWithRed(0.5, 0, 0, 1).ptr(), UIColor::colorWithRed(0.501, 0, 0, 1).ptr()));
    EXPECT_FALSE(isEqualToColor(UIColor::colorWithRed(0.5, 0, 0, 1).ptr(), UIColor::colorWithRed(0.51, 0, 0, 1).ptr()));
    EXPECT_TRUE(isEqualToColor(UIColor::colorWithWhite(1, 1).ptr(), UIColor::colorWithRed(1, 1, 1, 1).ptr()));
    auto cmyk = UIColor::colorWithCGColor(CGColor::create(CGColorSpaceModel::CMYK, { 0, 0, 0, 1, 1 }));
    auto sameCMYK = UIColor::colorWithCGColor(CGColor::create(CGColorSpaceModel::CMYK, { 0, 0, 0, 1, 1 }));
    EXPECT_TRUE(isEqualToColor(cmyk.ptr(), sameCMYK.ptr()));
    EXPECT_FALSE(isEqualToColor(cmyk.ptr(), UIColor::blackColor().ptr()));
    EXPECT_FALSE(isEqualToColor(nullptr, UIColor::blackColor().ptr()));
}

TEST(MinimumSaturationAndDistinctness, AsTheImagePaletteUsesThem)
{
    auto pale = UIColor::colorWithHue(0.6, 0.1, 0.5, 0.9);
    auto raised = colorWithMinimumSaturation(pale.ptr(), 0.15);
    CGFloat h, s, b, a;
    raised->getHue(&h, &s, &b, &a);
    EXPECT_NEAR(s, 0.15, 1e-12);
    EXPECT_NEAR(h, 0.6, 1e-12);
    EXPECT_NEAR(b, 0.5, 1e-12);
    EXPECT_EQ(a, 0.9);
    EXPECT_EQ(colorWithMinimumSaturation(pale.ptr(), 0.05).get(), pale.ptr()) << "the same object";
    EXPECT_FALSE(colorWithMinimumSaturation(nullptr, 0.15));

    auto grey2 = UIColor::colorWithRed(0.2, 0.2, 0.2, 1);
    EXPECT_FALSE(isDistinct(grey2.ptr(), UIColor::colorWithRed(0.8, 0.8, 0.8, 1).ptr())) << "both grey";
    EXPECT_TRUE(isDistinct(grey2.ptr(), UIColor::colorWithRed(0.8, 0.2, 0.2, 1).ptr()));
    EXPECT_FALSE(isDistinct(grey2.ptr(), UIColor::colorWithRed(0.45, 0.0, 0.3, 1).ptr())) << "no component more than 0.25 apart";
    EXPECT_FALSE(isDistinct(grey2.ptr(), UIColor::colorWithRed(0.2, 0.2, 0.2, 0.5).ptr())) << "alpha apart, but both grey";
    EXPECT_FALSE(isDistinct(nullptr, grey2.ptr()));
}

TEST(OccurrenceCount, AttachedToTheColourObjectAndZeroUntilSet)
{
    auto color = flatMintColor();
    EXPECT_EQ(count(color.ptr()), 0u);
    setCount(color.ptr(), 42);
    EXPECT_EQ(count(color.ptr()), 42u);
    EXPECT_EQ(count(flatMintColor().ptr()), 0u) << "another object, though an equal colour";
    setCount(color.ptr(), 7);
    EXPECT_EQ(count(color.ptr()), 7u);
}

TEST(TinctureCountedColor, CompareOrdersTheHigherCountFirst)
{
    auto three = TinctureCountedColor::create(flatRedColor().ptr(), 3);
    auto seven = TinctureCountedColor::create(flatBlueColor().ptr(), 7);
    auto alsoSeven = TinctureCountedColor::create(nullptr, 7);
    EXPECT_EQ(three->compare(seven.ptr()), NSOrderedDescending);
    EXPECT_EQ(seven->compare(three.ptr()), NSOrderedAscending);
    EXPECT_EQ(seven->compare(alsoSeven.ptr()), NSOrderedSame);
    EXPECT_EQ(seven->compare(flatRedColor().ptr()), NSOrderedAscending) << "another kind of object";
    EXPECT_EQ(objc_getClass("TinctureCountedColor"), TinctureCountedColor::objcClass());
}
