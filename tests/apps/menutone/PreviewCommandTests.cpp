#include <gtest/gtest.h>

#include <cairo.h>

#include <foundation/NSDictionary.h>
#include <store/SettingsStore.h>

#include "ChildProcess.h"
#include "TestSupport.h"

namespace {

CommandResult menutone(const TemporaryRoot& root, const std::string& arguments)
{
    return runCommand(std::string(MENUTONE_COMMAND) + " --root '" + root.path().string() + "' " + arguments);
}

// The colour of a pixel of a PNG, at point coordinates of the device's 2x picture.
std::array<int, 3> pixelAt(const std::filesystem::path& png, int x, int y)
{
    cairo_surface_t* surface = cairo_image_surface_create_from_png(png.c_str());
    std::array<int, 3> rgb { -1, -1, -1 };
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        auto* row = cairo_image_surface_get_data(surface) + cairo_image_surface_get_stride(surface) * y * 2;
        auto* pixel = reinterpret_cast<std::uint32_t*>(row) + x * 2;
        rgb = { static_cast<int>((*pixel >> 16) & 0xFF), static_cast<int>((*pixel >> 8) & 0xFF), static_cast<int>(*pixel & 0xFF) };
    }
    cairo_surface_destroy(surface);
    return rgb;
}

}

TEST(MenutonePreview, WithTheTweakDisabledEveryPropertyIsWhatTheHostAloneBuilds)
{
    TemporaryRoot root;
    ASSERT_EQ(menutone(root, "root create '" + root.path().string() + "'").status, 0);
    auto tweak = root.path() / "Library/MobileSubstrate/DynamicLibraries/Menutone.dylib";
    std::filesystem::rename(tweak, root.path() / "Menutone.dylib.aside");
    auto hostOnly = menutone(root, "preview --app com.apple.mobilemail --press 0.6 -o " + (root.path() / "host.png").string() + " --json");
    ASSERT_EQ(hostOnly.status, 0) << hostOnly.output;
    std::filesystem::rename(root.path() / "Menutone.dylib.aside", tweak);

    NSDictionary({ { "isEnabled", PropertyListValue::boolean(false) }, { "shortcutTitleColor", PropertyListValue::integer(25) },
                     { "isShortcutBorder", PropertyListValue::boolean(true) }, { "shortcutBlurStyle", PropertyListValue::integer(7) } })
        .writeToFile(kMenutoneSettingsPath, Atomically::Yes);
    auto disabled = menutone(root, "preview --app com.apple.mobilemail --press 0.6 -o " + (root.path() / "disabled.png").string() + " --json");
    EXPECT_EQ(disabled.output, hostOnly.output);
    EXPECT_EQ(readBytes(root.path() / "disabled.png"), readBytes(root.path() / "host.png")) << "the same picture too";
}

TEST(MenutonePreview, ThePictureAndTheJSONFollowTheStore)
{
    TemporaryRoot root;
    ASSERT_EQ(menutone(root, "root create '" + root.path().string() + "'").status, 0);
    NSDictionary({ { "shortcutBackgroundColor", PropertyListValue::integer(29) }, { "shortcutTitleColor", PropertyListValue::integer(12) },
                     { "isShortcutBorder", PropertyListValue::boolean(true) }, { "shortcutBorderColor", PropertyListValue::integer(2) } })
        .writeToFile(kMenutoneSettingsPath, Atomically::Yes);
    auto png = root.path() / "menu.png";
    auto result = menutone(root, "preview --app com.apple.weather -o " + png.string() + " --json");
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("\"plate\":{\"borderWidth\":1,"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("\"type\":\"weatherIconTemp\""), std::string::npos);
    EXPECT_NE(result.output.find("\"iconRenderingMode\":0"), std::string::npos) << "the weather temperature icon keeps its mode";

    // The plate's fill is the dark navy of index 29 (flatNavyBlueColorDark: 43, 61, 79) inside the menu.
    auto fill = pixelAt(png, 62 + 125, 60 + 50);
    EXPECT_NEAR(fill[0], 44, 2);
    EXPECT_NEAR(fill[1], 61, 2);
    EXPECT_NEAR(fill[2], 79, 2);
    // The border of index 2 (flatOrangeColor) on the plate's edge.
    auto border = pixelAt(png, 63, 60 + 56);
    EXPECT_GT(border[0], 150);

    auto unknown = menutone(root, "preview --app com.example.none -o " + png.string());
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.output.find("no app com.example.none"), std::string::npos);
}

