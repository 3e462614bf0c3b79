// Swatches: when a terminal gets them and how deep, and the 256-colour
// fallback against a search of the whole xterm palette.

#include <gtest/gtest.h>

#include <map>

#include <common/Swatch.h>

namespace {

EnvironmentLookup environment(std::map<std::string, std::string> variables)
{
    return [variables = std::move(variables)](const char* name) -> const char* {
        auto found = variables.find(name);
        return found == variables.end() ? nullptr : found->second.c_str();
    };
}

int squaredDistance(int r1, int g1, int b1, int r2, int g2, int b2)
{
    return (r1 - r2) * (r1 - r2) + (g1 - g2) * (g1 - g2) + (b1 - b2) * (b1 - b2);
}

}

TEST(SwatchDepth, AutoFollowsTheTerminalNoColorAndTermDumbWhileAlwaysAndNeverDoNot)
{
    auto plain = environment({ { "TERM", "xterm-256color" } });
    auto trueColor = environment({ { "TERM", "xterm-256color" }, { "COLORTERM", "truecolor" } });
    EXPECT_EQ(swatchDepth(ColorChoice::Auto, true, plain), SwatchDepth::Colors256);
    EXPECT_EQ(swatchDepth(ColorChoice::Auto, true, trueColor), SwatchDepth::TrueColor);
    EXPECT_EQ(swatchDepth(ColorChoice::Auto, true, environment({ { "COLORTERM", "24bit" } })), SwatchDepth::TrueColor);
    EXPECT_EQ(swatchDepth(ColorChoice::Auto, true, environment({ { "COLORTERM", "yes" } })), SwatchDepth::Colors256);
    EXPECT_EQ(swatchDepth(ColorChoice::Auto, false, trueColor), SwatchDepth::None) << "a pipe";
    EXPECT_EQ(swatchDepth(ColorChoice::Auto, true, environment({ { "COLORTERM", "truecolor" }, { "NO_COLOR", "1" } })), SwatchDepth::None);
    EXPECT_EQ(swatchDepth(ColorChoice::Auto, true, environment({ { "NO_COLOR", "" } })), SwatchDepth::Colors256) << "an empty NO_COLOR is unset";
    EXPECT_EQ(swatchDepth(ColorChoice::Auto, true, environment({ { "TERM", "dumb" }, { "COLORTERM", "truecolor" } })), SwatchDepth::None);
    EXPECT_EQ(swatchDepth(ColorChoice::Always, false, environment({ { "NO_COLOR", "1" }, { "TERM", "dumb" } })), SwatchDepth::Colors256);
    EXPECT_EQ(swatchDepth(ColorChoice::Always, false, trueColor), SwatchDepth::TrueColor);
    EXPECT_EQ(swatchDepth(ColorChoice::Never, true, trueColor), SwatchDepth::None);
}

TEST(Xterm256, TheNearestIndexMatchesASearchOfTheWholePalette)
{
    // Ties may pick either index; the distance is what must match.
    for (int r = 0; r < 256; r += 3)
        for (int g = 0; g < 256; g += 3)
            for (int b = 0; b < 256; b += 3) {
                int best = 1 << 30;
                for (int index = 16; index < 256; ++index) {
                    int pr, pg, pb;
                    xterm256Color(index, pr, pg, pb);
                    best = std::min(best, squaredDistance(r, g, b, pr, pg, pb));
                }
                int pr, pg, pb;
                xterm256Color(nearestXterm256Index(r, g, b), pr, pg, pb);
                ASSERT_EQ(squaredDistance(r, g, b, pr, pg, pb), best) << r << "," << g << "," << b;
            }
}

TEST(Xterm256, ThePaletteHasXtermsPublishedValues)
{
    // From xterm's 256colres.h.
    int r, g, b;
    xterm256Color(16, r, g, b);
    EXPECT_EQ((std::array { r, g, b }), (std::array { 0, 0, 0 }));
    xterm256Color(67, r, g, b);
    EXPECT_EQ((std::array { r, g, b }), (std::array { 95, 135, 175 }));
    xterm256Color(231, r, g, b);
    EXPECT_EQ((std::array { r, g, b }), (std::array { 255, 255, 255 }));
    xterm256Color(232, r, g, b);
    EXPECT_EQ((std::array { r, g, b }), (std::array { 8, 8, 8 }));
    xterm256Color(255, r, g, b);
    EXPECT_EQ((std::array { r, g, b }), (std::array { 238, 238, 238 }));
    EXPECT_EQ(swatch(52, 152, 219, SwatchDepth::TrueColor), "\x1b[48;2;52;152;219m    \x1b[0m ");
    EXPECT_EQ(swatch(52, 152, 219, SwatchDepth::None), "");
}
