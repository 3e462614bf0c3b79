// menutone app: installing an .app folder or an .ipa made by Python's
// zipfile, refusing archives that reach out of their bundle, and a running
// home screen picking the change up.

#include <gtest/gtest.h>

#include <filesystem>

#include "ChildProcess.h"
#include "TestSupport.h"

namespace {

CommandResult menutone(const TemporaryRoot& root, const std::string& arguments)
{
    return runCommand(std::string(MENUTONE_COMMAND) + " --root '" + root.path().string() + "' " + arguments);
}

constexpr const char* notesInfo = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                                  "\t<key>CFBundleIdentifier</key>\n\t<string>com.example.notes</string>\n"
                                  "\t<key>CFBundleDisplayName</key>\n\t<string>Notes</string>\n"
                                  "\t<key>UIApplicationShortcutItems</key>\n\t<array>\n\t\t<dict>\n"
                                  "\t\t\t<key>UIApplicationShortcutItemType</key>\n\t\t\t<string>new</string>\n"
                                  "\t\t\t<key>UIApplicationShortcutItemTitle</key>\n\t\t\t<string>New Note</string>\n"
                                  "\t\t\t<key>UIApplicationShortcutItemIconType</key>\n\t\t\t<string>UIApplicationShortcutIconTypeCompose</string>\n"
                                  "\t\t</dict>\n\t</array>\n</dict>\n</plist>\n";

// An .ipa written by Python's zipfile: each (name, contents) pair, and links as (name, "->target").
std::filesystem::path makeArchive(const std::filesystem::path& folder, const std::string& name, const std::vector<std::pair<std::string, std::string>>& entries)
{
    // Each entry's contents go to a file of their own, which the script reads.
    std::string lines;
    auto path = folder / name;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        auto& [entry, contents] = entries[i];
        std::string data = "data" + std::to_string(i);
        if (contents.starts_with("->"))
            lines
                += "i = zipfile.ZipInfo('" + entry + "'); i.create_system = 3; i.external_attr = 0o120777 << 16; z.writestr(i, '" + contents.substr(2) + "')\n";
        else {
            writeBytes(folder / data, contents);
            lines += "z.writestr('" + entry + "', open('" + (folder / data).string() + "', 'rb').read())\n";
        }
    }
    writeBytes(folder / "make.py", "import sys, zipfile\nz = zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED)\n" + lines + "z.close()\n");
    auto made = runCommand("python3 '" + (folder / "make.py").string() + "' '" + path.string() + "'");
    EXPECT_EQ(made.status, 0) << made.output;
    return path;
}

}

TEST(MenutoneApp, AnIPAIsInstalledListedAndRemoved)
{
    TemporaryRoot root;
    ASSERT_EQ(menutone(root, "root create '" + root.path().string() + "'").status, 0);
    auto before = entryCount(root.path() / "Applications");
    TemporaryFolder scratch;
    auto ipa = makeArchive(scratch.path(), "Notes.ipa",
        { { "Payload/", "" }, { "Payload/Notes.app/Info.plist", notesInfo },
            { "Payload/Notes.app/fr.lproj/InfoPlist.strings", "\"New Note\" = \"Nouvelle note\";" }, { "Payload/Notes.app/Current", "->fr.lproj" } });
    auto installed = menutone(root, "app install '" + ipa.string() + "'");
    ASSERT_EQ(installed.status, 0) << installed.output;
    EXPECT_NE(installed.output.find("installed com.example.notes as /Applications/Notes.app"), std::string::npos) << installed.output;
    auto strings = readBytes(root.path() / "Applications/Notes.app/fr.lproj/InfoPlist.strings");
    EXPECT_EQ(std::string(strings.begin(), strings.end()), "\"New Note\" = \"Nouvelle note\";");
    EXPECT_TRUE(std::filesystem::is_symlink(root.path() / "Applications/Notes.app/Current")) << "a link inside the bundle is kept";

    auto listed = menutone(root, "app list --json");
    ASSERT_EQ(listed.status, 0);
    EXPECT_NE(listed.output.find("{\"id\":\"com.example.notes\",\"name\":\"Notes\",\"folder\":\"/Applications/Notes.app\",\"items\":1}"), std::string::npos)
        << listed.output;
    EXPECT_EQ(menutone(root, "defaults write -g AppleLanguages -array fr").status, 0);
    auto preview = menutone(root, "preview --app com.example.notes -o '" + (scratch.path() / "notes.png").string() + "' --json");
    EXPECT_NE(preview.output.find("\"title\":\"Nouvelle note\""), std::string::npos) << preview.output;

    // Installing again replaces it.
    EXPECT_EQ(menutone(root, "app install '" + ipa.string() + "'").status, 0);
    EXPECT_EQ(menutone(root, "app remove com.example.notes").status, 0);
    EXPECT_FALSE(std::filesystem::exists(root.path() / "Applications/Notes.app"));
    auto again = menutone(root, "app remove com.example.notes");
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.output.find("no app com.example.notes is installed"), std::string::npos);
    EXPECT_EQ(entryCount(root.path() / "Applications"), before) << "the sample apps, and nothing left of the install";
}

