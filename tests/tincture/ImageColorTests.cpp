#include <tincture/NSArray+Tincture.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <functional>
#include <jpeglib.h>
#include <map>
#include <random>

#include <device/FileSystem.h>

#include <UIColor+TincturePrivate.h>
#include <UIImage+TincturePrivate.h>
#include <tincture/TinctureCountedColor.h>
#include <uikit/UIGraphics.h>

#include "ColorTestSupport.h"
#include "TestSupport.h"

using namespace tincture;

namespace {

// An image at one pixel per point, painted by the drawing.
Ref<UIImage> imageOf(int width, int height, const std::function<void(cairo_t*)>& draw)
{
    UIGraphicsBeginImageContextWithOptions({ static_cast<CGFloat>(width), static_cast<CGFloat>(height) }, false, 1.0);
    draw(UIGraphicsGetCurrentContext()->cairo);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image.releaseNonNull();
}

void fill(cairo_t* cr, double r, double g, double b, double a, double x, double y, double width, double height)
{
    cairo_set_source_rgba(cr, r, g, b, a);
    cairo_rectangle(cr, x, y, width, height);
    cairo_fill(cr);
}

std::array<int, 4> bytesAt(const UIImage& image, int x, int y)
{
    auto color = colorFromImage(&image, { static_cast<CGFloat>(x), static_cast<CGFloat>(y) });
    auto c = rgba(color.get());
    return { static_cast<int>(std::lround(c[0] * 255)), static_cast<int>(std::lround(c[1] * 255)), static_cast<int>(std::lround(c[2] * 255)),
        static_cast<int>(std::lround(c[3] * 255)) };
}

bool isWhite(const UIColor& color)
{
    return color.isEqual(UIColor::whiteColor().ptr());
}

// The palette's count, raise, order and keep done the plain way: an object per
// colour, a counted set keyed by the components, counted colours sorted
// stably, as the library first did it.
std::vector<Ref<UIColor>> naiveDominantColors(const UIImage& image, std::size_t wanted)
{
    cairo_surface_t* surface = image.surface();
    cairo_surface_flush(surface);
    int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    std::vector<std::array<CGFloat, 4>> firstSeen;
    std::map<std::array<CGFloat, 4>, std::uint64_t> counts;
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            const unsigned char* pixel = cairo_image_surface_get_data(surface) + cairo_image_surface_get_stride(surface) * y + x * 4;
            auto channel = [](unsigned char byte) { return static_cast<CGFloat>(static_cast<float>(byte) / 255.0f); };
            std::array<CGFloat, 4> c { channel(pixel[2]), channel(pixel[1]), channel(pixel[0]), pixel[3] / 255.0 };
            if (!counts[c]++)
                firstSeen.push_back(c);
        }
    }
    std::vector<Ref<TinctureCountedColor>> counted;
    for (auto& c : firstSeen) {
        auto raised = colorWithMinimumSaturation(UIColor::colorWithRed(c[0], c[1], c[2], c[3]).ptr(), 0.15);
        std::array<CGFloat, 4> key;
        raised->getRed(&key[0], &key[1], &key[2], &key[3]);
        auto found = counts.find(key);
        counted.push_back(TinctureCountedColor::create(raised, found == counts.end() ? 0 : found->second));
    }
    std::stable_sort(counted.begin(), counted.end(), [](const auto& a, const auto& b) { return a->compare(b.ptr()) == NSOrderedAscending; });
    std::vector<Ref<UIColor>> kept;
    for (auto& entry : counted) {
        RefPtr<UIColor> color = entry->color();
        if (std::any_of(kept.begin(), kept.end(), [&](const Ref<UIColor>& other) { return !isDistinct(color.get(), other.ptr()); }))
            continue;
        if (kept.size() >= wanted)
            break;
        kept.push_back(color.releaseNonNull());
    }
    return kept;
}

std::vector<std::array<CGFloat, 4>> componentsOf(const std::vector<Ref<UIColor>>& colors)
{
    std::vector<std::array<CGFloat, 4>> all;
    for (auto& color : colors)
        all.push_back(rgba(color.ptr()));
    return all;
}

}

