// Colours as people write them: each form read to the bytes it names, HSL
// against CSS Color 3's own algorithm, every output form read back to the
// colour it came from, and bad text refused with the reason.

#include <gtest/gtest.h>

#include <cmath>

#include <common/ColorText.h>

namespace {

struct Bytes {
    int r, g, b, a;
    bool operator==(const Bytes&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Bytes& bytes)
{
    return out << bytes.r << "," << bytes.g << "," << bytes.b << "," << bytes.a;
}

std::optional<Bytes> bytesOf(const std::string& text)
{
    auto color = parseColorText(text);
    if (!color)
        return std::nullopt;
    CGFloat r, g, b, a;
    (*color)->getRed(&r, &g, &b, &a);
    auto byte = [](double v) { return static_cast<int>(std::lround(v * 255)); };
    return Bytes { byte(r), byte(g), byte(b), byte(a) };
}

// CSS Color 3, section 4.2.4: HSL to RGB as CSS first defined it.
double hueToRGB(double m1, double m2, double h)
{
    if (h < 0)
        h += 1;
    if (h > 1)
        h -= 1;
    if (h * 6 < 1)
        return m1 + (m2 - m1) * h * 6;
    if (h * 2 < 1)
        return m2;
    if (h * 3 < 2)
        return m1 + (m2 - m1) * (2.0 / 3 - h) * 6;
    return m1;
}

}

TEST(ColorText, EachFormReadsToTheBytesItNames)
{
    struct Case {
        const char* text;
        Bytes bytes;
    };
    for (auto [text, bytes] : {
             Case { "#f00", { 255, 0, 0, 255 } },
             Case { "#f008", { 255, 0, 0, 136 } },
             Case { "#3498DB", { 52, 152, 219, 255 } },
             Case { "#3498db80", { 52, 152, 219, 128 } },
             Case { "rgb(255 0 0)", { 255, 0, 0, 255 } },
             Case { "rgb(255, 0, 0)", { 255, 0, 0, 255 } },
             Case { "  rgb( 1 , 2 , 3 )  ", { 1, 2, 3, 255 } },
             Case { "rgba(10, 20, 30, 0.5)", { 10, 20, 30, 128 } },
             Case { "rgb(10 20 30 / 25%)", { 10, 20, 30, 64 } },
             Case { "rgb(100% 50% 0%)", { 255, 128, 0, 255 } },
             Case { "hsl(0 100% 50%)", { 255, 0, 0, 255 } },
             Case { "hsl(120, 100%, 25%)", { 0, 128, 0, 255 } },
             Case { "hsl(-120 100% 50%)", { 0, 0, 255, 255 } },
             Case { "hsla(240, 100%, 50%, 0.2)", { 0, 0, 255, 51 } },
             Case { "1,0.5,0", { 255, 128, 0, 255 } },
             Case { "0,0,1,0.5", { 0, 0, 255, 128 } },
             Case { "hsb(0,100,100)", { 255, 0, 0, 255 } },
             Case { "rebeccapurple", { 102, 51, 153, 255 } },
             Case { "ReBeCcApUrPlE", { 102, 51, 153, 255 } },
             Case { "grey", { 128, 128, 128, 255 } },
             Case { "transparent", { 0, 0, 0, 0 } },
             Case { "flatRedColor", *bytesOf("#E84E3C") },
         })
        EXPECT_EQ(bytesOf(text), bytes) << text;
}

TEST(ColorText, HSLMatchesTheAlgorithmOfCSSColor3)
{
    for (int hue = 0; hue < 360; hue += 7)
        for (int saturation = 0; saturation <= 100; saturation += 9)
            for (int lightness = 0; lightness <= 100; lightness += 9) {
                double h = hue / 360.0, s = saturation / 100.0, l = lightness / 100.0;
                double m2 = l <= 0.5 ? l * (s + 1) : l + s - l * s, m1 = l * 2 - m2;
                double expected[3] = { hueToRGB(m1, m2, h + 1.0 / 3), hueToRGB(m1, m2, h), hueToRGB(m1, m2, h - 1.0 / 3) };
                double rgb[3];
                rgbFromHSL(h, s, l, rgb[0], rgb[1], rgb[2]);
                for (int i = 0; i < 3; ++i)
                    ASSERT_NEAR(rgb[i], expected[i], 1e-12) << hue << " " << saturation << "% " << lightness << "%";
            }
}

TEST(ColorText, EveryOutputFormReadsBackToTheColourItCameFrom)
{
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 51)
                for (int a : { 255, 128, 0 }) {
                    auto color = UIColor::colorWithRed(r / 255.0, g / 255.0, b / 255.0, a / 255.0);
                    for (auto format : { ColorTextFormat::Hex, ColorTextFormat::RGB, ColorTextFormat::HSL }) {
                        auto text = colorText(color.get(), format);
                        auto back = bytesOf(text);
                        ASSERT_TRUE(back) << text;
                        // HSL at two decimals lands within a step of the byte; alpha at three decimals exactly.
                        int tolerance = format == ColorTextFormat::HSL ? 1 : 0;
                        EXPECT_LE(std::abs(back->r - r), tolerance) << text;
                        EXPECT_LE(std::abs(back->g - g), tolerance) << text;
                        EXPECT_LE(std::abs(back->b - b), tolerance) << text;
                        EXPECT_EQ(back->a, a) << text;
                    }
                }
    EXPECT_EQ(colorText(UIColor::colorWithRed(1, 0.5, 0, 1).get(), ColorTextFormat::Hex), "#FF8000");
    EXPECT_EQ(colorText(UIColor::colorWithRed(1, 0.5, 0, 0.5).get(), ColorTextFormat::RGB), "rgb(255 128 0 / 0.5)");
    EXPECT_EQ(colorText(UIColor::colorWithRed(0, 0.5, 0, 1).get(), ColorTextFormat::HSL), "hsl(120 100% 25%)");
}

TEST(ColorText, BadTextIsRefusedWithWhatWouldHaveBeenRight)
{
    for (const char* text : { "", "#", "#12", "#12345", "#1234567", "#gg0000", "#-10000", "rgb(256 0 0)", "rgb(1 2)", "rgb(1, 2 3)", "rgb(1 2 3 4)",
             "rgb(1, 2, 3, 1.5)", "rgb(1 2 3 / 2)", "rgb(nan 0 0)", "rgb(1 2 3", "hsl(10% 50% 50%)", "hsl(0 150% 50%)", "hsl(0 50% -1%)", "2,0,0", "1,1",
             "hsb(0,100,101)", "notacolour", "flatredcolor", "red blue", "rgb()" }) {
        auto color = parseColorText(text);
        EXPECT_FALSE(color) << text;
        std::string message = color ? "" : color.error().message;
        EXPECT_NE(message.find("is not a colour: use"), std::string::npos) << text << ": " << message;
    }
}
