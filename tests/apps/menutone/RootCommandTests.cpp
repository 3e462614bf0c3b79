// menutone root create and the root every other command needs.

#include <gtest/gtest.h>

#include <foundation/NSDictionary.h>
#include <springboard/SBApplication.h>
#include <springboard/SBIconState.h>

#include "TestSupport.h"

namespace {

CommandResult menutone(const std::filesystem::path& root, const std::string& arguments)
{
    return runCommand(std::string(MENUTONE_COMMAND) + " --root '" + root.string() + "' " + arguments);
}

}

TEST(MenutoneRoot, CreateRefusesALinkOutOfTheRootNamingItAndTouchesNothingOutside)
{
    TemporaryFolder outside;
    writeBytes(outside.path() / "keep.txt", "outside");
    TemporaryFolder folder;
    auto root = folder.path() / "root";
    std::filesystem::create_directory(root);
    std::filesystem::create_directory_symlink(outside.path(), root / "Library");

    auto refused = runCommand(std::string(MENUTONE_COMMAND) + " root create '" + root.string() + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.output.find((root / "Library").string() + " is a link that leads out of the root"), std::string::npos) << refused.output;
    EXPECT_EQ(entryCount(outside.path()), 1u) << "nothing written or deleted outside";

    // A store file linked out of the root is refused too, and its target left as it was.
    std::filesystem::remove(root / "Library");
    ASSERT_EQ(runCommand(std::string(MENUTONE_COMMAND) + " root create '" + root.string() + "'").status, 0);
    auto plist = root / "Library/MobileSubstrate/DynamicLibraries/Menutone.plist";
    std::filesystem::remove(plist);
    std::filesystem::create_symlink(outside.path() / "keep.txt", plist);
    refused = runCommand(std::string(MENUTONE_COMMAND) + " root create '" + root.string() + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.output.find(plist.string() + " is a link that leads out of the root"), std::string::npos) << refused.output;
    auto kept = readBytes(outside.path() / "keep.txt");
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "outside");

    // Laying out again over a root keeps its settings.
    std::filesystem::remove(plist);
    ASSERT_EQ(menutone(root, "defaults write com.harbrook.Menutone shortcutTitleColor -int 25").status, 0);
    ASSERT_EQ(runCommand(std::string(MENUTONE_COMMAND) + " root create '" + root.string() + "'").status, 0);
    EXPECT_EQ(menutone(root, "defaults read com.harbrook.Menutone shortcutTitleColor").output, "25\n");
}