TEST(GradientColor, LinearGradientsRunAlongTheirAxisAndRadialOnesFromTheCentre)
{
    std::vector<Ref<UIColor>> colors { UIColor::colorWithRed(1, 0, 0, 1), UIColor::colorWithRed(0, 0, 1, 1) };
    auto horizontal = colorWithGradientStyle(0, CGRectMake(10, 20, 100, 50), colors);
    ASSERT_TRUE(horizontal);
    EXPECT_TRUE(CGColorGetPattern(horizontal->CGColor()));
    auto image = gradientImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelSize(), (CGSize { 100 * UIScreen::mainScreen().scale(), 50 * UIScreen::mainScreen().scale() }));
    int width = static_cast<int>(image->pixelSize().width), height = static_cast<int>(image->pixelSize().height);
    for (int y : { 0, height / 2, height - 1 }) {
        auto left = bytesAt(*image, 0, y), right = bytesAt(*image, width - 1, y);
        EXPECT_GE(left[0], 253) << "left column is the first colour";
        EXPECT_LE(left[2], 2);
        EXPECT_GE(right[2], 253) << "right column is the second colour";
        EXPECT_LE(right[0], 2);
        EXPECT_EQ(bytesAt(*image, width / 3, y), bytesAt(*image, width / 3, 0)) << "columns are uniform";
    }

    colorWithGradientStyle(2, CGRectMake(0, 0, 100, 50), colors);
    auto vertical = gradientImage();
    EXPECT_GE(bytesAt(*vertical, width / 2, 0)[0], 253);
    EXPECT_GE(bytesAt(*vertical, width / 2, height - 1)[2], 253);
    colorWithGradientStyle(7, CGRectMake(0, 0, 100, 50), colors);
    auto seven = gradientImage();
    EXPECT_NE(seven.get(), vertical.get()) << "the slot holds the newest image";
    for (int y = 0; y < height; y += 7)
        EXPECT_EQ(bytesAt(*seven, 3, y), bytesAt(*vertical, 3, y)) << "style 7 draws like style 2";

    colorWithGradientStyle(1, CGRectMake(0, 0, 100, 50), colors);
    auto radial = gradientImage();
    auto centre = bytesAt(*radial, width / 2, height / 2);
    EXPECT_GE(centre[0], 250);
    for (auto corner : { bytesAt(*radial, 0, 0), bytesAt(*radial, width - 1, height - 1) }) {
        EXPECT_EQ(corner[0], 0) << "beyond the end circle, the last colour";
        EXPECT_EQ(corner[2], 255);
    }

    EXPECT_FALSE(colorWithGradientStyle(0, CGRectMake(0, 0, 100, 50), {}));
    EXPECT_FALSE(colorWithGradientStyle(0, CGRectMake(0, 0, 0, 50), colors));
}

TEST(GradientColor, PatternColoursFlattenAsTheirGradientImageReducedToOnePixel)
{
    auto pattern = colorWithGradientStyle(0, CGRectMake(0, 0, 40, 40), { UIColor::colorWithRed(1, 1, 0, 1), UIColor::colorWithRed(0, 0.4, 0, 1) });
    ASSERT_TRUE(pattern);
    // The reduction by hand: the mean of every premultiplied byte.
    double sums[3] = { 0, 0, 0 };
    double count = 0;
    auto image = gradientImage();
    for (int x = 0; x < image->pixelSize().width; ++x) {
        for (int y = 0; y < image->pixelSize().height; ++y) {
            auto bytes = bytesAt(*image, x, y);
            for (int i = 0; i < 3; ++i)
                sums[i] += bytes[i];
            ++count;
        }
    }
    auto reduced = UIColor::colorWithRed(std::round(sums[0] / count) / 255, std::round(sums[1] / count) / 255, std::round(sums[2] / count) / 255, 1);
    EXPECT_EQ(rgba(colorWithFlatVersionOf(pattern.get(), 0.5).get()), rgba(colorWithFlatVersionOf(reduced.ptr(), 0.5).get()));
    EXPECT_EQ(rgba(colorWithContrastingBlackOrWhiteColorOn(pattern.get(), Flat::No).ptr()),
        rgba(colorWithContrastingBlackOrWhiteColorOn(reduced.ptr(), Flat::No).ptr()));
    EXPECT_EQ(rgba(colorWithComplementaryFlatColorOf(pattern.get()).get()), rgba(colorWithComplementaryFlatColorOf(reduced.ptr()).get()));
}

