// What a new user types first: no arguments, --help on every subcommand, the
// defaults tool's -g, a key read as the tweak reads it, a mistyped number.

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

CommandResult menutone(const std::string& arguments)
{
    return runCommand(std::string(MENUTONE_COMMAND) + " " + arguments);
}

}

TEST(MenutoneCommandLine, NoArgumentsPrintsUsageAndEveryHelpExitsZero)
{
    auto bare = menutone("");
    EXPECT_EQ(bare.status, 0);
    EXPECT_NE(bare.output.find("Usage: menutone"), std::string::npos) << bare.output;
    for (const char* subcommand :
        { "", "defaults", "defaults read", "defaults write", "app install", "preview", "settings", "simulator", "root create", "plist", "completion" }) {
        auto help = menutone(std::string(subcommand) + " --help");
        EXPECT_EQ(help.status, 0) << subcommand << ": " << help.output;
        EXPECT_NE(help.output.find("sage"), std::string::npos) << subcommand << ": " << help.output;
    }
}

TEST(MenutoneCommandLine, DefaultsTakesDashGWhereADomainGoesAndResolvedTakesOneKey)
{
    TemporaryRoot root;
    auto defaults = [&](const std::string& arguments) { return menutone("--root '" + root.path().string() + "' defaults " + arguments); };
    ASSERT_EQ(defaults("write -g AppleLanguages -array fr").status, 0);
    auto whole = defaults("read -g");
    EXPECT_EQ(whole.status, 0);
    EXPECT_NE(whole.output.find("AppleLanguages"), std::string::npos) << whole.output;
    EXPECT_EQ(defaults("read -g AppleLanguages").output, "(\n    fr\n)\n");
    EXPECT_EQ(defaults("read-type -g AppleLanguages").output, "Type is array\n");
    ASSERT_EQ(defaults("delete -g AppleLanguages").status, 0);
    EXPECT_EQ(defaults("read -g AppleLanguages").status, 1);

    ASSERT_EQ(defaults("write com.harbrook.Menutone shortcutTitleColor -int 25").status, 0);
    EXPECT_EQ(defaults("read com.harbrook.Menutone shortcutTitleColor --resolved").output, "shortcutTitleColor = 25\n");
    EXPECT_EQ(defaults("read com.harbrook.Menutone isEnabled --resolved --json").output, "{\"isEnabled\":true}\n");
    auto unknown = defaults("read com.harbrook.Menutone nope --resolved");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.output.find("nope is not one of com.harbrook.Menutone's keys"), std::string::npos) << unknown.output;
}

TEST(MenutoneCommandLine, BadValuesAreNamedAsAPersonWouldSayThem)
{
    for (const char* depth : { "abc", "1.5", "-0.1", "" }) {
        auto press = menutone(std::string("preview --press '") + depth + "'");
        EXPECT_EQ(press.status, 2) << depth;
        EXPECT_NE(press.output.find("--press: expects a number from 0 to 1"), std::string::npos) << press.output;
    }
    TemporaryFolder folder;
    writeBytes(folder.path() / "p.plist", "<plist version=\"1.0\"><dict/></plist>");
    auto extension = menutone("plist -convert xml1 -e xml '" + (folder.path() / "p.plist").string() + "'");
    EXPECT_EQ(extension.status, 2);
    EXPECT_NE(extension.output.find("-e (plutil's output extension) is not taken here; name the output with -o FILE"), std::string::npos) << extension.output;
}

TEST(MenutoneCommandLine, IndexPrintsAPaletteEntryAsTinctureDidWithoutARoot)
{
    auto entry = menutone("--root /nonexistent index 25 --json");
    EXPECT_EQ(entry.status, 0);
    EXPECT_EQ(entry.output.rfind("{\"index\":25,\"label\":\"Dark Red\",\"color\":{", 0), 0u) << entry.output;
    EXPECT_EQ(menutone("index 60 --json").output, "{\"index\":60,\"label\":null,\"color\":null}\n");
    auto tinctureEntry = runCommand("(" + std::string(TINCTURE_COMMAND) + " index 25 --json 2>/dev/null)");
    EXPECT_EQ(entry.output, tinctureEntry.output) << "the same answer in both places for one release";
    auto tooLong = menutone("index 99999999999999999999");
    EXPECT_EQ(tooLong.status, 2);
    EXPECT_NE(tooLong.output.find("is not a whole number"), std::string::npos) << tooLong.output;
}
