// Apps as real ones declare themselves: Info.plists written the way Xcode
// writes them, strings tables in both forms, icons under CFBundleIcons.

#include <springboard/SBApplication.h>

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include <springboard/SBShortcutIcons.h>

#include "TestSupport.h"

namespace {

constexpr const char* xcodeHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                    "<plist version=\"1.0\">\n<dict>\n";

// An app folder in the root with the Info.plist's body (the keys after the identifier).
std::filesystem::path writeApp(const TemporaryRoot& root, const std::string& name, const std::string& identifier, const std::string& body)
{
    auto folder = root.path() / "Applications" / (name + ".app");
    std::filesystem::create_directories(folder);
    writeBytes(folder / "Info.plist",
        std::string(xcodeHeader) + "\t<key>CFBundleIdentifier</key>\n\t<string>" + identifier + "</string>\n" + body + "</dict>\n</plist>\n");
    return folder;
}

// A square PNG of one colour.
void writePicture(const std::filesystem::path& path, int side, double red, double green, double blue)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, side, side);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, red, green, blue);
    cairo_paint(cr);
    cairo_destroy(cr);
    ASSERT_EQ(cairo_surface_write_to_png(surface, path.c_str()), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(surface);
}

std::string item(const std::string& type, const std::string& title, const std::string& more = "")
{
    return "\t\t<dict>\n\t\t\t<key>UIApplicationShortcutItemType</key>\n\t\t\t<string>" + type
        + "</string>\n\t\t\t<key>UIApplicationShortcutItemTitle</key>\n\t\t\t<string>" + title + "</string>\n" + more + "\t\t</dict>\n";
}

std::string items(const std::string& entries)
{
    return "\t<key>UIApplicationShortcutItems</key>\n\t<array>\n" + entries + "\t</array>\n";
}

RefPtr<SBApplication> application(const std::string& identifier)
{
    for (auto& app : SBApplication::installedApplications()) {
        if (app->bundleIdentifier() == identifier)
            return app.ptr();
    }
    return nullptr;
}

// The premultiplied bytes (B, G, R, A) of an image's pixel.
std::array<int, 4> pixelAt(const UIImage& image, int x, int y)
{
    cairo_surface_t* surface = image.surface();
    cairo_surface_flush(surface);
    const unsigned char* pixel = cairo_image_surface_get_data(surface) + cairo_image_surface_get_stride(surface) * y + x * 4;
    return { pixel[0], pixel[1], pixel[2], pixel[3] };
}

std::vector<std::uint8_t> pixelsOf(const UIImage& image)
{
    cairo_surface_t* surface = image.surface();
    cairo_surface_flush(surface);
    auto* data = cairo_image_surface_get_data(surface);
    return { data, data + cairo_image_surface_get_stride(surface) * cairo_image_surface_get_height(surface) };
}

}