TEST(ImageColors, PixelsReadPremultipliedAndAPointOutsideGivesNone)
{
    auto image = imageOf(4, 2, [](cairo_t* cr) {
        fill(cr, 1, 0, 0, 1, 0, 0, 2, 2);
        fill(cr, 1, 0, 0, 0.5, 2, 0, 2, 2);
    });
    EXPECT_EQ(rgba(colorFromImage(image.ptr(), { 1, 1 }).get()), (std::array<CGFloat, 4> { 1, 0, 0, 1 }));
    auto half = rgba(colorFromImage(image.ptr(), { 3.7, 0 }).get());
    EXPECT_NEAR(half[0], 0.5, 0.01) << "premultiplied";
    EXPECT_NEAR(half[3], 0.5, 0.01);
    EXPECT_FALSE(colorFromImage(image.ptr(), { 4, 0 }));
    EXPECT_FALSE(colorFromImage(image.ptr(), { -1, 0 }));
    EXPECT_FALSE(colorFromImage(image.ptr(), { 0, 2 }));
    EXPECT_FALSE(colorFromImage(nullptr, { 0, 0 }));

    auto transparent = imageOf(10, 10, [](cairo_t*) {});
    EXPECT_EQ(rgba(colorWithAverageColorFromImage(transparent.ptr(), 0.8).get()), (std::array<CGFloat, 4> { 0, 0, 0, 0 }));
    auto green = imageOf(10, 10, [](cairo_t* cr) { fill(cr, 0, 1, 0, 1, 0, 0, 10, 10); });
    EXPECT_EQ(rgba(colorWithAverageColorFromImage(green.ptr(), 0.8).get()), (std::array<CGFloat, 4> { 0, 1, 0, 0.8 }));
    auto grey = imageOf(10, 10, [](cairo_t* cr) { fill(cr, 0.5, 0.5, 0.5, 1, 0, 0, 10, 10); });
    CGFloat saturation;
    colorWithAverageColorFromImage(grey.ptr())->getHue(nullptr, &saturation, nullptr, nullptr);
    EXPECT_NEAR(saturation, 0.15, 1e-12) << "raised to saturation 0.15";
}

TEST(ImagePalette, PlainImagesGiveTheirColourAndWhitesAndCloseColoursCountAsOne)
{
    auto nothing = array::arrayOfColorsFromImage(nullptr, Flat::No);
    ASSERT_EQ(nothing.size(), 5u);
    for (auto& color : nothing)
        EXPECT_TRUE(isWhite(color));

    auto red = imageOf(80, 80, [](cairo_t* cr) { fill(cr, 0.9, 0.2, 0.1, 1, 0, 0, 80, 80); });
    auto palette = array::arrayOfColorsFromImage(red.ptr(), Flat::No);
    ASSERT_EQ(palette.size(), 5u);
    EXPECT_EQ(positionOf(array::arrayOfColorsFromImage(red.ptr(), Flat::Yes)[0].ptr()), positionOf(flatten(palette[0].ptr()).get()));
    auto first = rgba(palette[0].ptr());
    EXPECT_NEAR(first[0], 0.9, 0.005);
    EXPECT_NEAR(first[1], 0.2, 0.005);
    for (std::size_t i = 1; i < 5; ++i)
        EXPECT_TRUE(isWhite(palette[i])) << i;

    // Two colours within 0.25 of each other: only the more frequent one.
    auto close = imageOf(80, 80, [](cairo_t* cr) {
        fill(cr, 0.2, 0.4, 0.8, 1, 0, 0, 56, 80);
        fill(cr, 0.3, 0.5, 0.9, 1, 56, 0, 24, 80);
    });
    auto closePalette = array::arrayOfColorsFromImage(close.ptr(), Flat::No);
    EXPECT_NEAR(rgba(closePalette[0].ptr())[0], 0.2, 0.005);
    EXPECT_TRUE(isWhite(closePalette[1]));

    // Grey is raised to saturation 0.15 and so counts nothing: a small red spot comes first.
    auto spot = imageOf(80, 80, [](cairo_t* cr) {
        fill(cr, 0.5, 0.5, 0.5, 1, 0, 0, 80, 80);
        fill(cr, 1, 0, 0, 1, 0, 0, 16, 16);
    });
    auto spotPalette = array::arrayOfColorsFromImage(spot.ptr(), Flat::No);
    EXPECT_EQ(rgba(spotPalette[0].ptr()), (std::array<CGFloat, 4> { 1, 0, 0, 1 }));

    // Below eight points, still five colours.
    auto tiny = imageOf(5, 3, [](cairo_t* cr) { fill(cr, 0, 0.6, 0.3, 1, 0, 0, 5, 3); });
    EXPECT_EQ(array::arrayOfColorsFromImage(tiny.ptr(), Flat::No).size(), 5u);
}

