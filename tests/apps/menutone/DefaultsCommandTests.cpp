#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include <corefoundation/CFNotificationCenter.h>
#include <corefoundation/CFRunLoop.h>
#include <foundation/PropertyListSerialization.h>
#include <store/SettingsStore.h>

#include "TestSupport.h"

namespace {

CommandResult menutone(const TemporaryRoot& root, const std::string& arguments)
{
    return runCommand(std::string(MENUTONE_COMMAND) + " --root '" + root.path().string() + "' " + arguments);
}

int notifications = 0;

}

TEST(MenutoneDefaults, WriteChangesOneKeyKeepsTheRestAndPostsTheChange)
{
    TemporaryRoot root;
    notifications = 0;
    CFNotificationCenterAddObserver(
        CFNotificationCenterGetDarwinNotifyCenter(), &notifications,
        [](CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef) { ++notifications; }, CFSTR("com.harbrook.Menutone.notify"), nullptr,
        CFNotificationSuspensionBehaviorCoalesce);
    std::filesystem::copy_file(fixture("settings.binary.plist"), root.hostPath(kMenutoneSettingsPath));

    CommandResult written = menutone(root, "defaults write com.harbrook.Menutone shortcutTitleColor -int 25");
    EXPECT_EQ(written.status, 0) << written.output;
    written = menutone(root, "defaults write com.harbrook.Menutone shortcutSubtitleColor -int 7");
    EXPECT_EQ(written.status, 0) << written.output;
    CFRunLoop::main().runUntilIdle();
    EXPECT_EQ(notifications, 1) << "two quick writes, one coalesced delivery";

    auto before = PropertyListSerialization::readFile(fixture("settings.binary.plist"));
    auto after = PropertyListSerialization::readFile(root.hostPath(kMenutoneSettingsPath));
    ASSERT_TRUE(after);
    EXPECT_EQ(after->format, PropertyListFormat::XML);
    auto expected = before->value;
    expected.mutableDictionary().insert_or_assign("shortcutSubtitleColor", PropertyListValue::integer(7));
    EXPECT_EQ(after->value, expected);

    CommandResult shown = menutone(root, "defaults read com.harbrook.Menutone shortcutTitleColor");
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(shown.output, "25\n");
    shown = menutone(root, "defaults read com.harbrook.Menutone");
    EXPECT_NE(shown.output.find("    shortcutTitleColor = 25;\n"), std::string::npos) << shown.output;
    CFNotificationCenterRemoveEveryObserver(CFNotificationCenterGetDarwinNotifyCenter(), &notifications);
}

TEST(MenutoneDefaults, AnotherPropertyListReaderSeesTheIntegerWrittenAndEveryOtherKeyKept)
{
    if (std::system("python3 -c 'import plistlib' 2>/dev/null") != 0)
        GTEST_SKIP() << "python3 is not installed";
    TemporaryRoot root;
    std::filesystem::copy_file(fixture("settings.xml.plist"), root.hostPath(kMenutoneSettingsPath));
    ASSERT_EQ(menutone(root, "defaults write com.harbrook.Menutone shortcutTitleColor -int 25").status, 0);
    // plistlib compares what we wrote with the fixture it wrote itself.
    std::string check = "python3 -c \"import plistlib, sys; "
                        "ours = plistlib.load(open(sys.argv[1], 'rb')); theirs = plistlib.load(open(sys.argv[2], 'rb')); "
                        "theirs['shortcutTitleColor'] = 25; "
                        "sys.exit(0 if ours == theirs and type(ours['shortcutTitleColor']) is int else 1)\" '"
        + root.hostPath(kMenutoneSettingsPath).string() + "' '" + fixture("settings.xml.plist").string() + "'";
    EXPECT_EQ(std::system(check.c_str()), 0);
}

TEST(MenutoneDefaults, ValuesOfEveryTypeAreWrittenAsTheirPropertyListTypes)
{
    TemporaryRoot root;
    for (const char* arguments : { "isEnabled -bool NO", "shortcutTitleFont -string 'DejaVu Sans'", "scale -float 0.5", "raw -data 0a0b",
             "shortcutTitlePresetColor -color '#ff8000'", "plain word" })
        EXPECT_EQ(menutone(root, std::string("defaults write com.harbrook.Menutone ") + arguments).status, 0) << arguments;
    auto pref = NSDictionary::dictionaryWithContentsOfFile(kMenutoneSettingsPath);
    ASSERT_TRUE(pref);
    EXPECT_EQ(pref->objectForKey("isEnabled")->asBoolean(), false);
    EXPECT_EQ(*pref->objectForKey("shortcutTitleFont")->asString(), "DejaVu Sans");
    EXPECT_EQ(pref->objectForKey("scale")->asReal(), 0.5);
    EXPECT_EQ(*pref->objectForKey("raw")->asData(), NSData({ 0x0a, 0x0b }));
    EXPECT_EQ(*pref->objectForKey("plain")->asString(), "word");
    EXPECT_TRUE(objectPref(&*pref, "shortcutTitlePresetColor"));

    CommandResult resolved = menutone(root, "defaults read com.harbrook.Menutone --resolved");
    EXPECT_NE(resolved.output.find("isEnabled = false\n"), std::string::npos) << resolved.output;
    EXPECT_NE(resolved.output.find("shortcutTitlePresetColor = rgba(1, 0.501961, 0, 1)\n"), std::string::npos);
    EXPECT_NE(resolved.output.find("shortcutBlurStyle = 0 (default)\n"), std::string::npos);
    CommandResult json = menutone(root, "defaults read com.harbrook.Menutone raw --json");
    EXPECT_EQ(json.output, "{\"data\":\"Cgs=\"}\n");
}