TEST(MenutoneApp, ArchivesThatReachOutOfTheirBundleAreRefusedAndChangeNothing)
{
    TemporaryRoot root;
    ASSERT_EQ(menutone(root, "root create '" + root.path().string() + "'").status, 0);
    TemporaryFolder scratch;
    auto before = entryCount(root.path() / "Applications");
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> entries;
        const char* said;
    };
    for (auto& bad : std::vector<Case> {
             { "climb.ipa", { { "Payload/Evil.app/Info.plist", notesInfo }, { "Payload/Evil.app/../../escaped", "x" } }, "lies outside Payload/" },
             { "outside.ipa", { { "Payload/Evil.app/Info.plist", notesInfo }, { "Other/file", "x" } }, "lies outside Payload/" },
             { "link.ipa", { { "Payload/Evil.app/Info.plist", notesInfo }, { "Payload/Evil.app/passwd", "->../../../../etc/passwd" } },
                 "a link that leads out of the bundle" },
             { "absolute.ipa", { { "Payload/Evil.app/Info.plist", notesInfo }, { "Payload/Evil.app/root", "->/etc" } }, "a link that leads out of the bundle" },
             { "two.ipa", { { "Payload/A.app/Info.plist", notesInfo }, { "Payload/B.app/Info.plist", notesInfo } }, "one NAME.app" },
             { "noinfo.ipa", { { "Payload/Empty.app/readme", "x" } }, "no Info.plist with a CFBundleIdentifier" } }) {
        SCOPED_TRACE(bad.name);
        auto ipa = makeArchive(scratch.path(), bad.name, bad.entries);
        auto result = menutone(root, "app install '" + ipa.string() + "'");
        EXPECT_EQ(result.status, 1) << result.output;
        EXPECT_NE(result.output.find(bad.said), std::string::npos) << result.output;
        EXPECT_EQ(entryCount(root.path() / "Applications"), before);
    }
    writeBytes(scratch.path() / "fake.ipa", "not a zip");
    auto fake = menutone(root, "app install '" + (scratch.path() / "fake.ipa").string() + "'");
    EXPECT_EQ(fake.status, 1);
    EXPECT_NE(fake.output.find("is not a readable .ipa"), std::string::npos) << fake.output;
    auto neither = menutone(root, "app install '" + scratch.path().string() + "'");
    EXPECT_EQ(neither.status, 2);

    // A folder whose link leaves it.
    auto folder = scratch.path() / "Linked.app";
    std::filesystem::create_directories(folder);
    writeBytes(folder / "Info.plist", notesInfo);
    std::filesystem::create_symlink("../../secret", folder / "secret");
    auto linked = menutone(root, "app install '" + folder.string() + "'");
    EXPECT_EQ(linked.status, 1);
    EXPECT_NE(linked.output.find("secret is a link that leads out of the bundle"), std::string::npos) << linked.output;
    EXPECT_EQ(entryCount(root.path() / "Applications"), before);
}