TEST(MenutonePreview, ThePeekOnlyBlursAndTheMenuGrowsOutOfTheIconPastTheCommitThreshold)
{
    TemporaryRoot root;
    ASSERT_EQ(menutone(root, "root create '" + root.path().string() + "'").status, 0);
    // A plate of index 29's dark navy, which neither the wallpaper nor the icon has.
    NSDictionary({ { "shortcutBackgroundColor", PropertyListValue::integer(29) } }).writeToFile(kMenutoneSettingsPath, Atomically::Yes);
    auto navyPoints = [&](const char* depth) {
        auto png = root.path() / (std::string("press-") + depth + ".png");
        EXPECT_EQ(menutone(root, std::string("preview --app com.apple.weather --press ") + depth + " -o " + png.string()).status, 0);
        int count = 0;
        cairo_surface_t* surface = cairo_image_surface_create_from_png(png.c_str());
        EXPECT_EQ(cairo_surface_status(surface), CAIRO_STATUS_SUCCESS);
        for (int y = 80; y < 800 && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS; y += 2)
            for (int x = 80; x < 670; x += 2) {
                auto pixel = *reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface) + cairo_image_surface_get_stride(surface) * y + x * 4);
                int red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
                count += std::abs(red - 44) < 6 && std::abs(green - 61) < 6 && std::abs(blue - 79) < 6;
            }
        cairo_surface_destroy(surface);
        return count;
    };
    EXPECT_EQ(navyPoints("0"), 0);
    EXPECT_EQ(navyPoints("0.4"), 0) << "no menu below the commit threshold";
    EXPECT_EQ(navyPoints("0.6"), 0) << "the threshold itself";
    int whole = navyPoints("1");
    EXPECT_GT(whole, 3000) << "the whole plate at a full press";
    // At 0.8 the menu is half grown: half the size and half opaque, so its
    // colour is nowhere the plate's own.
    EXPECT_LT(navyPoints("0.8"), whole / 10);
}

TEST(MenutonePreview, ARealAppsSystemIconsAreTintedByTheTweakAndItsTitlesFollowTheDevicesLanguage)
{
    TemporaryRoot root;
    ASSERT_EQ(menutone(root, "root create '" + root.path().string() + "'").status, 0);
    auto app = root.path() / "Applications/Notes.app";
    std::filesystem::create_directories(app / "fr.lproj");
    writeBytes(app / "Info.plist",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n\t<key>CFBundleIdentifier</key>\n\t<string>com.example.notes</string>\n"
        "\t<key>UIApplicationShortcutItems</key>\n\t<array>\n\t\t<dict>\n\t\t\t<key>UIApplicationShortcutItemType</key>\n\t\t\t<string>new</string>\n"
        "\t\t\t<key>UIApplicationShortcutItemTitle</key>\n\t\t\t<string>NEW_NOTE</string>\n\t\t\t<key>UIApplicationShortcutItemIconType</key>\n"
        "\t\t\t<string>UIApplicationShortcutIconTypeCompose</string>\n\t\t\t<key>UIApplicationShortcutItemUserInfo</key>\n\t\t\t<dict>\n"
        "\t\t\t\t<key>folder</key>\n\t\t\t\t<string>Work</string>\n\t\t\t</dict>\n\t\t</dict>\n\t</array>\n</dict>\n</plist>\n");
    writeBytes(app / "fr.lproj/InfoPlist.strings", "\"NEW_NOTE\" = \"Nouvelle note\";\n");
    ASSERT_EQ(menutone(root, "defaults write -g AppleLanguages -array fr en").status, 0);
    ASSERT_EQ(menutone(root, "defaults write com.harbrook.Menutone shortcutIconColor -int 25").status, 0);
    auto result = menutone(root, "preview --app com.example.notes -o " + (root.path() / "notes.png").string() + " --json");
    ASSERT_EQ(result.status, 0) << result.output;
    for (const char* expected : { "\"title\":\"Nouvelle note\"", "\"icon\":{\"kind\":\"system\",\"name\":\"UIApplicationShortcutIconTypeCompose\"}",
             "\"iconRenderingMode\":2", "\"userInfo\":{\"folder\":\"Work\"}" })
        EXPECT_NE(result.output.find(expected), std::string::npos) << expected << " in " << result.output;
    // Index 25 is the settings palette's dark red.
    auto tint = result.output.substr(result.output.find("\"iconTint\":"), 40);
    EXPECT_EQ(tint.find("\"iconTint\":null"), std::string::npos) << tint;
    EXPECT_EQ(tint.find("\"iconTint\":{\"r\":0.5"), std::string::npos) << "not the host's own grey: " << tint;
}