TEST(MenutoneDefaults, BadInputIsRefusedAndAnUnreadableFileIsLeftAsItIs)
{
    TemporaryRoot root;
    EXPECT_EQ(menutone(root, "defaults write com.harbrook.Menutone shortcutTitleColor -int twenty").status, 2);
    EXPECT_EQ(menutone(root, "defaults write com.harbrook.Menutone shortcutTitleColor -bogus 1").status, 2);
    EXPECT_EQ(menutone(root, "defaults write ../etc key value").status, 2);
    EXPECT_EQ(menutone(root, "defaults frobnicate").status, 2);
    CommandResult noValue = menutone(root, "defaults write com.harbrook.Menutone shortcutTitleColor -int");
    EXPECT_EQ(noValue.status, 2) << "not the string \"-int\"";
    EXPECT_NE(noValue.output.find("no value after -int"), std::string::npos) << noValue.output;
    EXPECT_FALSE(std::filesystem::exists(root.hostPath(kMenutoneSettingsPath)));

    CommandResult missing = menutone(root, "defaults read com.harbrook.Menutone");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.output, "menutone: Domain com.harbrook.Menutone does not exist\n");

    writeBytes(root.hostPath(kMenutoneSettingsPath), "<plist><dict><key>broken");
    CommandResult written = menutone(root, "defaults write com.harbrook.Menutone shortcutTitleColor -int 25");
    EXPECT_EQ(written.status, 1);
    EXPECT_NE(written.output.find("is not a property-list dictionary"), std::string::npos);
    auto contents = readBytes(root.hostPath(kMenutoneSettingsPath));
    EXPECT_EQ(std::string(contents.begin(), contents.end()), "<plist><dict><key>broken");
    EXPECT_EQ(menutone(root, "defaults delete com.harbrook.Menutone isEnabled").status, 1);
}

TEST(MenutoneDefaults, DeleteRemovesAKeyOrTheWholeDomain)
{
    TemporaryRoot root;
    menutone(root, "defaults write com.harbrook.Menutone shortcutTitleColor -int 5");
    menutone(root, "defaults write com.harbrook.Menutone isEnabled -bool YES");
    EXPECT_EQ(menutone(root, "defaults delete com.harbrook.Menutone shortcutTitleColor").status, 0);
    auto again = menutone(root, "defaults delete com.harbrook.Menutone shortcutTitleColor");
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.output, "menutone: Domain (com.harbrook.Menutone) not found.\nDefaults have not been changed.\n");
    auto pref = NSDictionary::dictionaryWithContentsOfFile(kMenutoneSettingsPath);
    ASSERT_TRUE(pref);
    EXPECT_EQ(intPref(&*pref, "shortcutTitleColor", 0), 0);
    EXPECT_EQ(pref->count(), 1u);
    EXPECT_EQ(menutone(root, "defaults delete com.harbrook.Menutone").status, 0);
    EXPECT_FALSE(std::filesystem::exists(root.hostPath(kMenutoneSettingsPath)));
    EXPECT_EQ(menutone(root, "defaults delete com.harbrook.Menutone").status, 1);
}

TEST(MenutoneNotify, WaitPrintsEachDeliveryFromAnotherProcessAndFailsOnTimeout)
{
    TemporaryRoot root;
    std::string command = std::string(MENUTONE_COMMAND) + " notify --wait com.example.ping --count 1 --timeout 20 --root '" + root.path().string() + "'";
    FILE* waiter = ::popen(command.c_str(), "r");
    ASSERT_TRUE(waiter);
    char line[128] = {};
    ASSERT_TRUE(std::fgets(line, sizeof line, waiter));
    EXPECT_STREQ(line, "waiting for com.example.ping\n");
    EXPECT_EQ(menutone(root, "notify com.example.ping").status, 0);
    ASSERT_TRUE(std::fgets(line, sizeof line, waiter));
    EXPECT_STREQ(line, "received com.example.ping\n");
    int status = ::pclose(waiter);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    CommandResult timedOut = menutone(root, "notify --wait com.example.silence --timeout 0.01");
    EXPECT_EQ(timedOut.status, 1);
    EXPECT_NE(timedOut.output.find("no com.example.silence within"), std::string::npos);
}