TEST(ImagePalette, SidesThatAreNoMultipleOfEightGiveNoTranslucentEdgeColours)
{
    // 100 x 50 reduces to 12 x 6 whole pixels, not 12.5 x 6.25 with a half-covered edge.
    for (auto [width, height] : { std::pair { 100, 50 }, std::pair { 13, 9 }, std::pair { 7, 100 } }) {
        auto red = imageOf(width, height, [w = width, h = height](cairo_t* cr) { fill(cr, 0.9, 0.2, 0.1, 1, 0, 0, w, h); });
        auto palette = array::arrayOfColorsFromImage(red.ptr(), Flat::No);
        ASSERT_EQ(palette.size(), 5u);
        EXPECT_NEAR(rgba(palette[0].ptr())[0], 0.9, 0.005) << width << "x" << height;
        for (std::size_t i = 0; i < palette.size(); ++i) {
            EXPECT_EQ(rgba(palette[i].ptr())[3], 1) << width << "x" << height << " colour " << i;
            if (i > 0) {
                EXPECT_TRUE(isWhite(palette[i])) << width << "x" << height << " colour " << i;
            }
        }
    }
}

TEST(ImagePalette, CountingByBytesMatchesTheNaiveObjectCountColourForColourAndInOrder)
{
    std::mt19937 random(2005);
    std::uniform_real_distribution<double> unit(0, 1);
    auto randomColour = [&](cairo_t* cr) {
        // Greys and near-greys (raised, so looked up as another colour) as
        // often as saturated colours; some translucent.
        double r = unit(random), g = unit(random), b = unit(random);
        if (unit(random) < 0.4)
            g = b = r + 0.04 * (unit(random) - 0.5);
        cairo_set_source_rgba(cr, r, std::clamp(g, 0.0, 1.0), std::clamp(b, 0.0, 1.0), unit(random) < 0.2 ? unit(random) : 1);
    };
    std::vector<std::pair<std::string, Ref<UIImage>>> images;
    for (int round = 0; round < 12; ++round) {
        // Blocks of a few sizes: equal counts (ties) and overlapping colours.
        int block = 2 + round % 4;
        images.emplace_back("blocks " + std::to_string(round), imageOf(96, 64, [&](cairo_t* cr) {
            for (int y = 0; y < 64; y += block) {
                for (int x = 0; x < 96; x += block) {
                    randomColour(cr);
                    cairo_rectangle(cr, x, y, block, block);
                    cairo_fill(cr);
                }
            }
        }));
    }
    // A photo-like picture: gradients with noise in each channel, most pixels distinct.
    images.emplace_back("noisy gradient", imageOf(300, 200, [&](cairo_t* cr) {
        for (int y = 0; y < 200; ++y) {
            for (int x = 0; x < 300; ++x) {
                cairo_set_source_rgb(cr, std::clamp(x / 300.0 + 0.1 * (unit(random) - 0.5), 0.0, 1.0),
                    std::clamp(y / 200.0 + 0.1 * (unit(random) - 0.5), 0.0, 1.0), std::clamp(0.5 + 0.1 * (unit(random) - 0.5), 0.0, 1.0));
                cairo_rectangle(cr, x, y, 1, 1);
                cairo_fill(cr);
            }
        }
    }));
    // A grey ramp: every colour raised, the raised ones sometimes landing on another pixel's colour.
    images.emplace_back("grey ramp", imageOf(256, 4, [&](cairo_t* cr) {
        for (int x = 0; x < 256; ++x)
            fill(cr, x / 255.0, x / 255.0, x / 255.0, 1, x, 0, 1, 4);
    }));
    for (auto& [name, image] : images) {
        for (std::size_t wanted : { 5u, 40u }) {
            EXPECT_EQ(componentsOf(array::findColorsOfImage(wanted, image.ptr(), nullptr)), componentsOf(naiveDominantColors(image.get(), wanted)))
                << name << ", " << wanted << " wanted";
        }
    }
}

