#include <uikit/UIFont.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cairo.h>

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