TEST(MenutoneDefaults, ColorTakesEveryFormTinctureTakes)
{
    TemporaryRoot root;
    for (auto [text, expected] : { std::pair("'#f00'", "rgba(1, 0, 0, 1)"), std::pair("'#ff000080'", "rgba(1, 0, 0, 0.501961)"),
             std::pair("'rgb(0 128 255)'", "rgba(0, 0.501961, 1, 1)"), std::pair("'hsl(120, 100%, 50%)'", "rgba(0, 1, 0, 1)"),
             std::pair("rebeccapurple", "rgba(0.4, 0.2, 0.6, 1)"), std::pair("1,0.5,0", "rgba(1, 0.5, 0, 1)") }) {
        ASSERT_EQ(menutone(root, std::string("defaults write com.harbrook.Menutone shortcutTitlePresetColor -color ") + text).status, 0) << text;
        auto resolved = menutone(root, "defaults read com.harbrook.Menutone --resolved");
        EXPECT_NE(resolved.output.find(std::string("shortcutTitlePresetColor = ") + expected + "\n"), std::string::npos) << text << resolved.output;
    }
    auto before = menutone(root, "defaults read com.harbrook.Menutone").output;
    auto refused = menutone(root, "defaults write com.harbrook.Menutone shortcutTitlePresetColor -color '#ff00'0");
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.output.find("is not a colour"), std::string::npos) << refused.output;
    EXPECT_EQ(menutone(root, "defaults read com.harbrook.Menutone").output, before);
}

// Two writers of distinct keys at once: each read-change-write holds the
// root's preferences lock, so neither loses the other's keys.
TEST(MenutoneDefaults, TwoWritersAtOnceLoseNoKey)
{
    TemporaryRoot root;
    std::string command = std::string(MENUTONE_COMMAND) + " --root '" + root.path().string() + "' defaults write com.example.race";
    auto writer = [&](const std::string& prefix) { return "for i in $(seq 1 150); do " + command + " " + prefix + "$i -int $i || exit 1; done"; };
    auto raced = runCommand("(" + writer("a") + ") & first=$!; (" + writer("b") + ") & second=$!; wait $first && wait $second");
    ASSERT_EQ(raced.status, 0) << raced.output;
    auto read = runCommand(std::string(MENUTONE_COMMAND) + " --root '" + root.path().string() + "' defaults read com.example.race --json");
    ASSERT_EQ(read.status, 0);
    std::size_t keys = 0;
    for (std::size_t at = read.output.find("\":"); at != std::string::npos; at = read.output.find("\":", at + 1))
        ++keys;
    EXPECT_EQ(keys, 300u) << read.output.substr(0, 200);
}

// A domain that reads well as binary but would write as an XML store larger
// than any reader reads ('&' is five bytes in XML) is refused, and no file
// is left that nothing could read back.
TEST(MenutoneDefaults, ImportRefusesADomainWhoseStoreNoReaderWouldRead)
{
    TemporaryRoot root;
    TemporaryFolder scratch;
    auto source = scratch.path() / "amplified.plist";
    auto made
        = runCommand("python3 -c \"import plistlib, sys; open(sys.argv[1], 'wb').write(plistlib.dumps({'k': '&' * (14 << 20)}, fmt=plistlib.FMT_BINARY))\" '"
            + source.string() + "'");
    ASSERT_EQ(made.status, 0) << made.output;
    auto imported
        = runCommand(std::string(MENUTONE_COMMAND) + " --root '" + root.path().string() + "' defaults import com.example.big '" + source.string() + "'");
    EXPECT_EQ(imported.status, 1);
    EXPECT_NE(imported.output.find("a store is at most 64 MiB once written"), std::string::npos) << imported.output;
    EXPECT_FALSE(std::filesystem::exists(root.path() / "var/mobile/Library/Preferences/com.example.big.plist"));
}

TEST(MenutoneDefaults, AnIndexOutsideThePaletteIsWrittenWithAWarning)
{
    TemporaryRoot root;
    for (const char* value : { "999", "-1", "49" }) {
        auto written = menutone(root, std::string("defaults write com.harbrook.Menutone shortcutTitleColor -int ") + value);
        EXPECT_EQ(written.status, 0);
        EXPECT_EQ(written.output, std::string("menutone: warning: ") + value + " is not a colour index (0–48); shortcutTitleColor will show no colour\n");
        EXPECT_EQ(MenutoneSettings::stored().shortcutTitleColor, std::stoll(value)) << "written as asked";
    }
    for (const char* command : { "shortcutTitleColor -int 48", "shortcutBorderColor -int 0", "shortcutBlurStyle -int 999" })
        EXPECT_EQ(menutone(root, std::string("defaults write com.harbrook.Menutone ") + command).output, "") << command;
}
