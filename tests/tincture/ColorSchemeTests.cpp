#include <tincture/NSArray+Tincture.h>

#include <gtest/gtest.h>

#include <UIColor+TincturePrivate.h>

using namespace tincture;
using namespace tincture::array;

namespace {

// An offset hue is worked out in single precision, the base's own in double.
enum class Hue { Own, Offset };
struct HSB {
    double degrees, saturation, brightness;
    Hue hue;
};

// Each colour against the one the constructor makes from the expected values.
void expectScheme(const std::vector<Ref<UIColor>>& colors, std::initializer_list<HSB> expected)
{
    ASSERT_EQ(colors.size(), 5u);
    std::size_t i = 0;
    for (auto& hsb : expected) {
        double hue = hsb.hue == Hue::Offset ? static_cast<double>(static_cast<float>(hsb.degrees) / 360.0f) : hsb.degrees / 360;
        auto wanted = UIColor::colorWithHue(hue, hsb.saturation, hsb.brightness, 1);
        CGFloat r1, g1, b1, a1, r2, g2, b2, a2;
        ASSERT_TRUE(colors[i]->getRed(&r1, &g1, &b1, &a1));
        wanted->getRed(&r2, &g2, &b2, &a2);
        EXPECT_NEAR(r1, r2, 1e-9) << "colour " << i + 1;
        EXPECT_NEAR(g1, g2, 1e-9) << "colour " << i + 1;
        EXPECT_NEAR(b1, b2, 1e-9) << "colour " << i + 1;
        EXPECT_EQ(a1, 1.0) << "colour " << i + 1;
        ++i;
    }
}

double hueDegrees(const UIColor& color)
{
    CGFloat hue;
    color.getHue(&hue, nullptr, nullptr, nullptr);
    return hue * 360;
}

}

TEST(ColorScheme, EachSchemeOfHue200Saturation50Brightness60)
{
    auto base = UIColor::colorWithHue(200.0 / 360, 0.5, 0.6, 1);
    expectScheme(arrayOfColorsWithColorScheme(ColorSchemeAnalogous, base.ptr(), Flat::No),
        { { 168, 0.55, 0.65, Hue::Offset }, { 184, 0.55, 0.69, Hue::Offset }, { 200, 0.50, 0.60, Hue::Own }, { 216, 0.55, 0.69, Hue::Offset },
            { 232, 0.55, 0.65, Hue::Offset } });
    expectScheme(arrayOfColorsWithColorScheme(ColorSchemeComplementary, base.ptr(), Flat::No),
        { { 200, 0.55, 0.30, Hue::Own }, { 200, 0.40, 0.69, Hue::Own }, { 200, 0.50, 0.60, Hue::Own }, { 20, 0.50, 0.60, Hue::Offset },
            { 20, 0.70, 0.30, Hue::Offset } });
    expectScheme(arrayOfColorsWithColorScheme(ColorSchemeTriadic, base.ptr(), Flat::No),
        { { 320, 7.0 / 12, 0.55, Hue::Offset }, { 320, 0.50, 0.69, Hue::Offset }, { 200, 0.50, 0.60, Hue::Own }, { 80, 7.0 / 12, 0.55, Hue::Offset },
            { 80, 0.50, 0.30, Hue::Offset } });
}

TEST(ColorScheme, OffsetHuesMirrorBelowZeroAndWrapAbove360)
{
    EXPECT_EQ(add(16, 344), 360.0f);
    EXPECT_EQ(add(-16, 16), 0.0f);
    EXPECT_EQ(add(-32, 10), 22.0f);
    EXPECT_EQ(add(16, 350), 6.0f);

    auto analogous10 = analogousColorSchemeFromHue(10, 50, 60, Flat::No);
    EXPECT_NEAR(hueDegrees(analogous10[0]), 22, 1e-4);
    EXPECT_NEAR(hueDegrees(analogous10[1]), 6, 1e-4);
    auto analogous350 = analogousColorSchemeFromHue(350, 50, 60, Flat::No);
    EXPECT_NEAR(hueDegrees(analogous350[3]), 6, 1e-4);
    EXPECT_NEAR(hueDegrees(analogous350[4]), 22, 1e-4);
    auto triadic300 = triadicColorSchemeFromHue(300, 50, 60, Flat::No);
    EXPECT_NEAR(hueDegrees(triadic300[0]), 60, 1e-4);
    EXPECT_NEAR(hueDegrees(triadic300[1]), 60, 1e-4);
    EXPECT_NEAR(hueDegrees(triadic300[3]), 180, 1e-4);
    EXPECT_NEAR(hueDegrees(triadic300[4]), 180, 1e-4);
}

