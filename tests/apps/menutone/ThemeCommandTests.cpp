// menutone theme: the plate's colour read from the drawn menu, the contrast
// of the menu's colours on it, and suggestions that pass once applied.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "RootCommandTest.h"

namespace {

class ThemeCommand : public RootCommandTest {
protected:
    nlohmann::json checkJSON() const { return nlohmann::json::parse(menutone("theme check --json 2>/dev/null").output); }
};

int channel(const std::string& hex, int at)
{
    return std::stoi(hex.substr(1 + 2 * static_cast<std::size_t>(at), 2), nullptr, 16);
}

}

TEST_F(ThemeCommand, ThePlateIsTheColourDrawnUnderTheMenu)
{
    // No blur: the plate is its background colour, Sky Blue (#3599DB), as drawn.
    ASSERT_EQ(menutone("defaults write com.harbrook.Menutone shortcutBackgroundColor -int 9").status, 0);
    ASSERT_EQ(menutone("defaults write com.harbrook.Menutone isHideShortcutBlur -bool true").status, 0);
    std::string plate = checkJSON()["plate"];
    for (int at = 0; at < 3; ++at)
        EXPECT_NEAR(channel(plate, at), channel("#3599DB", at), 3) << plate;
}

TEST_F(ThemeCommand, ATitleThatVanishesOnThePlateFailsWithExitOne)
{
    auto passing = menutone("theme check");
    EXPECT_EQ(passing.status, 0) << passing.output;
    ASSERT_EQ(menutone("defaults write com.harbrook.Menutone shortcutTitleColor -int 12").status, 0); // White
    auto failing = menutone("theme check --json");
    EXPECT_EQ(failing.status, 1);
    auto json = checkJSON();
    EXPECT_FALSE(json["passed"]);
    EXPECT_FALSE(json["roles"]["title"]["passed"]);
    EXPECT_LT(json["roles"]["title"]["ratio"].get<double>(), 1.5);
    EXPECT_EQ(json["roles"]["title"]["leastRatio"].get<double>(), 4.5);
}

TEST_F(ThemeCommand, SuggestionsEchoTheWallpaperAndPassOnceAppliedOnEveryBuiltInWallpaper)
{
    for (const char* wallpaper : { "Aurora", "Tide", "Dusk", "Graphite" }) {
        SCOPED_TRACE(wallpaper);
        ASSERT_EQ(menutone(std::string("wallpaper set --built-in ") + wallpaper).status, 0);
        ASSERT_EQ(menutone("defaults write com.harbrook.Menutone shortcutTitleColor -int 12").status, 0);
        auto suggested = menutone("theme suggest --apply --json");
        ASSERT_EQ(suggested.status, 0) << suggested.output;
        auto json = nlohmann::json::parse(suggested.output);
        ASSERT_EQ(json["choices"].size(), 3u);
        for (auto& choice : json["choices"])
            EXPECT_GE(choice["ratio"].get<double>(), choice["role"] == "title" ? 4.5 : 3.0) << choice.dump();
        auto store = menutone("defaults read com.harbrook.Menutone shortcutTitleColor");
        EXPECT_EQ(std::stol(store.output), json["choices"][0]["index"].get<long>());
        EXPECT_EQ(menutone("theme check").status, 0) << "the applied colours pass";
    }
}
