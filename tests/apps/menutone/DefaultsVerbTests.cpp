// The rest of Apple's defaults verbs (domains, find, export, import,
// read-type, rename; -array-add, -dict, -dict-add, -date; a plist path as the
// domain), each on files Python's plistlib wrote and read back by plistlib.

#include <gtest/gtest.h>

#include <filesystem>

#include <device/FileSystem.h>
#include <store/SettingsStore.h>

#include "TestSupport.h"

namespace {

CommandResult menutone(const TemporaryRoot& root, const std::string& arguments)
{
    return runCommand(std::string(MENUTONE_COMMAND) + " --root '" + root.path().string() + "' " + arguments);
}

// Runs Python with plistlib on the root's preferences folder (sys.argv[1]) and gives what it printed.
std::string python(const TemporaryRoot& root, const std::string& script)
{
    writeBytes(root.path() / "script.py", "import datetime, plistlib, sys\nfolder = sys.argv[1]\n" + script);
    auto result = runCommand("python3 '" + (root.path() / "script.py").string() + "' '" + root.hostPath("/var/mobile/Library/Preferences").string() + "'");
    EXPECT_EQ(result.status, 0) << result.output;
    return result.output;
}

// Two domains as plistlib writes them, one XML and one binary.
void writeDomains(const TemporaryRoot& root)
{
    std::filesystem::create_directories(root.hostPath("/var/mobile/Library/Preferences"));
    python(root,
        "plistlib.dump({'Greeting': 'Hello Menu', 'count': 3, 'when': datetime.datetime(2024, 5, 6, 7, 8, 9), 'list': ['a'],"
        " 'nested': {'deep': 'a MENU word'}}, open(folder + '/com.example.one.plist', 'wb'))\n"
        "plistlib.dump({'flag': True, 'raw': b'\\x00\\x01'}, open(folder + '/com.example.two.plist', 'wb'), fmt=plistlib.FMT_BINARY)\n");
}

std::string storeBytes(const TemporaryRoot& root, const std::string& domain)
{
    auto bytes = device::readFile(root.hostPath("/var/mobile/Library/Preferences/" + domain + ".plist"));
    return bytes ? std::string(bytes->begin(), bytes->end()) : "";
}

}

TEST(DefaultsVerbs, DomainsFindAndReadTypeSeeWhatPlistlibWrote)
{
    TemporaryRoot root;
    writeDomains(root);
    EXPECT_EQ(menutone(root, "defaults domains").output, "com.example.one, com.example.two\n");

    auto found = menutone(root, "defaults find menu");
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(found.output,
        "Found 2 keys in domain 'com.example.one': {\n    Greeting = \"Hello Menu\";\n    nested = {\n        deep = \"a MENU word\";\n    };\n}\n")
        << "keys and strings, at any depth, ignoring case";

    for (auto [key, type] : { std::pair("Greeting", "string"), std::pair("count", "integer"), std::pair("when", "date"), std::pair("list", "array"),
             std::pair("nested", "dictionary") })
        EXPECT_EQ(menutone(root, std::string("defaults read-type com.example.one ") + key).output, std::string("Type is ") + type + "\n");
    EXPECT_EQ(menutone(root, "defaults read-type com.example.two flag").output, "Type is boolean\n");
    EXPECT_EQ(menutone(root, "defaults read-type com.example.two raw").output, "Type is data\n");

    auto missingKey = menutone(root, "defaults read-type com.example.one nope");
    EXPECT_EQ(missingKey.status, 1);
    EXPECT_EQ(missingKey.output, "menutone: The domain/default pair of (com.example.one, nope) does not exist\n");
    auto missingDomain = menutone(root, "defaults read-type com.example.none key");
    EXPECT_EQ(missingDomain.status, 1);
    EXPECT_EQ(missingDomain.output, "menutone: Domain com.example.none does not exist\n");
}

TEST(DefaultsVerbs, ExportGivesXMLThatPlistlibReadsEqualAndImportTakesBinaryBack)
{
    TemporaryRoot root;
    writeDomains(root);
    auto exported = root.path() / "one.xml";
    ASSERT_EQ(menutone(root, "defaults export com.example.one '" + exported.string() + "'").status, 0);
    EXPECT_EQ(python(root,
                  "print(plistlib.load(open('" + exported.string()
                      + "', 'rb'), fmt=plistlib.FMT_XML) == plistlib.load(open(folder + '/com.example.one.plist', 'rb')))\n"),
        "True\n");
    auto piped = menutone(root, "defaults export com.example.two - | head -c 5");
    EXPECT_EQ(piped.output, "<?xml");

    // A binary file in, through standard input, replacing what the domain held.
    python(root, "plistlib.dump({'fresh': [1, 2.5, 'x']}, open('" + (root.path() / "in.bplist").string() + "', 'wb'), fmt=plistlib.FMT_BINARY)\n");
    ASSERT_EQ(menutone(root, "defaults import com.example.one - < '" + (root.path() / "in.bplist").string() + "'").status, 0);
    EXPECT_EQ(python(root, "print(plistlib.load(open(folder + '/com.example.one.plist', 'rb')))\n"), "{'fresh': [1, 2.5, 'x']}\n");
}

