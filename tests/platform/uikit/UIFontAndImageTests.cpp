#include <uikit/UIFont.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <functional>

#include <uikit/NSStringDrawing.h>
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
}

TEST(UIFont, TheSystemFontIsInterWithItsDisplayCutFromTwentyPointsAndSemiboldForBold)
{
    ASSERT_TRUE(UIFont::fontWithName("Inter-Regular", 17)) << "fonts-inter is not installed (scripts/install-deps installs it)";
    EXPECT_EQ(UIFont::systemFontOfSize(17)->fontName(), "Inter-Regular");
    EXPECT_EQ(UIFont::systemFontOfSize(19.5)->fontName(), "Inter-Regular");
    EXPECT_EQ(UIFont::systemFontOfSize(20)->fontName(), "InterDisplay-Regular");
    EXPECT_EQ(UIFont::boldSystemFontOfSize(17)->fontName(), "Inter-SemiBold") << "iOS 9's bold system font is the semibold";
    EXPECT_EQ(UIFont::boldSystemFontOfSize(34)->fontName(), "InterDisplay-SemiBold");
    EXPECT_EQ(UIFont::systemFontOfSize(13)->pointSize(), 13);
    // The pickers still list every family, Inter's among them.
    auto families = UIFont::familyNames();
    EXPECT_NE(std::find(families.begin(), families.end(), "DejaVu Sans"), families.end());
    EXPECT_NE(std::find(families.begin(), families.end(), "Inter"), families.end());
    // Semibold is drawn semibold: wider than the regular, narrower than the bold.
    auto width = [](const UIFont& font) { return sizeWithAttributes("Configuration", { &font }).width; };
    EXPECT_LT(width(UIFont::systemFontOfSize(17)), width(UIFont::boldSystemFontOfSize(17)));
    EXPECT_LT(width(UIFont::boldSystemFontOfSize(17)), width(*UIFont::fontWithName("Inter-Bold", 17)));
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

namespace {

// A picture painted pixel by pixel, with a repeatable noise from 0 to 1 for each.
Ref<UIImage> noisyPicture(int width, int height, std::uint32_t seed, const std::function<std::array<double, 3>(int x, int y, double noise)>& colourAt)
{
    UIGraphicsBeginImageContextWithOptions({ static_cast<CGFloat>(width), static_cast<CGFloat>(height) }, true, 1.0);
    cairo_t* cr = UIGraphicsGetCurrentContext()->cairo;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            auto [r, g, b] = colourAt(x, y, ((seed >> 8) & 0xFF) / 255.0);
            cairo_set_source_rgb(cr, r, g, b);
            cairo_rectangle(cr, x, y, 1, 1);
            cairo_fill(cr);
        }
    }
    auto picture = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return picture.releaseNonNull();
}

}