TEST(SBApplication, ItemsNameAFileOrASystemIconAndTheFileWins)
{
    TemporaryRoot root;
    auto folder = writeApp(root, "Notes", "com.example.notes",
        items(item("com.example.look", "Look", "\t\t\t<key>UIApplicationShortcutItemIconFile</key>\n\t\t\t<string>Eye</string>\n")
            + item("com.example.new", "New Note",
                "\t\t\t<key>UIApplicationShortcutItemIconType</key>\n\t\t\t<string>UIApplicationShortcutIconTypeCompose</string>\n")
            + item("com.example.both", "Both",
                "\t\t\t<key>UIApplicationShortcutItemIconFile</key>\n\t\t\t<string>Pen</string>\n"
                "\t\t\t<key>UIApplicationShortcutItemIconType</key>\n\t\t\t<string>UIApplicationShortcutIconTypeLove</string>\n")
            + item("com.example.odd", "Odd", "\t\t\t<key>UIApplicationShortcutItemIconType</key>\n\t\t\t<string>UIApplicationShortcutIconTypeRocket</string>\n")
            + item("com.example.info", "Info",
                "\t\t\t<key>UIApplicationShortcutItemUserInfo</key>\n\t\t\t<dict>\n\t\t\t\t<key>noteID</key>\n\t\t\t\t<integer>42</integer>\n\t\t\t</"
                "dict>\n")));
    writePicture(folder / "Pen@2x.png", 56, 0, 0, 0);
    auto app = application("com.example.notes");
    ASSERT_TRUE(app);
    auto& shortcuts = app->shortcutItems();
    ASSERT_EQ(shortcuts.size(), 5u) << "all are kept; the menu shows the first four";

    using Kind = SBSApplicationShortcutItem::IconKind;
    EXPECT_EQ(shortcuts[0]->iconKind(), Kind::None) << "Eye is not in the bundle";
    EXPECT_EQ(shortcuts[0]->iconName(), "Eye");
    EXPECT_FALSE(shortcuts[0]->icon());
    EXPECT_EQ(shortcuts[1]->iconKind(), Kind::System);
    EXPECT_EQ(shortcuts[1]->iconName(), "UIApplicationShortcutIconTypeCompose");
    ASSERT_TRUE(shortcuts[1]->icon());
    EXPECT_EQ(shortcuts[1]->icon()->renderingMode(), UIImageRenderingMode::AlwaysTemplate) << "tinted like any template icon";
    EXPECT_EQ(shortcuts[2]->iconKind(), Kind::File);
    EXPECT_EQ(shortcuts[2]->iconName(), "Pen");
    EXPECT_EQ(shortcuts[3]->iconKind(), Kind::None) << "an unknown type";
    ASSERT_TRUE(shortcuts[4]->userInfo());
    EXPECT_EQ(*shortcuts[4]->userInfo(), PropertyListValue::dictionary({ { "noteID", PropertyListValue::integer(42) } }));
    EXPECT_FALSE(shortcuts[3]->userInfo());
}

TEST(SBApplication, AnItemDeclaredWronglyIsLeftOutWithALineOnStderr)
{
    TemporaryRoot root;
    writeApp(root, "Odd", "com.example.odd",
        items("\t\t<string>not a dictionary</string>\n" + item("", "No Type") + item("com.example.a", "Kept")
            + "\t\t<dict>\n\t\t\t<key>UIApplicationShortcutItemType</key>\n\t\t\t<string>t</string>\n\t\t\t<key>UIApplicationShortcutItemTitle</key>\n"
              "\t\t\t<integer>3</integer>\n\t\t</dict>\n"
            + item("com.example.b", "Bad Info", "\t\t\t<key>UIApplicationShortcutItemUserInfo</key>\n\t\t\t<string>x</string>\n")
            + item("com.example.c", "Bad Subtitle", "\t\t\t<key>UIApplicationShortcutItemSubtitle</key>\n\t\t\t<true/>\n")));
    testing::internal::CaptureStderr();
    auto app = application("com.example.odd");
    std::string said = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(app);
    ASSERT_EQ(app->shortcutItems().size(), 1u);
    EXPECT_EQ(app->shortcutItems()[0]->localizedTitle(), "Kept");
    for (const char* expected : { "item 1 is not a dictionary", "item 2 has a UIApplicationShortcutItemType that is not a string, or is empty",
             "item 4 has a UIApplicationShortcutItemTitle that is not a string", "item 5 has a UIApplicationShortcutItemUserInfo that is not a dictionary",
             "item 6 has a UIApplicationShortcutItemSubtitle that is not a string" })
        EXPECT_NE(said.find(expected), std::string::npos) << expected << " in: " << said;
}