TEST(ImagePalette, FindColorsCountsEveryPixelOfTheUnreducedImage)
{
    auto image = imageOf(10, 10, [](cairo_t* cr) {
        fill(cr, 1, 0, 0, 1, 0, 0, 10, 7);
        fill(cr, 0, 0, 1, 1, 0, 7, 10, 3);
    });
    NSCountedSet counts;
    auto colors = array::findColorsOfImage(3, image.ptr(), &counts);
    ASSERT_EQ(colors.size(), 2u) << "not padded";
    EXPECT_EQ(rgba(colors[0].ptr()), (std::array<CGFloat, 4> { 1, 0, 0, 1 }));
    EXPECT_EQ(counts.countForObject(UIColor::colorWithRed(1, 0, 0, 1).ptr()), 70u);
    EXPECT_EQ(counts.countForObject(UIColor::colorWithRed(0, 0, 1, 1).ptr()), 30u);
    EXPECT_EQ(array::findColorsOfImage(1, image.ptr(), nullptr).size(), 1u);
}

TEST(ImageFiles, JPEGAndPNGFilesReadAndMalformedOnesGiveNone)
{
    TemporaryRoot root;
    // A JPEG made by libjpeg itself: 16 x 8 of one orange.
    auto jpegPath = root.path() / "orange.jpg";
    {
        FILE* file = std::fopen(jpegPath.c_str(), "wb");
        jpeg_compress_struct info {};
        jpeg_error_mgr errors {};
        info.err = jpeg_std_error(&errors);
        jpeg_create_compress(&info);
        jpeg_stdio_dest(&info, file);
        info.image_width = 16;
        info.image_height = 8;
        info.input_components = 3;
        info.in_color_space = JCS_RGB;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, 95, TRUE);
        jpeg_start_compress(&info, TRUE);
        std::vector<unsigned char> row(16 * 3);
        for (int x = 0; x < 16; ++x) {
            row[x * 3] = 240;
            row[x * 3 + 1] = 130;
            row[x * 3 + 2] = 20;
        }
        while (info.next_scanline < info.image_height) {
            JSAMPROW rows[1] = { row.data() };
            jpeg_write_scanlines(&info, rows, 1);
        }
        jpeg_finish_compress(&info);
        jpeg_destroy_compress(&info);
        std::fclose(file);
    }
    auto jpeg = UIImage::imageWithContentsOfHostFile(jpegPath);
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->pixelSize(), (CGSize { 16, 8 }));
    auto pixel = bytesAt(*jpeg, 5, 5);
    EXPECT_NEAR(pixel[0], 240, 4);
    EXPECT_NEAR(pixel[1], 130, 4);
    EXPECT_NEAR(pixel[2], 20, 4);
    EXPECT_EQ(pixel[3], 255);

    auto bytes = readBytes(jpegPath);
    writeBytes(root.path() / "cut.jpg", std::string(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2)));
    writeBytes(root.path() / "garbage.jpg", "\xFF\xD8\xFF\xE0 not a jpeg at all");
    writeBytes(root.path() / "garbage.png", "\x89PNG\r\n\x1A\n nothing after");
    writeBytes(root.path() / "text.png", "just text");
    for (const char* name : { "garbage.jpg", "garbage.png", "text.png", "missing.jpg" })
        EXPECT_FALSE(UIImage::imageWithContentsOfHostFile(root.path() / name)) << name;
    // A JPEG whose data ends early is malformed, as a cut PNG is: libjpeg alone would fill the rest with grey.
    auto cut = UIImage::readHostFile(root.path() / "cut.jpg");
    ASSERT_FALSE(cut);
    EXPECT_EQ(cut.error().kind, ErrorKind::Malformed);
    for (std::size_t length = 0; length < bytes.size(); length += 7) {
        writeBytes(root.path() / "prefix.jpg", std::string(bytes.begin(), bytes.begin() + static_cast<long>(length)));
        (void)UIImage::imageWithContentsOfHostFile(root.path() / "prefix.jpg");
    }
}

