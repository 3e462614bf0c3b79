// paletteOfImageFile: a picture's dominant colours as value types, and the
// reason when a file cannot be read.

#include <gtest/gtest.h>

#include <cairo.h>

#include <tincture/Color.h>
#include <tincture/ImagePalette.h>

#include <algorithm>

#include "TestSupport.h"

TEST(ImagePalette, APictureOfTwoColoursGivesBothAndABadFileItsReason)
{
    TemporaryFolder folder;
    auto png = (folder.path() / "halves.png").string();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 160, 80);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.905, 0.298, 0.235); // #E74C3C
    cairo_rectangle(cr, 0, 0, 80, 80);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.204, 0.596, 0.859); // #3498DB
    cairo_rectangle(cr, 80, 0, 80, 80);
    cairo_fill(cr);
    cairo_destroy(cr);
    ASSERT_EQ(cairo_surface_write_to_png(surface, png.c_str()), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(surface);

    auto palette = tincture::paletteOfImageFile(png);
    ASSERT_TRUE(palette.has_value()) << palette.error().message();
    auto has = [&](const char* hex) {
        auto wanted = *tincture::Color::parse(hex);
        return std::any_of(palette->begin(), palette->end(), [&](const tincture::Color& color) { return tincture::deltaE2000(color, wanted) < 2; });
    };
    EXPECT_TRUE(has("#E74C3C"));
    EXPECT_TRUE(has("#3498DB"));
    EXPECT_LE(palette->size(), 5u);
    EXPECT_EQ(tincture::paletteOfImageFile(png, 1)->size(), 1u);

    auto missing = tincture::paletteOfImageFile((folder.path() / "missing.png").string());
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().message().find("no such file"), std::string::npos);
    writeBytes(folder.path() / "notes.jpg", "not a picture");
    auto garbage = tincture::paletteOfImageFile((folder.path() / "notes.jpg").string());
    ASSERT_FALSE(garbage);
    EXPECT_NE(garbage.error().message().find("as a PNG, JPEG, HEIC or WebP image"), std::string::npos);
}