TEST(UIImage, JPEGPixelsAreTheReferenceDecodersToTheByte)
{
    // A noisy picture, so that how the DCT is computed shows in the pixels.
    auto picture = noisyPicture(96, 64, 7, [](int x, int y, double noise) { return std::array<double, 3> { x / 96.0, noise, y / 64.0 }; });
    TemporaryFolder folder;
    writeBytes(folder.path() / "noise.jpg", [&] {
        auto bytes = UIImageJPEGRepresentation(picture.get(), 0.9);
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

TEST(UIImage, AJPEGDecodedSmallerKeepsItsSizeInPointsAndTheBlockAverages)
{
    // A photo-like gradient with texture, written by our encoder.
    auto picture = noisyPicture(256, 192, 11, [](int x, int y, double noise) {
        double texture = noise / 4;
        return std::array<double, 3> { 0.2 + 0.5 * x / 256 + texture, 0.3 + texture, 0.8 - 0.5 * y / 192 };
    });
    TemporaryFolder folder;
    auto bytes = UIImageJPEGRepresentation(picture.get(), 0.9);
    writeBytes(folder.path() / "photo.jpg", std::string(bytes.begin(), bytes.end()));
    auto whole = UIImage::imageWithContentsOfHostFile(folder.path() / "photo.jpg");
    ASSERT_TRUE(whole);
    auto byteAt = [](const UIImage& image, int x, int y, int channel) {
        cairo_surface_t* surface = image.surface();
        cairo_surface_flush(surface);
        return static_cast<int>(cairo_image_surface_get_data(surface)[cairo_image_surface_get_stride(surface) * y + x * 4 + channel]);
    };
    for (int reduction : { 2, 4, 8 }) {
        SCOPED_TRACE(reduction);
        auto small = UIImage::imageWithContentsOfHostFile(folder.path() / "photo.jpg", reduction);
        ASSERT_TRUE(small);
        EXPECT_EQ(small->pixelSize().width, 256 / reduction);
        EXPECT_EQ(small->pixelSize().height, 192 / reduction);
        EXPECT_EQ(small->size().width, 256);
        EXPECT_EQ(small->size().height, 192);
        // Each pixel is near the mean of its block of the whole decode.
        double total = 0;
        int largest = 0, count = 0;
        for (int y = 0; y < 192 / reduction; ++y) {
            for (int x = 0; x < 256 / reduction; ++x) {
                for (int channel = 0; channel < 3; ++channel) {
                    double sum = 0;
                    for (int dy = 0; dy < reduction; ++dy) {
                        for (int dx = 0; dx < reduction; ++dx)
                            sum += byteAt(*whole, x * reduction + dx, y * reduction + dy, channel);
                    }
                    int difference = static_cast<int>(std::lround(std::fabs(sum / (reduction * reduction) - byteAt(*small, x, y, channel))));
                    largest = std::max(largest, difference);
                    total += difference;
                    ++count;
                }
            }
        }
        EXPECT_LT(total / count, 2) << "largest difference " << largest;
        EXPECT_LE(largest, 20) << "mean difference " << total / count;
    }
    // A PNG has no cheap way to decode smaller: it is read whole.
    auto png = UIImagePNGRepresentation(picture.get());
    writeBytes(folder.path() / "photo.png", std::string(png.begin(), png.end()));
    auto pngImage = UIImage::imageWithContentsOfHostFile(folder.path() / "photo.png", 8);
    ASSERT_TRUE(pngImage);
    EXPECT_EQ(pngImage->pixelSize().width, 256);
}

TEST(UIImage, AFileIsDecodedAsItIsReadToWhatItsBytesGiveAndACutOneToNone)
{
    // Noise compresses badly, so each file spans more than one of the reader's 64 KiB blocks.
    auto picture = noisyPicture(400, 300, 5, [](int x, int, double noise) { return std::array<double, 3> { noise, x / 400.0, 1 - noise }; });
    TemporaryFolder folder;
    auto pixelsOf = [](const UIImage& image) {
        cairo_surface_t* surface = image.surface();
        cairo_surface_flush(surface);
        auto* data = cairo_image_surface_get_data(surface);
        return std::vector<std::uint8_t>(data, data + cairo_image_surface_get_stride(surface) * cairo_image_surface_get_height(surface));
    };
    for (auto [name, bytes] :
        { std::pair { "noise.png", UIImagePNGRepresentation(picture.get()) }, std::pair { "noise.jpg", UIImageJPEGRepresentation(picture.get(), 0.95) } }) {
        SCOPED_TRACE(name);
        ASSERT_GT(bytes.size(), 65536u + 2);
        auto path = folder.path() / name;
        writeBytes(path, std::string(bytes.begin(), bytes.end()));
        for (int reduction : { 1, 8 }) {
            auto fromFile = UIImage::imageWithContentsOfHostFile(path, reduction);
            auto fromMemory = UIImage::readData(bytes, 1, reduction);
            ASSERT_TRUE(fromFile && fromMemory);
            EXPECT_EQ(pixelsOf(*fromFile), pixelsOf(fromMemory->get()));
        }
        // Cut inside the first block, at a block's end, just past it, and one byte short.
        for (std::size_t length : { std::size_t(100), std::size_t(65536), std::size_t(65537), bytes.size() - 1 }) {
            SCOPED_TRACE(length);
            std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
            writeBytes(path, std::string(cut.begin(), cut.end()));
            auto image = UIImage::readHostFile(path);
            ASSERT_FALSE(image);
            EXPECT_EQ(image.error().kind, ErrorKind::Malformed);
            EXPECT_FALSE(UIImage::imageWithData(cut, 1));
        }
    }
}