TEST(MenutoneSpringBoard, TakesLineCommandsAndFollowsTheNotificationWhileRunning)
{
    TemporaryRoot root;
    ASSERT_EQ(menutone(root, "root create '" + root.path().string() + "'").status, 0);
    ChildProcess springBoard({ MENUTONE_COMMAND, "springboard", "--root", root.path().string() });
    auto banner = springBoard.readLineStartingWith("SpringBoard in");
    ASSERT_TRUE(banner);
    EXPECT_NE(banner->find("tweaks: Menutone"), std::string::npos) << *banner;
    springBoard.send("apps");
    EXPECT_TRUE(springBoard.readLineStartingWith("com.apple.mobilemail  Mail  (3 items)"));

    springBoard.send("press com.apple.mobilemail 1");
    auto first = springBoard.readLineStartingWith("{\"app\":\"com.apple.mobilemail\"");
    ASSERT_TRUE(first);
    std::string black = "\"titleColor\":{\"r\":0,\"g\":0,\"b\":0,\"a\":1}";
    EXPECT_NE(first->find(black), std::string::npos);

    // A write and its post from another process, finished before the next press
    // is sent: the run loop hears the notification before it reads the line.
    ASSERT_EQ(menutone(root, "defaults write com.harbrook.Menutone shortcutTitleColor -int 25").status, 0);
    springBoard.send("press com.apple.mobilemail 1");
    auto second = springBoard.readLineStartingWith("{\"app\":\"com.apple.mobilemail\"");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->find(black), std::string::npos) << "reloaded: the titles are dark red now";
    EXPECT_NE(second->find("\"titleColor\":{\"r\":0.75,"), std::string::npos);
    springBoard.send("quit");
}

TEST(MenutoneSpringBoard, BadCommandsAreRefusedOnStderrAndALastLineWithoutNewlineRuns)
{
    TemporaryRoot root;
    ASSERT_EQ(menutone(root, "root create '" + root.path().string() + "'").status, 0);
    auto run = [&](const std::string& input) {
        // Only what goes to stderr.
        return runCommand("(printf '" + input + "' | " + MENUTONE_COMMAND + " springboard --root '" + root.path().string() + "' 2>&1 >/dev/null)");
    };
    for (const char* input : { "press com.apple.mobilemail abc\\n", "press com.apple.mobilemail 2\\n", "press com.apple.mobilemail\\n",
             "press com.apple.mobilemail -0.5\\n", "press com.apple.mobilemail nan\\n" }) {
        auto result = run(input);
        EXPECT_NE(result.output.find("menutone: usage: press APP DEPTH [FILE.png], DEPTH from 0 to 1"), std::string::npos) << input << result.output;
    }
    EXPECT_NE(run("press com.example.none 1\\n").output.find("menutone: no app com.example.none"), std::string::npos);
    EXPECT_NE(run("jump\\n").output.find("menutone: unknown command jump"), std::string::npos);

    auto last = runCommand("printf 'apps' | " + std::string(MENUTONE_COMMAND) + " springboard --root '" + root.path().string() + "' 2>&1");
    EXPECT_NE(last.output.find("com.apple.weather  Weather"), std::string::npos) << "the last line counts without its newline: " << last.output;

    std::filesystem::remove_all(root.path() / "var/run");
    auto noRun = runCommand("true | " + std::string(MENUTONE_COMMAND) + " springboard --root '" + root.path().string() + "' 2>&1");
    EXPECT_EQ(noRun.status, 1);
    EXPECT_NE(noRun.output.find("has no var/run folder"), std::string::npos) << noRun.output;
}

// The 5.5-inch phone: 414 x 736 points at three pixels each, for the menu
// and for the Settings app's screens alike; the menu keeps its size in points.
TEST(MenutonePreview, TheDeviceOptionDrawsAnIPhone6sPlusAtThreePixelsAPoint)
{
    TemporaryRoot root;
    ASSERT_EQ(menutone(root, "root create '" + root.path().string() + "'").status, 0);
    auto size = [](const std::filesystem::path& png) {
        cairo_surface_t* surface = cairo_image_surface_create_from_png(png.c_str());
        std::pair<int, int> pixels { cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface) };
        cairo_surface_destroy(surface);
        return pixels;
    };
    auto plus = root.path() / "plus.png", six = root.path() / "six.png";
    auto plusJSON = menutone(root, "preview --device 6s-plus --json -o " + plus.string());
    ASSERT_EQ(plusJSON.status, 0) << plusJSON.output;
    EXPECT_EQ(size(plus), (std::pair { 1242, 2208 }));
    auto sixJSON = menutone(root, "preview --json -o " + six.string());
    EXPECT_EQ(size(six), (std::pair { 750, 1334 })) << "the iPhone 6s unless told";
    EXPECT_EQ(plusJSON.output, sixJSON.output) << "the menu the tweak built is the same on both";

    auto settings = menutone(root, "settings --device 6s-plus --json --png " + (root.path() / "settings.png").string() + " --do show");
    ASSERT_EQ(settings.status, 0) << settings.output;
    EXPECT_EQ(size(root.path() / "settings.png"), (std::pair { 1242, 2208 }));
    EXPECT_NE(settings.output.find("\"width\":414"), std::string::npos) << "rows as wide as the screen";

    auto unknown = menutone(root, "preview --device 7");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.output.find("6s-plus"), std::string::npos) << unknown.output;
}