TEST(MenutoneApp, ARunningHomeScreenShowsAnAppOnceInstalledAndForgetsItOnceRemoved)
{
    TemporaryRoot root;
    ASSERT_EQ(menutone(root, "root create '" + root.path().string() + "'").status, 0);
    TemporaryFolder scratch;
    auto folder = scratch.path() / "Notes.app";
    std::filesystem::create_directories(folder);
    writeBytes(folder / "Info.plist", notesInfo);
    ChildProcess springBoard({ MENUTONE_COMMAND, "springboard", "--root", root.path().string() });
    ASSERT_TRUE(springBoard.readLineStartingWith("commands:"));
    ASSERT_EQ(menutone(root, "app install '" + folder.string() + "'").status, 0);
    // The install posted before this line was sent: the run loop hears the notification first.
    springBoard.send("apps");
    EXPECT_TRUE(springBoard.readLineStartingWith("com.example.notes  Notes  (1 items)"));
    springBoard.send("press com.example.notes 1");
    auto menu = springBoard.readLineStartingWith("{\"app\":\"com.example.notes\"");
    ASSERT_TRUE(menu);
    EXPECT_NE(menu->find("\"icon\":{\"kind\":\"system\""), std::string::npos) << *menu;
    ASSERT_EQ(menutone(root, "app remove com.example.notes").status, 0);
    springBoard.send("press com.example.notes 1");
    springBoard.send("apps");
    auto line = springBoard.readLineStartingWith("com.");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->find("com.example.notes"), std::string::npos) << *line;
    springBoard.send("quit");
}

namespace {

// Every regular file under the folder, links not followed.
std::vector<std::string> filesNamed(const std::filesystem::path& folder, const std::string& name)
{
    std::vector<std::string> found;
    for (auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.path().filename() == name)
            found.push_back(entry.path().string());
    }
    return found;
}

}

// A chain of links, each harmless as text: "d" is the bundle itself, so
// "d/d/d/l" -> "../../.." is the root; entries written through it would plant
// a tweak library that SpringBoard loads.
TEST(MenutoneApp, AChainOfLinksNeverLetsAnEntryOutOfTheBundle)
{
    TemporaryRoot root;
    ASSERT_EQ(menutone(root, "root create '" + root.path().string() + "'").status, 0);
    TemporaryFolder scratch;
    const std::string planted = "Library/MobileSubstrate/DynamicLibraries/AAEvil";
    auto chained = makeArchive(scratch.path(), "Chained.ipa",
        { { "Payload/Evil.app/Info.plist", notesInfo }, { "Payload/Evil.app/d", "->." }, { "Payload/Evil.app/d/d/d/l", "->../../.." },
            { "Payload/Evil.app/d/d/d/l/" + planted + ".dylib",
                "\x7f"
                "ELF" },
            { "Payload/Evil.app/d/d/d/l/" + planted + ".plist", "<plist/>" } });
    menutone(root, "app install '" + chained.string() + "'");
    EXPECT_TRUE(filesNamed(root.path() / "Library", "AAEvil.dylib").empty()) << "nothing landed in the root's tweak folder";

    // The links alone: the one that climbs out is left out, the one that stays is kept.
    auto links = makeArchive(scratch.path(), "Links.ipa",
        { { "Payload/Evil.app/Info.plist", notesInfo }, { "Payload/Evil.app/d", "->." }, { "Payload/Evil.app/d/d/d/l", "->../../.." },
            { "Payload/Evil.app/gone", "->nothing-here" } });
    auto installed = menutone(root, "app install '" + links.string() + "'");
    ASSERT_EQ(installed.status, 0) << installed.output;
    EXPECT_NE(installed.output.find("left out d/d/d/l: a link that leads out of the bundle"), std::string::npos) << installed.output;
    EXPECT_NE(installed.output.find("left out gone"), std::string::npos) << installed.output;
    auto app = root.path() / "Applications/Evil.app";
    EXPECT_TRUE(std::filesystem::is_symlink(app / "d"));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(app / "l")));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(app / "gone")));

    // The same chain in an app folder.
    auto folder = scratch.path() / "Folder.app";
    std::filesystem::create_directories(folder);
    writeBytes(folder / "Info.plist", std::string(notesInfo).replace(std::string(notesInfo).find("com.example.notes"), 17, "com.example.chain"));
    std::filesystem::create_directory_symlink(".", folder / "d");
    std::filesystem::create_directories(folder / "x");
    std::filesystem::create_directory_symlink("../d/d/..", folder / "x/l"); // reads as "d", is the bundle's parent
    auto fromFolder = menutone(root, "app install '" + folder.string() + "'");
    ASSERT_EQ(fromFolder.status, 0) << fromFolder.output;
    EXPECT_NE(fromFolder.output.find("left out x/l"), std::string::npos) << fromFolder.output;
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(root.path() / "Applications/Folder.app/x/l")));
}