TEST(DefaultsVerbs, BadImportsAndMissingDomainsChangeNothing)
{
    TemporaryRoot root;
    writeDomains(root);
    auto before = storeBytes(root, "com.example.one");
    writeBytes(root.path() / "array.plist", "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>a</string></array></plist>");
    writeBytes(root.path() / "junk", "not a plist");
    for (auto [arguments, message] : {
             std::pair<std::string, std::string>(
                 "import com.example.one '" + (root.path() / "array.plist").string() + "'", "is not a property-list dictionary (a array)"),
             std::pair<std::string, std::string>("import com.example.one '" + (root.path() / "junk").string() + "'", "is not a property-list dictionary"),
             std::pair<std::string, std::string>("import com.example.one '" + (root.path() / "missing").string() + "'", "cannot be read"),
             std::pair<std::string, std::string>("rename com.example.one nope other", "Key nope does not exist in domain com.example.one"),
             std::pair<std::string, std::string>("write com.example.one list -dict-add k v", "not a dictionary"),
             std::pair<std::string, std::string>("write com.example.one Greeting -array-add x", "not an array"),
             std::pair<std::string, std::string>("write com.example.one when -date yesterday", "\"yesterday\" is not a valid date value"),
             std::pair<std::string, std::string>("write com.example.one d -dict k", "the key k has no value"),
             std::pair<std::string, std::string>("write com.example.one l -array -int x", "\"x\" is not a valid int value"),
         }) {
        auto result = menutone(root, "defaults " + arguments);
        EXPECT_NE(result.status, 0) << arguments;
        EXPECT_NE(result.output.find(message), std::string::npos) << arguments << ": " << result.output;
        EXPECT_EQ(storeBytes(root, "com.example.one"), before) << arguments;
    }
    auto exported = menutone(root, "defaults export com.example.none -");
    EXPECT_EQ(exported.status, 1);
    EXPECT_EQ(exported.output, "menutone: Domain com.example.none does not exist\n");
    EXPECT_EQ(menutone(root, "defaults rename com.example.none a b").output, "menutone: Domain com.example.none does not exist\n");
    EXPECT_FALSE(std::filesystem::exists(root.hostPath("/var/mobile/Library/Preferences/com.example.none.plist")));
    EXPECT_NE(menutone(root, "defaults read ../etc/passwd").status, 0);
    EXPECT_NE(menutone(root, "defaults read /var/../../outside").status, 0);
}

TEST(DefaultsVerbs, RenameArraysDictsAndDatesWriteWhatPlistlibReads)
{
    TemporaryRoot root;
    writeDomains(root);
    for (const char* arguments : { "rename com.example.one Greeting greeting", "write com.example.one list -array-add b -int 2",
             "write com.example.one fresh -array-add only", "write com.example.one d -dict k v n -bool yes", "write com.example.one d -dict-add m -float 1.5",
             "write com.example.one start -date '2024-05-06 09:08:09 +0200'", "write com.example.one day -date 2024-02-29" })
        EXPECT_EQ(menutone(root, std::string("defaults ") + arguments).status, 0) << arguments;
    EXPECT_EQ(python(root,
                  "p = plistlib.load(open(folder + '/com.example.one.plist', 'rb'))\n"
                  "print(sorted(p), p['greeting'], p['list'], p['fresh'], p['d'], p['start'], p['day'])\n"),
        "['count', 'd', 'day', 'fresh', 'greeting', 'list', 'nested', 'start', 'when'] Hello Menu ['a', 'b', 2] ['only'] {'k': 'v', 'm': 1.5, 'n': True} "
        "2024-05-06 07:08:09 2024-02-29 00:00:00\n");
}

TEST(DefaultsVerbs, APlistPathNamesTheSameDomainAndMenutonesStillPostsItsChange)
{
    TemporaryRoot root;
    ASSERT_EQ(menutone(root, "defaults write /var/mobile/Library/Preferences/com.harbrook.Menutone shortcutTitleColor -int 25").status, 0);
    EXPECT_TRUE(root.takePost(kMenutoneSettingsChangedNotification)) << "the path is Menutone's domain";
    EXPECT_EQ(menutone(root, "defaults read com.harbrook.Menutone.plist shortcutTitleColor").output, "25\n");
    EXPECT_EQ(menutone(root, "defaults read com.harbrook.Menutone shortcutTitleColor").output, "25\n");
    ASSERT_EQ(menutone(root, "defaults rename com.harbrook.Menutone shortcutTitleColor shortcutSubtitleColor").status, 0);
    EXPECT_TRUE(root.takePost(kMenutoneSettingsChangedNotification));

    // Any plist within the root, and every domain at once when none is named.
    ASSERT_EQ(menutone(root, "defaults write /tmp/elsewhere.plist key -string value").status, 0);
    EXPECT_EQ(menutone(root, "defaults read /tmp/elsewhere key").output, "value\n");
    EXPECT_FALSE(root.takePost(kMenutoneSettingsChangedNotification));
    EXPECT_EQ(menutone(root, "defaults read").output, "{\n    com.harbrook.Menutone = {\n        shortcutSubtitleColor = 25;\n    };\n}\n");
}