TEST(MenutoneRoot, OnlyCreateMakesARootAndEveryOtherCommandSaysItIsMissing)
{
    TemporaryFolder folder;
    auto missing = folder.path() / "mistyped";
    for (const char* arguments : { "defaults write com.harbrook.Menutone shortcutTitleColor -int 25", "defaults read com.harbrook.Menutone",
             "notify com.harbrook.Menutone.notify", "preview -o /dev/null", "settings --do show" }) {
        auto result = menutone(missing, arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_NE(result.output.find(missing.string() + ": not a device root (make one with `menutone root create DIR`)"), std::string::npos) << result.output;
    }
    EXPECT_FALSE(std::filesystem::exists(missing)) << "a mistyped root is not made";

    // A folder that exists is no root either, "/" least of all; nor is "" the current folder.
    for (const std::string& notARoot : { std::string("/"), folder.path().string() }) {
        auto result = menutone(notARoot, "defaults write com.example.x k v");
        EXPECT_EQ(result.status, 2) << notARoot;
        EXPECT_NE(result.output.find("not a device root"), std::string::npos) << result.output;
    }
    EXPECT_FALSE(std::filesystem::exists("/var/mobile/Library/Preferences/com.example.x.plist"));
    EXPECT_EQ(entryCount(folder.path()), 0u);
    auto empty = runCommand(std::string(MENUTONE_COMMAND) + " --root '' defaults read");
    EXPECT_EQ(empty.status, 2);
    EXPECT_NE(empty.output.find("--root needs a folder"), std::string::npos) << empty.output;
    // Nor does root create lay a root out among a folder's own files.
    writeBytes(folder.path() / "notes.txt", "mine");
    auto littered = runCommand(std::string(MENUTONE_COMMAND) + " root create '" + folder.path().string() + "'");
    EXPECT_EQ(littered.status, 1);
    EXPECT_NE(littered.output.find("holds other files and is not a device root"), std::string::npos) << littered.output;
    EXPECT_EQ(entryCount(folder.path()), 1u);
}

TEST(MenutoneRoot, TheHomeScreenShowsTheFirstFourOfAnAppsManyItems)
{
    TemporaryFolder folder;
    auto root = folder.path() / "root";
    ASSERT_EQ(runCommand(std::string(MENUTONE_COMMAND) + " root create '" + root.string() + "'").status, 0);
    PropertyListValue::Array items;
    for (int i = 0; i < 20000; ++i)
        items.push_back(PropertyListValue::dictionary({ { "UIApplicationShortcutItemType", PropertyListValue::string("item." + std::to_string(i)) },
            { "UIApplicationShortcutItemTitle", PropertyListValue::string("Item " + std::to_string(i)) } }));
    std::filesystem::create_directories(root / "Applications/Many.app");
    ASSERT_TRUE(NSDictionary({ { "CFBundleIdentifier", PropertyListValue::string("com.example.many") },
                                 { "UIApplicationShortcutItems", PropertyListValue::array(std::move(items)) } })
                    .writeToHostFile(root / "Applications/Many.app/Info.plist", Atomically::Yes));
    auto result = menutone(root, "preview --app com.example.many -o '" + (folder.path() / "many.png").string() + "' --json");
    ASSERT_EQ(result.status, 0) << result.output.substr(0, 200);
    std::string titles;
    for (std::size_t at = 0; (at = result.output.find("\"title\":\"", at)) != std::string::npos; ++at)
        titles += result.output.substr(at + 9, result.output.find('"', at + 9) - at - 9) + ";";
    EXPECT_EQ(titles, "Item 0;Item 1;Item 2;Item 3;");
}

// Every app the home screen places on a new device is there, with its own
// icon and, for each quick action, an icon of its own or of the system's.
TEST(MenutoneRoot, EveryAppOfTheDefaultHomeScreenIsLaidOutWithItsIconAndItsItemsIcons)
{
    TemporaryFolder folder;
    auto root = folder.path() / "root";
    ASSERT_EQ(runCommand(std::string(MENUTONE_COMMAND) + " root create '" + root.string() + "'").status, 0);
    DeviceRoot::setCurrent(root);
    auto installed = SBApplication::installedApplications();
    auto& state = SBIconState::defaultState();
    std::vector<std::string> expected = state.buttonBar;
    for (auto& page : state.iconLists)
        expected.insert(expected.end(), page.begin(), page.end());
    EXPECT_EQ(expected.size(), 23u);
    std::size_t withItems = 0;
    for (auto& identifier : expected) {
        auto found = std::find_if(installed.begin(), installed.end(), [&](auto& application) { return application->bundleIdentifier() == identifier; });
        ASSERT_NE(found, installed.end()) << identifier;
        auto& application = found->get();
        EXPECT_FALSE(application.displayName().ends_with(".app")) << identifier << ": a name of its own";
        ASSERT_TRUE(application.icon()) << identifier;
        withItems += !application.shortcutItems().empty();
        for (auto& item : application.shortcutItems())
            EXPECT_NE(item->iconKind(), SBSApplicationShortcutItem::IconKind::None) << identifier << " " << item->type();
    }
    EXPECT_GE(withItems, 14u);
    auto camera = std::find_if(installed.begin(), installed.end(), [](auto& application) { return application->bundleIdentifier() == "com.apple.camera"; });
    ASSERT_NE(camera, installed.end());
    std::string titles;
    for (auto& item : (*camera)->shortcutItems())
        titles += item->localizedTitle() + "/" + item->iconName() + ";";
    EXPECT_EQ(titles,
        "Take Selfie/UIApplicationShortcutIconTypeCapturePhoto;Record Video/UIApplicationShortcutIconTypeCaptureVideo;"
        "Record Slo-mo/UIApplicationShortcutIconTypeCaptureVideo;Take Photo/UIApplicationShortcutIconTypeCapturePhoto;");
}