TEST(SBApplication, TitlesComeFromTheStringsTableOfTheDevicesLanguage)
{
    TemporaryRoot root;
    auto folder = writeApp(root, "Mail", "com.example.mail",
        "\t<key>CFBundleDevelopmentRegion</key>\n\t<string>en</string>\n"
            + items(item("com.example.compose", "NEW_MESSAGE", "\t\t\t<key>UIApplicationShortcutItemSubtitle</key>\n\t\t\t<string>TO_TEAM</string>\n")
                + item("com.example.search", "Search")));
    std::filesystem::create_directories(folder / "en.lproj");
    std::filesystem::create_directories(folder / "fr.lproj");
    std::filesystem::create_directories(folder / "Base.lproj");
    // English as Xcode writes it (UTF-16 text), French as a built bundle may carry it (a binary plist, by plistlib).
    auto english = runCommand("python3 -c \"import sys; open(sys.argv[1], 'wb').write('/* Mail */\\n\\\"NEW_MESSAGE\\\" = \\\"New Message\\\";\\n"
                              "\\\"TO_TEAM\\\" = \\\"To the team\\\";\\n'.encode('utf-16'))\" '"
        + (folder / "en.lproj/InfoPlist.strings").string() + "'");
    ASSERT_EQ(english.status, 0) << english.output;
    auto french = runCommand("python3 -c \"import plistlib, sys; plistlib.dump({'NEW_MESSAGE': 'Nouveau message', 'TO_TEAM': 'À l’équipe'}, "
                             "open(sys.argv[1], 'wb'), fmt=plistlib.FMT_BINARY)\" '"
        + (folder / "fr.lproj/InfoPlist.strings").string() + "'");
    ASSERT_EQ(french.status, 0) << french.output;
    writeBytes(folder / "Base.lproj/InfoPlist.strings", "\"NEW_MESSAGE\" = \"Base message\";\n");

    auto titles = [&] {
        auto app = application("com.example.mail");
        EXPECT_TRUE(app);
        std::vector<std::string> shown;
        for (auto& shortcut : app->shortcutItems())
            shown.push_back(shortcut->localizedTitle() + " / " + shortcut->localizedSubtitle());
        return shown;
    };
    EXPECT_EQ(titles(), (std::vector<std::string> { "New Message / To the team", "Search / " })) << "English with no languages set";
    auto setLanguages = [&](const std::string& array) {
        writeBytes(root.hostPath("/var/mobile/Library/Preferences/.GlobalPreferences.plist"),
            std::string(xcodeHeader) + "\t<key>AppleLanguages</key>\n\t<array>\n" + array + "\t</array>\n</dict>\n</plist>\n");
    };
    std::filesystem::create_directories(root.hostPath("/var/mobile/Library/Preferences"));
    setLanguages("\t\t<string>fr-CA</string>\n\t\t<string>en</string>\n");
    EXPECT_EQ(titles(), (std::vector<std::string> { "Nouveau message / À l’équipe", "Search / " })) << "fr-CA falls back to fr";
    setLanguages("\t\t<string>de-DE</string>\n");
    EXPECT_EQ(titles(), (std::vector<std::string> { "New Message / To the team", "Search / " })) << "the development region";
    std::filesystem::remove_all(folder / "en.lproj");
    EXPECT_EQ(titles(), (std::vector<std::string> { "Base message / TO_TEAM", "Search / " })) << "then Base.lproj";
}

TEST(SBApplication, TheIconIsFoundAsSpringBoardLooksAndMaskedOrElseTheBlankIcon)
{
    TemporaryRoot root;
    auto folder = writeApp(root, "Maps", "com.example.maps",
        "\t<key>CFBundleIcons</key>\n\t<dict>\n\t\t<key>CFBundlePrimaryIcon</key>\n\t\t<dict>\n\t\t\t<key>CFBundleIconFiles</key>\n\t\t\t<array>\n"
        "\t\t\t\t<string>AppIcon29x29</string>\n\t\t\t\t<string>AppIcon60x60</string>\n\t\t\t</array>\n\t\t</dict>\n\t</dict>\n"
        "\t<key>CFBundleIconFile</key>\n\t<string>Old</string>\n");
    writePicture(folder / "AppIcon29x29@2x.png", 58, 1, 0, 0);
    writePicture(folder / "AppIcon60x60@3x.png", 180, 0, 0, 1);
    writePicture(folder / "Old.png", 57, 0, 1, 0);
    writeApp(root, "Bare", "com.example.bare", "");
    auto maps = application("com.example.maps");
    ASSERT_TRUE(maps && maps->icon());
    EXPECT_EQ(maps->icon()->size(), (CGSize { 60, 60 }));
    EXPECT_EQ(pixelAt(*maps->icon(), 60, 60), (std::array<int, 4> { 255, 0, 0, 255 })) << "the largest of the primary icon's files, blue";
    EXPECT_EQ(pixelAt(*maps->icon(), 0, 0)[3], 0) << "masked to the rounded shape";
    auto bare = application("com.example.bare");
    ASSERT_TRUE(bare && bare->icon()) << "never no icon";
    EXPECT_EQ(pixelAt(*bare->icon(), 40, 40), (std::array<int, 4> { 255, 255, 255, 255 }));
    EXPECT_EQ(pixelAt(*bare->icon(), 0, 0)[3], 0);
}