// An Info.plist that is a link to another app's: listing and removing read
// the bundle beneath itself, so the link is not followed.
TEST(MenutoneApp, ListAndRemoveNeverFollowALinkOutOfABundle)
{
    TemporaryRoot root;
    ASSERT_EQ(menutone(root, "root create '" + root.path().string() + "'").status, 0);
    auto borrowed = root.path() / "Applications/Borrowed.app";
    std::filesystem::create_directories(borrowed);
    std::filesystem::create_symlink("../Mail.app/Info.plist", borrowed / "Info.plist");
    auto removed = menutone(root, "app remove com.apple.mobilemail");
    ASSERT_EQ(removed.status, 0) << removed.output;
    EXPECT_NE(removed.output.find("(/Applications/Mail.app)"), std::string::npos) << removed.output;
    EXPECT_TRUE(std::filesystem::is_symlink(borrowed / "Info.plist")) << "the borrowing bundle is not what was removed";
}

// Replacing an app of many files, killed at random moments: the installed
// app is always the old one whole or the new one whole, and the next list
// clears what the killed installer left.
TEST(MenutoneApp, AReplaceKilledAtAnyMomentLeavesOneWholeAppAndNoDebris)
{
    TemporaryRoot root;
    ASSERT_EQ(menutone(root, "root create '" + root.path().string() + "'").status, 0);
    TemporaryFolder scratch;
    constexpr int fileCount = 1500;
    auto makeVersion = [&](const std::string& version) {
        auto folder = scratch.path() / version / "Big.app";
        std::filesystem::create_directories(folder / "files");
        std::string info = notesInfo;
        info.replace(info.find("Notes"), 5, version);
        writeBytes(folder / "Info.plist", info);
        for (int i = 0; i < fileCount; ++i)
            writeBytes(folder / "files" / std::to_string(i), version);
        return folder;
    };
    auto first = makeVersion("V1");
    auto second = makeVersion("V2");
    ASSERT_EQ(menutone(root, "app install '" + first.string() + "'").status, 0);
    auto app = root.path() / "Applications/Big.app";
    for (int attempt = 0; attempt < 12; ++attempt) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::execl(MENUTONE_COMMAND, MENUTONE_COMMAND, "--root", root.path().c_str(), "app", "install", (attempt % 2 ? first : second).c_str(), nullptr);
            ::_exit(127);
        }
        ::usleep(static_cast<useconds_t>(5000 + attempt * 9000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        auto info = readBytes(app / "Info.plist");
        std::string text(info.begin(), info.end());
        std::string version = text.find("V1") != std::string::npos ? "V1" : "V2";
        ASSERT_EQ(entryCount(app / "files"), static_cast<std::size_t>(fileCount)) << "attempt " << attempt;
        auto sample = readBytes(app / "files" / std::to_string(attempt * 97 % fileCount));
        EXPECT_EQ(std::string(sample.begin(), sample.end()), version) << "one version throughout";
    }
    ASSERT_EQ(menutone(root, "app list").status, 0);
    for (auto& entry : std::filesystem::directory_iterator(root.path() / "Applications"))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".installing")) << entry.path();
}
