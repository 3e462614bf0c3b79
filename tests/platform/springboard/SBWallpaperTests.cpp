// The home screen's wallpaper: a photo kept cropped to the largest phone's
// screen, refused whole when it is not a picture, and a root's broken or
// hostile file drawn as the default.

#include <gtest/gtest.h>

#include <cairo.h>
#include <unistd.h>

#include <springboard/SBWallpaper.h>
#include <uikit/UIGraphics.h>
#include <uikit/UIImage.h>

#include "TestSupport.h"

namespace {

// A picture of two halves, red on the left and blue on the right.
std::vector<std::uint8_t> halvesPNG(int width, int height)
{
    UIGraphicsBeginImageContextWithOptions({ static_cast<CGFloat>(width), static_cast<CGFloat>(height) }, true, 1);
    cairo_t* cr = UIGraphicsGetCurrentContext()->cairo;
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_rectangle(cr, 0, 0, width / 2.0, height);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 1);
    cairo_rectangle(cr, width / 2.0, 0, width / 2.0, height);
    cairo_fill(cr);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return UIImagePNGRepresentation(*image);
}

// The colour (0xRRGGBB) at a fraction of the width and height of a drawing.
template <typename Draw> std::uint32_t colourAt(Draw draw, double x, double y, int width = 100, int height = 200)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    draw(cr, width, height);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    auto* row
        = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface) + static_cast<int>(y * height) * cairo_image_surface_get_stride(surface));
    std::uint32_t pixel = row[static_cast<int>(x * width)] & 0xffffff;
    cairo_surface_destroy(surface);
    return pixel;
}

bool isReddish(std::uint32_t pixel)
{
    return (pixel >> 16 & 0xff) > 200 && (pixel & 0xff) < 60;
}
bool isBluish(std::uint32_t pixel)
{
    return (pixel & 0xff) > 200 && (pixel >> 16 & 0xff) < 60;
}

}

TEST(SBWallpaper, APhotoIsKeptAtThePlusScreenSizeCroppedAboutItsMiddle)
{
    TemporaryRoot root;
    // Wide, as a landscape photo: the tall screen shows its middle, both halves.
    ASSERT_TRUE(setHomeBackgroundFromData(halvesPNG(800, 300)));
    auto kept = UIImage::readHostFile(root.hostPath(kHomeBackgroundPath));
    ASSERT_TRUE(kept) << kept.error().message;
    EXPECT_EQ((*kept)->pixelSize().width, 1242);
    EXPECT_EQ((*kept)->pixelSize().height, 2208);
    EXPECT_TRUE(isReddish(colourAt(drawHomeBackground, 0.2, 0.5)));
    EXPECT_TRUE(isBluish(colourAt(drawHomeBackground, 0.8, 0.5)));
    EXPECT_TRUE(isReddish(colourAt(drawHomeBackground, 0.2, 0.01))) << "filled to the top, not fitted inside bars";
}

TEST(SBWallpaper, WhatIsNoPictureIsRefusedAndTheOldWallpaperStays)
{
    TemporaryRoot root;
    ASSERT_TRUE(setBuiltInHomeBackground("Graphite"));
    auto before = readBytes(root.hostPath(kHomeBackgroundPath));

    auto garbage = setHomeBackgroundFromData(bytesOf("<html>not a picture</html>"));
    ASSERT_FALSE(garbage);
    EXPECT_EQ(garbage.error().kind, ErrorKind::Malformed);
    // A PNG header that declares a picture of 10^10 pixels: refused before decoding.
    auto png = halvesPNG(8, 8);
    for (int i : { 16, 20 }) {
        png[i] = 0;
        png[i + 1] = 1;
        png[i + 2] = 0x86;
        png[i + 3] = 0xa0;
    }
    auto huge = setHomeBackgroundFromData(png);
    ASSERT_FALSE(huge);
    EXPECT_TRUE(huge.error().kind == ErrorKind::TooLarge || huge.error().kind == ErrorKind::Malformed) << huge.error().message;
    auto cut = halvesPNG(300, 300);
    cut.resize(cut.size() / 2);
    EXPECT_FALSE(setHomeBackgroundFromData(cut)) << "a picture cut short";

    auto unknown = setBuiltInHomeBackground("Nope");
    ASSERT_FALSE(unknown);
    EXPECT_EQ(unknown.error().kind, ErrorKind::NotFound);
    EXPECT_NE(unknown.error().message.find("Aurora"), std::string::npos) << "names the ones there are";
    EXPECT_EQ(readBytes(root.hostPath(kHomeBackgroundPath)), before);
}

TEST(SBWallpaper, ABrokenOrEscapingFileInTheRootIsDrawnAsTheDefault)
{
    TemporaryRoot root;
    auto defaultWallpaper = [](cairo_t* cr, double width, double height) { builtInWallpapers()[0].draw(cr, width, height); };
    std::uint32_t expected = colourAt(defaultWallpaper, 0.5, 0.5);
    EXPECT_EQ(colourAt(drawHomeBackground, 0.5, 0.5), expected) << "no file";

    auto path = root.hostPath(kHomeBackgroundPath);
    std::filesystem::create_directories(path.parent_path());
    writeBytes(path, "\xff\xd8\xff garbage");
    EXPECT_EQ(colourAt(drawHomeBackground, 0.5, 0.5), expected) << "a broken JPEG";

    // A link to a picture outside the root is not followed.
    TemporaryFolder outside;
    auto photo = halvesPNG(100, 100);
    writeBytes(outside.path() / "photo.png", std::string(photo.begin(), photo.end()));
    std::filesystem::remove(path);
    std::filesystem::create_symlink(outside.path() / "photo.png", path);
    EXPECT_EQ(colourAt(drawHomeBackground, 0.5, 0.5), expected) << "a link out of the root";
}

TEST(SBWallpaper, EveryBuiltInWallpaperIsItsOwnPicture)
{
    TemporaryRoot root;
    std::vector<std::vector<std::uint8_t>> kept;
    for (auto& wallpaper : builtInWallpapers()) {
        ASSERT_TRUE(setBuiltInHomeBackground(wallpaper.name)) << wallpaper.name;
        kept.push_back(readBytes(root.hostPath(kHomeBackgroundPath)));
        for (std::size_t earlier = 0; earlier + 1 < kept.size(); ++earlier)
            EXPECT_NE(kept[earlier], kept.back()) << wallpaper.name;
    }
}
