#include <gtest/gtest.h>

#include <cairo.h>

#include <foundation/NSDictionary.h>
#include <shared/SettingsStore.h>

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

TEST(MenutoneSpringBoard, TakesLineCommandsAndFollowsTheNotificationWhileRunning)
{
    TemporaryRoot root;
    ASSERT_EQ(menutone(root, "root create '" + root.path().string() + "'").status, 0);
    // The second press comes after a write and a post from another process, which the running tweak hears.
    std::string script = "(echo apps; echo press com.apple.mobilemail 1; sleep 0.5; " + std::string(MENUTONE_COMMAND) + " --root '" + root.path().string()
        + "' defaults write com.harbrook.Menutone shortcutTitleColor -int 25 >/dev/null; sleep 0.5; echo press com.apple.mobilemail 1; echo quit) | "
        + MENUTONE_COMMAND + " springboard --root '" + root.path().string() + "'";
    auto result = runCommand(script);
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.output.find("tweaks: Menutone"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("com.apple.mobilemail  Mail  (3 items)"), std::string::npos);
    auto first = result.output.find("{\"app\":\"com.apple.mobilemail\"");
    auto second = result.output.find("{\"app\":\"com.apple.mobilemail\"", first + 1);
    ASSERT_NE(second, std::string::npos) << result.output;
    std::string black = "\"titleColor\":{\"r\":0,\"g\":0,\"b\":0,\"a\":1}";
    EXPECT_NE(result.output.substr(first, second - first).find(black), std::string::npos);
    EXPECT_EQ(result.output.substr(second).find(black), std::string::npos) << "reloaded: the titles are dark red now";
    EXPECT_NE(result.output.substr(second).find("\"titleColor\":{\"r\":0.75,"), std::string::npos);
}
