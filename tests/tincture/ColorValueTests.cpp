// The value types: the same flat colours and nearest shades as UIColor's
// categories, contrast against the APCA and WCAG reference code, colour
// vision against Machado's matrices applied by hand, and mixing.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include <tincture/Color.h>
#include <tincture/FlatPalette.h>
#include <tincture/UIColor+Tincture.h>

using tincture::Color;

TEST(ColorValue, EveryFlatShadeIsUIColorsToTheBit)
{
    for (std::size_t position = 0; position < tincture::flatPaletteSize; ++position) {
        auto color = static_cast<tincture::FlatColor>(position / 2);
        Color value = tincture::flat(color, position % 2 ? tincture::Shade::Dark : tincture::Shade::Light);
        CGFloat r, g, b, a;
        ASSERT_TRUE(tincture::flatPaletteColor(position)->getRed(&r, &g, &b, &a));
        EXPECT_EQ(value, Color::fromRGB(r, g, b, a)) << tincture::flatPalette[position].name;
    }
    EXPECT_STREQ(tincture::flatColorName(tincture::FlatColor::SkyBlue), "Sky Blue");
}

TEST(ColorValue, NearestFlatFindsTheShadeUIColorsFlatVersionFinds)
{
    std::mt19937 random(2026);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int i = 0; i < 5000; ++i) {
        Color color = Color::fromRGB(unit(random), unit(random), unit(random));
        auto flattened = tincture::colorWithFlatVersionOf(UIColor::colorWithRed(color.red(), color.green(), color.blue(), 1).ptr());
        ASSERT_TRUE(flattened);
        auto position = tincture::flatPalettePositionOf(*flattened);
        ASSERT_TRUE(position);
        auto shade = tincture::nearestFlatShade(color);
        EXPECT_EQ(tincture::flatPalettePosition(shade.color, shade.shade), *position) << color.hex();
        EXPECT_EQ(tincture::nearestFlat(color), shade.color);
    }
}

// The base's hue 200, saturation 50, brightness 60: each scheme's colours as
// the hue, saturation and brightness the scheme rules give (an offset hue
// in single precision), and Sky Blue's flat schemes as the palette names
// that the objects' schemes gave before the value types carried them.
TEST(ColorValue, SchemesGiveTheRulesColoursAndTheFlatShades)
{
    auto hsb = [](double degrees, double saturation, double brightness, bool isOffset) {
        double hue = isOffset ? static_cast<double>(static_cast<float>(degrees) / 360.0f) : degrees / 360;
        CGFloat r, g, b, a;
        UIColor::colorWithHue(hue, saturation, brightness, 1)->getRed(&r, &g, &b, &a);
        return Color::fromRGB(r, g, b);
    };
    auto base = hsb(200, 0.5, 0.6, false);
    auto expectColors = [](const std::array<Color, 5>& colors, const std::array<Color, 5>& expected, const char* scheme) {
        for (std::size_t i = 0; i < 5; ++i) {
            EXPECT_NEAR(colors[i].red(), expected[i].red(), 1e-9) << scheme << " " << i;
            EXPECT_NEAR(colors[i].green(), expected[i].green(), 1e-9) << scheme << " " << i;
            EXPECT_NEAR(colors[i].blue(), expected[i].blue(), 1e-9) << scheme << " " << i;
            EXPECT_EQ(colors[i].alpha(), 1.0);
        }
    };
    expectColors(tincture::scheme(base, tincture::Scheme::Analogous, false),
        { hsb(168, 0.55, 0.65, true), hsb(184, 0.55, 0.69, true), base, hsb(216, 0.55, 0.69, true), hsb(232, 0.55, 0.65, true) }, "analogous");
    expectColors(tincture::scheme(base, tincture::Scheme::Complementary, false),
        { hsb(200, 0.55, 0.30, false), hsb(200, 0.40, 0.69, false), base, hsb(20, 0.50, 0.60, true), hsb(20, 0.70, 0.30, true) }, "complementary");
    expectColors(tincture::scheme(base, tincture::Scheme::Triadic, false),
        { hsb(320, 7.0 / 12, 0.55, true), hsb(320, 0.50, 0.69, true), base, hsb(80, 7.0 / 12, 0.55, true), hsb(80, 0.50, 0.30, true) }, "triadic");

    using tincture::FlatColor;
    using tincture::Shade;
    auto shadesOf = [](const std::array<Color, 5>& colors) {
        std::string names;
        for (auto& color : colors) {
            auto shade = tincture::nearestFlatShade(color);
            EXPECT_EQ(tincture::flat(shade.color, shade.shade), color) << "a flat scheme holds palette colours only";
            names += std::string(shade.shade == Shade::Dark ? "Dark " : "") + tincture::flatColorName(shade.color) + ", ";
        }
        return names;
    };
    Color skyBlue = tincture::flat(FlatColor::SkyBlue, Shade::Light);
    EXPECT_EQ(shadesOf(tincture::scheme(skyBlue, tincture::Scheme::Analogous, true)), "Mint, Gray, Sky Blue, Dark Sky Blue, Dark Purple, ");
    EXPECT_EQ(shadesOf(tincture::scheme(skyBlue, tincture::Scheme::Complementary, true)), "Dark Teal, Dark Sky Blue, Sky Blue, Orange, Dark Red, ");
    EXPECT_EQ(shadesOf(tincture::scheme(skyBlue, tincture::Scheme::Triadic, true)), "Plum, Dark Pink, Sky Blue, Lime, Dark Lime, ");
}

