#include <uikit/UIFont.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cairo.h>

#include <uikit/UIGraphics.h>
#include <uikit/UIImage.h>

#include "TestSupport.h"

TEST(UIFont, InstalledFontsByFamilyAndPostScriptNameAndNoneForAnUnknownName)
{
    auto families = UIFont::familyNames();
    EXPECT_TRUE(std::is_sorted(families.begin(), families.end()));
    EXPECT_NE(std::find(families.begin(), families.end(), "DejaVu Sans"), families.end());
    auto names = UIFont::fontNamesForFamilyName("DejaVu Sans");
    EXPECT_NE(std::find(names.begin(), names.end(), "DejaVuSans-Bold"), names.end());
    EXPECT_TRUE(UIFont::fontNamesForFamilyName("No Such Family").empty());

    auto bold = UIFont::fontWithName("DejaVuSans-Bold", 21);
    ASSERT_TRUE(bold);
    EXPECT_EQ(bold->fontName(), "DejaVuSans-Bold");
    EXPECT_EQ(bold->familyName(), "DejaVu Sans");
    EXPECT_EQ(bold->pointSize(), 21);
    EXPECT_FALSE(UIFont::fontWithName("Helvetica-Neue-Imaginary", 12));
    EXPECT_FALSE(UIFont::fontWithName("", 12));
    EXPECT_EQ(UIFont::systemFontOfSize(17)->fontName(), "DejaVuSans");
}

TEST(UIImage, PNGFilesLoadWithTheirScaleAndOtherFilesGiveNone)
{
    TemporaryRoot root;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 56, 40);
    ASSERT_EQ(cairo_surface_write_to_png(surface, (root.path() / "Applications/Icon@2x.png").c_str()), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(surface);
    auto image = UIImage::imageWithContentsOfFile("/Applications/Icon@2x.png");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->scale(), 2);
    EXPECT_EQ(image->size(), (CGSize { 28, 20 }));
    EXPECT_EQ(image->renderingMode(), UIImageRenderingMode::Automatic);
    auto templated = image->imageWithRenderingMode(UIImageRenderingMode::AlwaysTemplate);
    EXPECT_EQ(templated->renderingMode(), UIImageRenderingMode::AlwaysTemplate);
    EXPECT_EQ(templated->surface(), image->surface());
    EXPECT_EQ(image->renderingMode(), UIImageRenderingMode::Automatic) << "the original keeps its mode";

    writeBytes(root.path() / "Applications/broken.png", "\x89PNG not really");
    EXPECT_FALSE(UIImage::imageWithContentsOfFile("/Applications/broken.png"));
    EXPECT_FALSE(UIImage::imageWithContentsOfFile("/Applications/missing.png"));
    EXPECT_FALSE(UIImage::imageWithContentsOfFile("/../outside.png"));
}

TEST(UIImage, JPEGPixelsAreTheReferenceDecodersToTheByte)
{
    // A noisy picture, so that how the DCT is computed shows in the pixels.
    UIGraphicsBeginImageContextWithOptions({ 96, 64 }, true, 1.0);
    cairo_t* cr = UIGraphicsGetCurrentContext()->cairo;
    std::uint32_t seed = 7;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 96; ++x) {
            seed = seed * 1664525u + 1013904223u;
            cairo_set_source_rgb(cr, x / 96.0, ((seed >> 8) & 0xFF) / 255.0, y / 64.0);
            cairo_rectangle(cr, x, y, 1, 1);
            cairo_fill(cr);
        }
    }
    auto picture = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    ASSERT_TRUE(picture);
    TemporaryFolder folder;
    writeBytes(folder.path() / "noise.jpg", [&] {
        auto bytes = UIImageJPEGRepresentation(*picture, 0.9);
        return std::string(bytes.begin(), bytes.end());
    }());

    // djpeg, libjpeg-turbo's own command, with the accurate integer DCT.
    auto decoded = runCommand("djpeg -dct int -ppm '" + (folder.path() / "noise.jpg").string() + "' > '" + (folder.path() / "noise.ppm").string() + "'");
    ASSERT_EQ(decoded.status, 0) << decoded.output;
    auto ppm = readBytes(folder.path() / "noise.ppm");
    std::string header = "P6\n96 64\n255\n";
    ASSERT_EQ(ppm.size(), header.size() + 96 * 64 * 3);
    ASSERT_EQ(std::string(ppm.begin(), ppm.begin() + static_cast<std::ptrdiff_t>(header.size())), header);

    auto image = UIImage::imageWithContentsOfHostFile(folder.path() / "noise.jpg");
    ASSERT_TRUE(image);
    cairo_surface_t* surface = image->surface();
    cairo_surface_flush(surface);
    int differing = 0, largest = 0;
    for (int y = 0; y < 64; ++y) {
        auto* row = cairo_image_surface_get_data(surface) + cairo_image_surface_get_stride(surface) * y;
        for (int x = 0; x < 96; ++x) {
            const std::uint8_t* reference = ppm.data() + header.size() + static_cast<std::size_t>(y * 96 + x) * 3;
            int ours[3] = { row[x * 4 + 2], row[x * 4 + 1], row[x * 4] };
            for (int c = 0; c < 3; ++c) {
                int difference = std::abs(ours[c] - reference[c]);
                differing += difference != 0;
                largest = std::max(largest, difference);
            }
        }
    }
    EXPECT_EQ(differing, 0) << "largest difference " << largest << "/255";
}
