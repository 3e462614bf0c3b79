#include <uikit/UIColor.h>

#include <gtest/gtest.h>

namespace {

std::array<CGFloat, 4> rgba(const UIColor& color)
{
    std::array<CGFloat, 4> components { -1, -1, -1, -1 };
    color.getRed(&components[0], &components[1], &components[2], &components[3]);
    return components;
}

}

TEST(UIColor, HueSaturationBrightnessConvertAsTheStandardHSVConversion)
{
    EXPECT_EQ(rgba(UIColor::colorWithHue(0, 1, 1, 1)), (std::array<CGFloat, 4> { 1, 0, 0, 1 }));
    EXPECT_EQ(rgba(UIColor::colorWithHue(1.0 / 3, 1, 1, 0.5)), (std::array<CGFloat, 4> { 0, 1, 0, 0.5 }));
    EXPECT_EQ(rgba(UIColor::colorWithHue(0.5, 0.5, 0.8, 1)), (std::array<CGFloat, 4> { 0.4, 0.8, 0.8, 1 }));
    EXPECT_EQ(rgba(UIColor::colorWithHue(1.0, 1, 1, 1)), rgba(UIColor::colorWithHue(0, 1, 1, 1))) << "360 degrees is 0";
    EXPECT_EQ(rgba(UIColor::colorWithHue(-0.25, 1, 1, 1)), rgba(UIColor::colorWithHue(0.75, 1, 1, 1)));
    EXPECT_EQ(rgba(UIColor::colorWithHue(0, 1.5, -0.2, 1)), (std::array<CGFloat, 4> { 0, 0, 0, 1 })) << "clamped into 0..1";
    EXPECT_EQ(rgba(UIColor::colorWithHue(0.2, 0, 0.3, 1)), (std::array<CGFloat, 4> { 0.3, 0.3, 0.3, 1 }));

    // Round trips through RGB, for every sixth of the wheel.
    for (double hue : { 0.05, 0.2, 0.4, 0.55, 0.7, 0.9 }) {
        CGFloat h, s, b, a;
        ASSERT_TRUE(UIColor::colorWithHue(hue, 0.6, 0.7, 0.9)->getHue(&h, &s, &b, &a));
        EXPECT_NEAR(h, hue, 1e-12);
        EXPECT_NEAR(s, 0.6, 1e-12);
        EXPECT_NEAR(b, 0.7, 1e-12);
        EXPECT_EQ(a, 0.9);
    }
}

TEST(UIColor, FormsTheColourHasAndHasNot)
{
    CGFloat white, alpha;
    EXPECT_TRUE(UIColor::lightGrayColor()->getWhite(&white, &alpha));
    EXPECT_EQ(white, 2.0 / 3.0);
    EXPECT_FALSE(UIColor::colorWithRed(1, 0, 0, 1)->getWhite(&white, &alpha));
    EXPECT_EQ(rgba(UIColor::clearColor()), (std::array<CGFloat, 4> { 0, 0, 0, 0 }));

    auto cmyk = UIColor::colorWithCGColor(CGColor::create(CGColorSpaceModel::CMYK, { 0, 1, 1, 0, 1 }));
    CGFloat r = 7, h = 7;
    EXPECT_FALSE(cmyk->getRed(&r, nullptr, nullptr, nullptr));
    EXPECT_FALSE(cmyk->getHue(&h, nullptr, nullptr, nullptr));
    EXPECT_EQ(r, 7);
    EXPECT_EQ(h, 7);
    EXPECT_EQ(CGColorSpaceGetModel(CGColorGetColorSpace(cmyk->CGColor())), CGColorSpaceModel::CMYK);
    EXPECT_EQ(CGColorGetNumberOfComponents(cmyk->CGColor()), 5u);
    EXPECT_EQ(CGColorGetPattern(cmyk->CGColor()), nullptr);
}

TEST(UIColor, EqualityNeedsTheSameModelComponentsAndAlpha)
{
    EXPECT_TRUE(UIColor::colorWithRed(0.5, 0, 0, 1)->isEqual(UIColor::colorWithRed(0.5, 0, 0, 1).ptr()));
    EXPECT_FALSE(UIColor::colorWithRed(0.5, 0, 0, 1)->isEqual(UIColor::colorWithRed(0.5, 0, 0, 0.9).ptr()));
    EXPECT_FALSE(UIColor::colorWithWhite(1, 1)->isEqual(UIColor::colorWithRed(1, 1, 1, 1).ptr())) << "grey and RGB are different models";
    EXPECT_FALSE(UIColor::whiteColor()->isEqual(nullptr));
    auto faded = UIColor::colorWithRed(0.1, 0.2, 0.3, 1)->colorWithAlphaComponent(0.25);
    EXPECT_EQ(rgba(faded), (std::array<CGFloat, 4> { 0.1, 0.2, 0.3, 0.25 }));
    EXPECT_EQ(faded->model(), CGColorSpaceModel::RGB);
}