namespace {

std::uint32_t crc32Of(const std::string& bytes)
{
    std::uint32_t crc = 0xFFFFFFFF;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::string bigEndian(std::uint32_t value)
{
    return { static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8), static_cast<char>(value) };
}

std::string pngChunk(const std::string& type, const std::string& data)
{
    return bigEndian(static_cast<std::uint32_t>(data.size())) + type + data + bigEndian(crc32Of(type + data));
}

// A PNG header declaring the size, then a little of zlib's stored data: what a
// decompression bomb looks like up to the point a reader commits memory.
std::string pngDeclaring(std::uint32_t width, std::uint32_t height)
{
    std::string header = bigEndian(width) + bigEndian(height) + std::string("\x08\x06\x00\x00\x00", 5);
    return std::string("\x89PNG\r\n\x1A\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", std::string("\x78\x9C\x03\x00\x00\x00\x00\x01", 8))
        + pngChunk("IEND", "");
}

}

TEST(ImageFiles, APictureOverThePixelCapIsRefusedFromItsHeaderAndAFileOverTheSizeCapUnread)
{
    TemporaryRoot root;
    writeBytes(root.path() / "bomb.png", pngDeclaring(20000, 20000));
    auto bomb = UIImage::readHostFile(root.path() / "bomb.png");
    ASSERT_FALSE(bomb);
    EXPECT_EQ(bomb.error(), (::Error { ErrorKind::TooLarge, "too large: pictures over 100 megapixels are not read" }));

    // Just under the cap the header passes and the missing data makes it malformed.
    writeBytes(root.path() / "short.png", pngDeclaring(10000, 10000));
    auto cutShort = UIImage::readHostFile(root.path() / "short.png");
    ASSERT_FALSE(cutShort);
    EXPECT_EQ(cutShort.error().kind, ErrorKind::Malformed);

    // A sparse file over 64 MiB is refused by its size, before a byte is read.
    auto large = root.path() / "large.png";
    writeBytes(large, pngDeclaring(1, 1));
    std::filesystem::resize_file(large, device::maximumReadSize + 1);
    auto tooLarge = UIImage::readHostFile(large);
    ASSERT_FALSE(tooLarge);
    EXPECT_EQ(tooLarge.error(), (::Error { ErrorKind::TooLarge, "too large: files over 64 MiB are not read" }));
}

// A grey raised to saturation 0.15 is looked up under its raised colour. Grey
// (200, 200, 200) raised is (200, 170, 170) to the eye, and that colour is in
// the picture 3 times; but the raise lands between 8-bit values (no colour of
// saturation below 0.15 raises exactly onto another 8-bit colour), so the
// grey counts 0, not its own 10, and comes after the 5 blues and the 3 pinks,
// to which it is too close to be kept.
TEST(ImagePalette, ARaisedGreyRanksByTheCountFoundUnderItsRaisedColour)
{
    auto image = imageOf(18, 1, [](cairo_t* cr) {
        fill(cr, 200 / 255.0, 200 / 255.0, 200 / 255.0, 1, 0, 0, 10, 1);
        fill(cr, 200 / 255.0, 170 / 255.0, 170 / 255.0, 1, 10, 0, 3, 1);
        fill(cr, 0, 0, 1, 1, 13, 0, 5, 1);
    });
    auto colors = array::findColorsOfImage(5, image.ptr(), nullptr);
    ASSERT_EQ(colors.size(), 2u) << "the grey, raised, is not distinct from the pink one";
    EXPECT_EQ(rgba(colors[0].ptr()), (std::array<CGFloat, 4> { 0, 0, 1, 1 })) << "5 blues first";
    auto second = rgba(colors[1].ptr());
    EXPECT_NEAR(second[0] * 255, 200, 1e-3);
    EXPECT_NEAR(second[1] * 255, 170, 1e-3);
    EXPECT_NEAR(second[2] * 255, 170, 1e-3);
}
