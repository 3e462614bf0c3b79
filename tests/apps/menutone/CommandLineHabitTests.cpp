// What a new user types first: no arguments, --help on every subcommand, the
// defaults tool's -g, a key read as the tweak reads it, a mistyped number.

#include <filesystem>

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
    for (const char* outside : { "index 49", "index -1", "index 60 --json" }) {
        auto refused = menutone(outside);
        EXPECT_EQ(refused.status, 2) << outside;
        EXPECT_NE(refused.output.find("is not a palette index (a whole number from 0 to 48)"), std::string::npos) << refused.output;
    }
    auto tinctureEntry = runCommand("(" + std::string(TINCTURE_COMMAND) + " index 25 --json 2>/dev/null)");
    EXPECT_EQ(entry.output, tinctureEntry.output) << "the same answer in both places for one release";
    auto tooLong = menutone("index 99999999999999999999");
    EXPECT_EQ(tooLong.status, 2);
    EXPECT_NE(tooLong.output.find("is not a palette index"), std::string::npos) << tooLong.output;
}

TEST(MenutoneCompletion, BashAsksTheRootForItsDomainsKeysAndApps)
{
    TemporaryFolder folder;
    auto rootFolder = folder.path() / "root";
    ASSERT_EQ(menutone("root create '" + rootFolder.string() + "'").status, 0);
    ASSERT_EQ(menutone("--root '" + rootFolder.string() + "' defaults write com.example.notes fontSize -int 12").status, 0);
    auto script = folder.path() / "menutone.bash";
    writeBytes(script, menutone("completion bash").output);
    std::string folderOfCommand = std::filesystem::path(MENUTONE_COMMAND).parent_path().string();
    auto complete = [&](const std::string& typed) {
        return runCommand("PATH='" + folderOfCommand + "':$PATH bash -c 'source \"" + script.string() + "\"; COMP_WORDS=(" + typed
            + "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _menutone; echo \"${COMPREPLY[*]}\"'")
            .output;
    };
    std::string line = "menutone --root \"" + rootFolder.string() + "\" ";
    EXPECT_EQ(complete(line + "defaults read com."), "com.example.notes com.harbrook.Menutone\n");
    EXPECT_EQ(complete(line + "defaults write com.example.notes f"), "fontSize\n");
    EXPECT_EQ(complete(line + "defaults delete com.harbrook.Menutone shortcutBl"), "shortcutBlurStyle\n") << "a key the tweak reads, before it is stored";
    EXPECT_EQ(complete(line + "app remove com.apple.mobilem"), "com.apple.mobilemail\n");
    EXPECT_EQ(complete(line + "settings --do sw"), "switch\n");
}

TEST(MenutoneCompletion, TheWordsOfAStrangeRootOrDomainAreNoneAndQuiet)
{
    TemporaryRoot root;
    std::string rooted = "--root '" + root.path().string() + "' __complete ";
    std::filesystem::create_symlink("/etc/hostname", root.path() / "var/mobile/Library/Preferences/com.example.away.plist");
    writeBytes(root.path() / "var/mobile/Library/Preferences/com.example.broken.plist", "<plist><dict><key>a");
    for (const char* arguments : { "keys com.example.away", "keys com.example.broken", "keys ../../../etc/passwd", "keys /../../etc/hosts", "nonsense x" }) {
        auto words = menutone(rooted + arguments);
        EXPECT_EQ(words.status, 0) << arguments;
        EXPECT_EQ(words.output, "") << arguments;
    }
    TemporaryFolder notARoot;
    auto none = menutone("--root '" + notARoot.path().string() + "' __complete domains");
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.output, "");
    EXPECT_EQ(menutone("--help").output.find("__complete"), std::string::npos) << "the scripts' own subcommand is not offered to people";

    auto unknownVerb = menutone("--root '" + root.path().string() + "' settings --do 'frob 1'");
    EXPECT_EQ(unknownVerb.status, 2);
    EXPECT_NE(unknownVerb.output.find("unknown command \"frob\""), std::string::npos) << unknownVerb.output;
}
