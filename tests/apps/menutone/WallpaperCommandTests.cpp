// menutone wallpaper: a photo or a built-in wallpaper into the root, refused
// whole when it is not a picture, with two writers at once leaving one
// whole picture.

#include <gtest/gtest.h>

#include <cairo.h>
#include <sys/stat.h>

#include <springboard/SBWallpaper.h>
#include <uikit/UIGraphics.h>
#include <uikit/UIImage.h>

#include "RootCommandTest.h"

namespace {

class WallpaperCommand : public RootCommandTest {
protected:
    std::filesystem::path kept() const { return m_root.hostPath(kHomeBackgroundPath); }

    TemporaryFolder m_folder;
};

std::string solidPNG(double red, double green, double blue)
{
    UIGraphicsBeginImageContextWithOptions({ 40, 30 }, true, 1);
    cairo_set_source_rgb(UIGraphicsGetCurrentContext()->cairo, red, green, blue);
    cairo_paint(UIGraphicsGetCurrentContext()->cairo);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    auto bytes = UIImagePNGRepresentation(*image);
    return { bytes.begin(), bytes.end() };
}

}

TEST_F(WallpaperCommand, APhotoFromAFileOrStandardInputBecomesTheWallpaper)
{
    writeBytes(m_folder.path() / "green.png", solidPNG(0, 0.8, 0));
    auto set = menutone("wallpaper set '" + (m_folder.path() / "green.png").string() + "'");
    ASSERT_EQ(set.status, 0) << set.output;
    EXPECT_EQ(set.output, "");
    auto image = UIImage::readHostFile(kept());
    ASSERT_TRUE(image);
    EXPECT_EQ((*image)->pixelSize().width, 1242);

    auto before = readBytes(kept());
    writeBytes(m_folder.path() / "red.png", solidPNG(0.8, 0, 0));
    auto fromInput = menutone("wallpaper set - < '" + (m_folder.path() / "red.png").string() + "'");
    ASSERT_EQ(fromInput.status, 0) << fromInput.output;
    EXPECT_NE(readBytes(kept()), before);
}

TEST_F(WallpaperCommand, WhatIsNoPictureIsRefusedWithItsReasonAndTheOldWallpaperStays)
{
    ASSERT_EQ(menutone("wallpaper set --built-in Tide").status, 0);
    auto before = readBytes(kept());

    writeBytes(m_folder.path() / "notes.txt", "not a picture");
    auto text = menutone("wallpaper set '" + (m_folder.path() / "notes.txt").string() + "'");
    EXPECT_EQ(text.status, 1);
    EXPECT_NE(text.output.find("not a JPEG, PNG, HEIC or WebP picture; the wallpaper was not changed"), std::string::npos) << text.output;
    // A FIFO would block a reader that opened it: refused as no regular file.
    ASSERT_EQ(::mkfifo((m_folder.path() / "pipe.jpg").c_str(), 0600), 0);
    EXPECT_EQ(menutone("wallpaper set '" + (m_folder.path() / "pipe.jpg").string() + "'").status, 1);
    EXPECT_EQ(menutone("wallpaper set '" + m_folder.path().string() + "'").status, 1) << "a folder";
    EXPECT_EQ(menutone("wallpaper set '" + (m_folder.path() / "missing.png").string() + "'").status, 1);

    auto unknown = menutone("wallpaper set --built-in Sunset");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.output.find("(there are Aurora, Tide, Dusk, Graphite)"), std::string::npos) << unknown.output;
    EXPECT_EQ(menutone("wallpaper set").status, 2);
    EXPECT_EQ(menutone("wallpaper set --built-in Dusk photo.png").status, 2) << "one or the other";
    EXPECT_EQ(readBytes(kept()), before);

    auto list = menutone("wallpaper list");
    EXPECT_EQ(list.output, "Aurora\nTide\nDusk\nGraphite\n");
}

TEST_F(WallpaperCommand, TwoWritersAtOnceLeaveOneWholePicture)
{
    for (int round = 0; round < 3; ++round) {
        auto both = runCommand("(" + std::string(MENUTONE_COMMAND) + " --root '" + m_root.path().string() + "' wallpaper set --built-in Dusk & "
            + MENUTONE_COMMAND + " --root '" + m_root.path().string() + "' wallpaper set --built-in Graphite & wait)");
        EXPECT_EQ(both.output, "");
        auto image = UIImage::readHostFile(kept());
        ASSERT_TRUE(image) << image.error().message;
        EXPECT_EQ((*image)->pixelSize().height, 2208);
        EXPECT_EQ(entryCount(kept().parent_path()), 1u) << "no temporary file left beside it";
    }
}