// Lc from apca-w3 0.1.9's APCAcontrast(sRGBtoY(text), sRGBtoY(background)),
// the ratio from culori 4.0.2's wcagContrast.
TEST(ColorValue, ContrastMatchesTheWCAGAndAPCAReferenceCode)
{
    struct Case {
        const char *text, *background;
        double lc, ratio;
    };
    const Case cases[] = {
        { "#000000", "#ffffff", 106.04067321268862, 21 },
        { "#ffffff", "#000000", -107.88473318309848, 21 },
        { "#888888", "#ffffff", 63.056469930209424, 3.5448862152994005 },
        { "#3399db", "#ffffff", 57.889540378010054, 3.124930615415068 },
        { "#e74c3c", "#2c3e50", -28.435512835006886, 2.8749282546871604 },
        { "#777777", "#7a7a7a", 0, 1.0432576444355806 },
        { "#112233", "#ddeeff", 91.66830811481631, 13.647788588073729 },
    };
    for (auto& test : cases) {
        Color text = *Color::parse(test.text), background = *Color::parse(test.background);
        EXPECT_NEAR(tincture::contrastAPCA(text, background), test.lc, 1e-9) << test.text << " on " << test.background;
        EXPECT_NEAR(tincture::contrastRatio(text, background), test.ratio, 1e-9) << test.text << " on " << test.background;
    }
}

TEST(ColorValue, DeficiencySimulationMatchesMachadosMatricesAppliedByHand)
{
    auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    auto encoded = [](double c) { return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055; };
    // Deuteranopia at full severity and at 0.6, Machado et al. (2009), table rows.
    const double full[9] = { 0.367322, 0.860646, -0.227968, 0.280085, 0.672501, 0.047413, -0.011820, 0.042940, 0.968881 };
    const double at06[9] = { 0.498864, 0.674741, -0.173604, 0.205199, 0.754872, 0.039929, -0.011131, 0.030969, 0.980162 };
    const double at07[9] = { 0.457771, 0.731899, -0.189670, 0.226409, 0.731012, 0.042579, -0.011595, 0.034333, 0.977261 };
    Color color = Color::fromRGB(0.8, 0.3, 0.2, 0.5);
    auto byHand = [&](const double* m) {
        double r = linear(color.red()), g = linear(color.green()), b = linear(color.blue());
        auto out = [&](int row) { return std::clamp(encoded(m[row * 3] * r + m[row * 3 + 1] * g + m[row * 3 + 2] * b), 0.0, 1.0); };
        return Color::fromRGB(out(0), out(1), out(2), color.alpha());
    };
    auto expectNear = [](const Color& ours, const Color& expected) {
        EXPECT_NEAR(ours.red(), expected.red(), 1e-12);
        EXPECT_NEAR(ours.green(), expected.green(), 1e-12);
        EXPECT_NEAR(ours.blue(), expected.blue(), 1e-12);
        EXPECT_EQ(ours.alpha(), expected.alpha());
    };
    expectNear(tincture::simulate(color, tincture::Deficiency::Deuteranopia), byHand(full));
    expectNear(tincture::simulate(color, tincture::Deficiency::Deuteranopia, 0.6), byHand(at06));
    double halfway[9];
    for (int i = 0; i < 9; ++i)
        halfway[i] = (at06[i] + at07[i]) / 2;
    expectNear(tincture::simulate(color, tincture::Deficiency::Deuteranopia, 0.65), byHand(halfway));
    expectNear(tincture::simulate(color, tincture::Deficiency::Tritanopia, 0), color);
    EXPECT_EQ(tincture::simulate(Color::fromRGB(1, 1, 1), tincture::Deficiency::Protanopia).hex(), "#FFFFFF") << "white stays white";
}