TEST(SBShortcutIcons, EachSystemTypeDrawsAGlyphOfItsOwnAndAnUnknownOneNone)
{
    std::set<std::vector<std::uint8_t>> glyphs;
    for (auto name : systemShortcutIconNames) {
        auto icon = systemShortcutIcon("UIApplicationShortcutIconType" + std::string(name));
        ASSERT_TRUE(icon) << name;
        EXPECT_EQ(icon->size(), (CGSize { 28, 28 })) << name;
        auto pixels = pixelsOf(*icon);
        EXPECT_GT(std::count_if(pixels.begin(), pixels.end(), [](std::uint8_t byte) { return byte > 128; }), 200) << name << " draws something";
        glyphs.insert(std::move(pixels));
        EXPECT_EQ(systemShortcutIcon(name).get(), icon.get()) << "by its last word too, drawn once";
    }
    EXPECT_EQ(glyphs.size(), systemShortcutIconNames.size()) << "no two glyphs alike";
    EXPECT_FALSE(systemShortcutIcon("UIApplicationShortcutIconTypeRocket"));
    EXPECT_FALSE(systemShortcutIcon(""));
}

namespace {

// A PNG that declares a picture of `width` x `height` pixels: a header and
// an empty image-data chunk, as a crafted file would be, with right CRCs.
void writeDeclaredPNG(const std::filesystem::path& path, std::uint32_t width, std::uint32_t height)
{
    auto run = runCommand("python3 -c \"import struct, zlib, sys\n"
                          "def chunk(kind, data): return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))\n"
                          "open(sys.argv[1], 'wb').write(b'\\\\x89PNG\\\\r\\\\n\\\\x1a\\\\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', "
        + std::to_string(width) + ", " + std::to_string(height) + ", 8, 6, 0, 0, 0)) + chunk(b'IDAT', zlib.compress(b'')) + chunk(b'IEND', b''))\" '"
        + path.string() + "'");
    ASSERT_EQ(run.status, 0) << run.output;
}

}

// Twenty items naming one large picture: each icon is decoded once, at the
// size it is drawn, and a file declaring more than any icon is refused.
TEST(SBApplication, IconFilesAreDecodedOnceAtTheSizeTheyAreDrawn)
{
    TemporaryRoot root;
    std::string entries;
    for (int i = 0; i < 20; ++i)
        entries += item("t" + std::to_string(i), "Item", "\t\t\t<key>UIApplicationShortcutItemIconFile</key>\n\t\t\t<string>big</string>\n");
    auto folder
        = writeApp(root, "Big", "com.example.big", "\t<key>CFBundleIconFiles</key>\n\t<array>\n\t\t<string>big</string>\n\t</array>\n" + items(entries));
    writePicture(folder / "big.png", 1900, 0.1, 0.5, 0.9);
    auto app = application("com.example.big");
    ASSERT_TRUE(app);
    ASSERT_EQ(app->shortcutItems().size(), 20u);
    UIImage* first = app->shortcutItems().front()->icon();
    ASSERT_TRUE(first);
    EXPECT_LE(first->pixelSize().width, 35 * 2) << "a 35-point glyph at the screen's 2x";
    EXPECT_NEAR(first->size().width, 1900, 1) << "its size in points is the file's";
    for (auto& shortcut : app->shortcutItems())
        EXPECT_EQ(shortcut->icon(), first) << "one decode serves every item naming the file";

    // Far beyond any icon: refused before decoding, named on stderr.
    auto hugeFolder = writeApp(
        root, "Huge", "com.example.huge", items(item("a", "A", "\t\t\t<key>UIApplicationShortcutItemIconFile</key>\n\t\t\t<string>huge</string>\n")));
    writeDeclaredPNG(hugeFolder / "huge.png", 10000, 9990);
    testing::internal::CaptureStderr();
    auto huge = application("com.example.huge");
    std::string said = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(huge);
    EXPECT_FALSE(huge->shortcutItems().front()->icon());
    EXPECT_NE(said.find("com.example.huge: icon file huge.png declares 10000 x 9990 pixels, far beyond any icon"), std::string::npos) << said;
}