TEST(ColorScheme, ATranslucentBaseGivesFiveOpaqueColoursAndFlatSchemesSnapToThePalette)
{
    auto base = UIColor::colorWithHue(0.3, 0.6, 0.7, 0.5);
    for (ColorScheme scheme : { ColorSchemeAnalogous, ColorSchemeTriadic, ColorSchemeComplementary }) {
        auto colors = arrayOfColorsWithColorScheme(scheme, base.ptr(), Flat::No);
        for (auto& color : colors)
            EXPECT_EQ(color->alpha(), 1.0);
        CGFloat h, s, b;
        colors[2]->getHue(&h, &s, &b, nullptr);
        EXPECT_NEAR(h, 0.3, 1e-12);
        EXPECT_NEAR(s, 0.6, 1e-12);
        EXPECT_NEAR(b, 0.7, 1e-12);

        auto flat = arrayOfColorsWithColorScheme(scheme, base.ptr(), Flat::Yes);
        EXPECT_TRUE(flat[2]->isEqual(flatten(colors[2].ptr()).get())) << "the third colour is never replaced";
    }
}

TEST(ColorScheme, FlatAnalogousReplacesCoincidingColoursByTheFixedAlternatives)
{
    auto offset = [](double h, float degrees, double saturation, double brightness) {
        return UIColor::colorWithHue(static_cast<double>(add(degrees, static_cast<float>(h)) / 360.0f), saturation / 100, brightness / 100, 1);
    };
    auto isFlat = [](const UIColor& color) {
        for (auto& palette : flatColors()) {
            if (palette->isEqual(&color))
                return true;
        }
        return false;
    };
    bool isSecondReplaced = false, isFirstDarkened = false;
    for (double h = 0; h < 360 && !(isSecondReplaced && isFirstDarkened); h += 3) {
        for (double s = 20; s <= 100; s += 20) {
            for (double b = 30; b <= 90; b += 20) {
                auto colors = analogousColorSchemeFromHue(h, s, b, Flat::Yes);
                auto third = flatten(UIColor::colorWithHue(h / 360, s / 100, b / 100, 1).ptr());
                EXPECT_TRUE(colors[2]->isEqual(third.get()));
                // Check 1: a second colour that snaps onto the third is rebuilt from offset -48.
                if (flatten(offset(h, -16, s + 5, b + 9).ptr())->isEqual(third.get())) {
                    EXPECT_TRUE(colors[1]->isEqual(flatten(offset(h, -48, s + 5, b + 9).ptr()).get())) << h << " " << s << " " << b;
                    isSecondReplaced = true;
                }
                // Check 4: the only colour that can come out unsnapped is the darkened first one.
                if (!isFlat(colors[0])) {
                    EXPECT_TRUE(colors[0]->isEqual(darkenByPercentage(offset(h, -96, s + 5, b + 9).ptr(), 0.25).get())) << h << " " << s << " " << b;
                    isFirstDarkened = true;
                }
                for (std::size_t i = 1; i < 5; ++i)
                    EXPECT_TRUE(isFlat(colors[i])) << i;
            }
        }
    }
    EXPECT_TRUE(isSecondReplaced);
    EXPECT_TRUE(isFirstDarkened);
}

TEST(ColorScheme, FlatComplementaryDarkensAndSnapsWhatCoincides)
{
    auto red = flatRedColor();
    auto colors = arrayOfColorsWithColorScheme(ColorSchemeComplementary, red.ptr(), Flat::Yes);
    for (auto& color : colors) {
        bool isFlat = false;
        for (auto& palette : flatColors())
            isFlat = isFlat || palette->isEqual(color.ptr());
        EXPECT_TRUE(isFlat) << color->description();
    }
    EXPECT_TRUE(colors[2]->isEqual(red.ptr()));
    EXPECT_FALSE(colors[1]->isEqual(colors[2].ptr())) << "check 1 separated them";
}

TEST(ColorSchemeDeathTest, AnUnknownSchemeCodeIsAProgrammingError)
{
    auto base = flatBlueColor();
    EXPECT_DEATH(arrayOfColorsWithColorScheme(3, base.ptr(), Flat::No), "Oops! Unrecognized color scheme provided as random color.");
    EXPECT_DEATH(arrayOfColorsWithColorScheme(-1, base.ptr(), Flat::Yes), "Oops! Unrecognized color scheme provided as random color.");
}