TEST(ColorValue, MixingEndsAtItsColoursAndInOKLabPassesThroughTheMiddle)
{
    Color red = *Color::parse("red"), blue = *Color::parse("blue");
    for (auto space : { tincture::Space::OKLab, tincture::Space::Lab, tincture::Space::SRGB, tincture::Space::LinearSRGB, tincture::Space::HSL }) {
        EXPECT_EQ(tincture::mix(red, blue, 0, space).hex(), "#FF0000");
        EXPECT_EQ(tincture::mix(red, blue, 1, space).hex(), "#0000FF");
    }
    EXPECT_EQ(tincture::mix(red, blue, 0.5, tincture::Space::SRGB).hex(), "#800080");
    EXPECT_EQ(tincture::mix(red, blue, 0.5, tincture::Space::HSL).hex(), "#FF00FF") << "hue 300, the shorter way from 0 to 240";
    auto middle = tincture::mix(red, blue, 0.5).oklab();
    auto a = red.oklab(), b = blue.oklab();
    EXPECT_NEAR(middle.L, (a.L + b.L) / 2, 1e-7) << "OKLab and back, within its matrices' precision";
    EXPECT_NEAR(middle.a, (a.a + b.a) / 2, 1e-7);
    EXPECT_NEAR(tincture::mix(Color::fromRGB(0, 0, 0, 0), Color::fromRGB(0, 0, 0, 1), 0.25).alpha(), 0.25, 1e-12);
}

TEST(ColorValue, HexWritesAlphaOnlyWhenNotOpaqueAndClipsWhatIsOutOfGamut)
{
    EXPECT_EQ(Color::fromRGBA8(52, 152, 219).hex(), "#3498DB");
    EXPECT_EQ(Color::fromRGBA8(52, 152, 219, 128).hex(), "#3498DB80");
    EXPECT_EQ(Color::fromRGB(1.2, -0.1, 0.5).hex(), "#FF0080");
    for (const char* text : { "#abc", "#ABCD", "a1b2c3", "#a1b2c3d4", "  rebeccapurple ", "RGB(1 2 3)", "transparent" }) {
        auto parsed = Color::parse(text);
        ASSERT_TRUE(parsed.has_value()) << text << ": " << parsed.error().message();
        EXPECT_EQ(Color::parse(parsed->hex()).value(), *parsed) << text;
    }
    EXPECT_FALSE(Color::parse("oklch(62.8% 0.0077e258 29.23)")) << "a chroma that would overflow";
    auto bad = Color::parse("hsl(10 20% 30% / )");
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.error().message(), "expected a number");
    EXPECT_EQ(bad.error().position(), 17u);
}

TEST(ColorValue, TheBatchOnEveryCoreFindsWhatOneAtATimeFinds)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<Color> colors(20000);
    for (auto& color : colors)
        color = Color::fromRGB(unit(random), unit(random), unit(random));
    std::vector<tincture::FlatColor> nearest(colors.size(), tincture::FlatColor::Black);
    tincture::nearestFlat(colors, nearest);
    for (std::size_t i = 0; i < colors.size(); ++i)
        ASSERT_EQ(nearest[i], tincture::nearestFlat(colors[i])) << i;
    std::vector<tincture::FlatColor> none;
    tincture::nearestFlat(std::span<const Color>(), none);
}
