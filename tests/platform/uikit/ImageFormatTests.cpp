// Photos as phones store them: HEIC and WebP made here with libheif's and
// libwebp's own encoders read back to their source's pixels within the
// codec's error, and JPEGs with an EXIF orientation read upright, checked
// against jpegtran's lossless turns of the same file.

#include <uikit/UIImage.h>

#include <gtest/gtest.h>

#include <cairo.h>
#include <libheif/heif.h>
#include <webp/encode.h>

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "TestSupport.h"
#include "support/HEIFGrid.h"

namespace {

// Straight RGB pixels, row by row.
struct Picture {
    int width { 0 }, height { 0 };
    std::vector<std::uint8_t> rgb;
    std::array<int, 3> at(int x, int y) const
    {
        auto* pixel = &rgb[static_cast<std::size_t>(y * width + x) * 3];
        return { pixel[0], pixel[1], pixel[2] };
    }
};

// A photo-like picture: smooth light over the frame, a little sensor noise,
// and no symmetry, so that any turn or mirror shows.
Picture photoLike(int width, int height)
{
    Picture picture { width, height, {} };
    std::uint32_t seed = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            int noise = static_cast<int>((seed >> 24) % 9) - 4;
            picture.rgb.push_back(static_cast<std::uint8_t>(std::clamp(40 + 180 * x / width + noise, 0, 255)));
            picture.rgb.push_back(static_cast<std::uint8_t>(std::clamp(30 + 200 * y / height + noise, 0, 255)));
            picture.rgb.push_back(static_cast<std::uint8_t>(std::clamp(200 - 150 * (x + y) / (width + height) + (x * y % 7) + noise, 0, 255)));
        }
    return picture;
}

Picture pictureOf(const UIImage& image)
{
    cairo_surface_t* surface = image.surface();
    cairo_surface_flush(surface);
    Picture picture { cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface), {} };
    for (int y = 0; y < picture.height; ++y) {
        auto* row = cairo_image_surface_get_data(surface) + static_cast<std::ptrdiff_t>(cairo_image_surface_get_stride(surface)) * y;
        for (int x = 0; x < picture.width; ++x)
            picture.rgb.insert(picture.rgb.end(), { row[x * 4 + 2], row[x * 4 + 1], row[x * 4] });
    }
    return picture;
}

struct Difference {
    double mean { 0 };
    int largest { 0 };
};

Difference differenceBetween(const Picture& a, const Picture& b)
{
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    Difference difference;
    if (a.rgb.size() != b.rgb.size())
        return { 255, 255 };
    for (std::size_t i = 0; i < a.rgb.size(); ++i) {
        int d = std::abs(a.rgb[i] - b.rgb[i]);
        difference.mean += d;
        difference.largest = std::max(difference.largest, d);
    }
    difference.mean /= static_cast<double>(a.rgb.size());
    return difference;
}

// The picture as the EXIF orientation shows it, done the long way.
Picture turned(const Picture& stored, int orientation)
{
    bool isTurned = orientation >= 5;
    Picture shown { isTurned ? stored.height : stored.width, isTurned ? stored.width : stored.height, {} };
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x) {
            // Rotate the shown point back into the stored frame, by the tag's own description.
            int u = x, v = y;
            if (orientation == 2 || orientation == 3)
                u = shown.width - 1 - x;
            if (orientation == 3 || orientation == 4)
                v = shown.height - 1 - y;
            int sx = u, sy = v;
            if (orientation == 5)
                sx = y, sy = x;
            else if (orientation == 6)
                sx = y, sy = stored.height - 1 - x;
            else if (orientation == 7)
                sx = stored.width - 1 - y, sy = stored.height - 1 - x;
            else if (orientation == 8)
                sx = stored.width - 1 - y, sy = x;
            auto pixel = stored.at(sx, sy);
            shown.rgb.insert(
                shown.rgb.end(), { static_cast<std::uint8_t>(pixel[0]), static_cast<std::uint8_t>(pixel[1]), static_cast<std::uint8_t>(pixel[2]) });
        }
    return shown;
}

std::vector<std::uint8_t> heicOf(const Picture& picture, heif_orientation orientation)
{
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    EXPECT_EQ(heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code, heif_error_Ok) << "libheif has no HEVC encoder";
    if (!encoder) {
        heif_context_free(context);
        return {};
    }
    heif_encoder_set_lossy_quality(encoder, 95);
    heif_image* image = nullptr;
    heif_image_create(picture.width, picture.height, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, picture.width, picture.height, 8);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(plane + static_cast<std::ptrdiff_t>(y) * stride, &picture.rgb[static_cast<std::size_t>(y * picture.width) * 3],
            static_cast<std::size_t>(picture.width) * 3);
    heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = orientation;
    EXPECT_EQ(heif_context_encode_image(context, image, encoder, options, nullptr).code, heif_error_Ok);
    std::vector<std::uint8_t> bytes;
    heif_writer writer { 1, [](heif_context*, const void* data, size_t size, void* userdata) {
                            auto* out = static_cast<std::vector<std::uint8_t>*>(userdata);
                            out->insert(out->end(), static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
                            return heif_error { heif_error_Ok, heif_suberror_Unspecified, "" };
                        } };
    heif_context_write(context, &writer, &bytes);
    heif_encoding_options_free(options);
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(context);
    return bytes;
}

std::vector<std::uint8_t> webpOf(const Picture& picture, bool isLossless)
{
    std::uint8_t* output = nullptr;
    std::size_t size = isLossless ? WebPEncodeLosslessRGB(picture.rgb.data(), picture.width, picture.height, picture.width * 3, &output)
                                  : WebPEncodeRGB(picture.rgb.data(), picture.width, picture.height, picture.width * 3, 95, &output);
    std::vector<std::uint8_t> bytes(output, output + size);
    WebPFree(output);
    return bytes;
}

RefPtr<UIImage> imageOf(const std::vector<std::uint8_t>& bytes)
{
    return UIImage::imageWithData(bytes, 1);
}

// An APP1 Exif segment, big-endian TIFF, one IFD entry: the orientation.
std::string exifSegment(int orientation)
{
    std::string tiff = std::string("MM\0*\0\0\0\x08", 8) + std::string("\0\x01", 2) + std::string("\x01\x12\0\x03\0\0\0\x01", 8)
        + std::string { '\0', static_cast<char>(orientation), '\0', '\0' } + std::string(4, '\0');
    std::string payload = std::string("Exif\0\0", 6) + tiff;
    std::size_t length = payload.size() + 2;
    return std::string("\xFF\xE1", 2) + static_cast<char>(length >> 8) + static_cast<char>(length & 0xFF) + payload;
}

}

TEST(ImageFormats, HEICAndWebPReadToTheirSourcesPixelsWithinTheCodecsError)
{
    auto source = photoLike(96, 64);

    auto lossless = imageOf(webpOf(source, true));
    ASSERT_TRUE(lossless);
    auto exact = differenceBetween(pictureOf(*lossless), source);
    EXPECT_EQ(exact.largest, 0) << "lossless WebP is exact";

    auto lossy = imageOf(webpOf(source, false));
    ASSERT_TRUE(lossy);
    auto webp = differenceBetween(pictureOf(*lossy), source);
    EXPECT_LT(webp.mean, 3) << "largest " << webp.largest;

    auto heic = imageOf(heicOf(source, heif_orientation_normal));
    ASSERT_TRUE(heic);
    EXPECT_EQ(heic->pixelSize().width, 96);
    auto difference = differenceBetween(pictureOf(*heic), source);
    EXPECT_LT(difference.mean, 3) << "largest " << difference.largest;
}

TEST(ImageFormats, AHEICIsTurnedAsItsRotationAndMirrorBoxesSay)
{
    auto source = photoLike(96, 64);
    auto upright = imageOf(heicOf(source, heif_orientation_normal));
    ASSERT_TRUE(upright);
    for (auto orientation :
        { heif_orientation_rotate_90_cw, heif_orientation_rotate_180, heif_orientation_flip_horizontally, heif_orientation_rotate_270_cw }) {
        auto image = imageOf(heicOf(source, orientation));
        ASSERT_TRUE(image);
        auto difference = differenceBetween(pictureOf(*image), turned(pictureOf(*upright), orientation));
        EXPECT_LT(difference.mean, 3) << "orientation " << orientation << ", largest " << difference.largest;
    }
}

TEST(ImageFormats, AJPEGWithAnExifOrientationReadsAsJpegtransTurnOfIt)
{
    // 96x64: whole blocks, so that jpegtran turns every pixel losslessly.
    auto source = photoLike(96, 64);
    TemporaryFolder folder;
    auto plain = folder.path() / "plain.jpg";
    {
        // Encoded by libjpeg through our writer.
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 96, 64);
        for (int y = 0; y < 64; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface) + cairo_image_surface_get_stride(surface) * y);
            for (int x = 0; x < 96; ++x) {
                auto [r, g, b] = source.at(x, y);
                row[x] = 0xFF000000u | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b);
            }
        }
        cairo_surface_mark_dirty(surface);
        auto image = UIImage::imageWithSurface(surface, 1);
        cairo_surface_destroy(surface);
        auto bytes = UIImageJPEGRepresentation(image.get(), 0.95);
        writeBytes(plain, std::string(bytes.begin(), bytes.end()));
    }
    auto stored = readBytes(plain);
    const char* jpegtranTurns[]
        = { nullptr, nullptr, "-flip horizontal", "-rotate 180", "-flip vertical", "-transpose", "-rotate 90", "-transverse", "-rotate 270" };
    for (int orientation = 1; orientation <= 8; ++orientation) {
        // The same coded picture with the tag after its start-of-image marker.
        std::string tagged = std::string(stored.begin(), stored.begin() + 2) + exifSegment(orientation) + std::string(stored.begin() + 2, stored.end());
        auto image = imageOf(std::vector<std::uint8_t>(tagged.begin(), tagged.end()));
        ASSERT_TRUE(image) << orientation;

        auto expectedFile = folder.path() / "turned.jpg";
        if (orientation == 1)
            std::filesystem::copy_file(plain, expectedFile, std::filesystem::copy_options::overwrite_existing);
        else {
            auto turn = runCommand(
                std::string("jpegtran -perfect ") + jpegtranTurns[orientation] + " -outfile '" + expectedFile.string() + "' '" + plain.string() + "'");
            ASSERT_EQ(turn.status, 0) << turn.output;
        }
        auto expected = UIImage::imageWithContentsOfHostFile(expectedFile);
        ASSERT_TRUE(expected);
        // A turn in the DCT domain rounds a little differently from a turn of the decoded pixels.
        auto difference = differenceBetween(pictureOf(*image), pictureOf(*expected));
        EXPECT_LE(difference.largest, 3) << "orientation " << orientation;
        EXPECT_LT(difference.mean, 0.5) << "orientation " << orientation;
    }
}

TEST(ImageFormats, MalformedAndOversizedHEICAndWebPReadAsNone)
{
    auto source = photoLike(96, 64);
    for (auto bytes : { webpOf(source, false), heicOf(source, heif_orientation_normal) }) {
        ASSERT_FALSE(bytes.empty());
        for (std::size_t cut : { bytes.size() / 2, std::size_t(40), std::size_t(13) }) {
            auto image = UIImage::readData(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)), 1);
            ASSERT_FALSE(image) << cut;
            EXPECT_EQ(image.error().kind, ErrorKind::Malformed) << cut;
        }
        auto flipped = bytes;
        for (std::size_t i = 40; i < flipped.size(); i += 7)
            flipped[i] ^= 0x5A;
        imageOf(flipped); // garbage in the middle may decode to garbage, but must not crash
    }

    // A lossless WebP header that declares 16384 x 16384 pixels, with nothing after it.
    std::vector<std::uint8_t> huge = { 'R', 'I', 'F', 'F', 26, 0, 0, 0, 'W', 'E', 'B', 'P', 'V', 'P', '8', 'L', 14, 0, 0, 0, 0x2F };
    std::uint32_t bits = 16383u | 16383u << 14;
    for (int i = 0; i < 4; ++i)
        huge.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    huge.resize(huge.size() + 9, 0);
    auto image = UIImage::readData(huge, 1);
    ASSERT_FALSE(image);
    EXPECT_EQ(image.error(), (Error { ErrorKind::TooLarge, "too large: pictures over 100 megapixels are not read" }));
}

TEST(ImageFormats, AGridHEICAsAnIPhoneWritesItReadsWholeToItsSourcesPixels)
{
    // Tiles of 64 over 200 x 150: the last column and row run past the
    // picture and are cropped by the grid's output size.
    auto source = photoLike(200, 150);
    auto bytes = heifgrid::encode(source.rgb.data(), source.width, source.height, { .tileSize = 64, .quality = 95 });
    ASSERT_FALSE(bytes.empty()) << "libheif has no HEVC encoder";
    heif_context* context = heif_context_alloc();
    ASSERT_EQ(heif_context_read_from_memory_without_copy(context, bytes.data(), bytes.size(), nullptr).code, heif_error_Ok);
    heif_item_id primary = 0;
    heif_context_get_primary_image_ID(context, &primary);
    heif_context_free(context);
    EXPECT_EQ(primary, 1) << "the grid item is the picture";

    auto heic = imageOf(bytes);
    ASSERT_TRUE(heic);
    EXPECT_EQ(heic->pixelSize().width, 200);
    EXPECT_EQ(heic->pixelSize().height, 150);
    auto difference = differenceBetween(pictureOf(*heic), source);
    EXPECT_LT(difference.mean, 3) << "largest " << difference.largest;
    // Each tile in its place: the bottom-right corner's tile is the source's corner.
    auto decoded = pictureOf(*heic);
    for (auto [x, y] : { std::pair { 199, 149 }, std::pair { 64, 0 }, std::pair { 0, 128 }, std::pair { 130, 70 } }) {
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_NEAR(decoded.at(x, y)[static_cast<std::size_t>(channel)], source.at(x, y)[static_cast<std::size_t>(channel)], 24) << x << "," << y;
    }
}

TEST(ImageFormats, AGridWithAMissingTileOrAnOutputBeyondItsTilesReadsAsNone)
{
    auto source = photoLike(128, 128);
    heifgrid::Layout layout;
    auto bytes = heifgrid::encode(source.rgb.data(), source.width, source.height, { .tileSize = 64, .quality = 90 }, layout);
    ASSERT_FALSE(bytes.empty());
    ASSERT_TRUE(imageOf(bytes));

    // Four tiles referenced, the grid asking for nine.
    auto moreTiles = bytes;
    moreTiles[layout.gridDescriptorOffset + 2] = 2;
    moreTiles[layout.gridDescriptorOffset + 3] = 2;
    EXPECT_FALSE(imageOf(moreTiles));

    // Only three of the four tiles referenced.
    auto fewerReferences = bytes;
    fewerReferences[layout.referenceCountOffset + 1] = 3;
    EXPECT_FALSE(imageOf(fewerReferences));

    // An output of 60000 x 60000 pixels from four tiles: refused before any pixel is made.
    auto huge = bytes;
    for (std::size_t at : { layout.gridDescriptorOffset + 4, layout.gridDescriptorOffset + 6 }) {
        huge[at] = 60000 >> 8;
        huge[at + 1] = 60000 & 0xff;
    }
    auto image = UIImage::readData(huge, 1);
    ASSERT_FALSE(image);
    EXPECT_EQ(image.error().kind, ErrorKind::Malformed) << "its size property still says 128 x 128: " << image.error().message;
    // With the size property saying so too.
    for (std::size_t at : { layout.gridExtentOffset, layout.gridExtentOffset + 4 }) {
        huge[at + 2] = 60000 >> 8;
        huge[at + 3] = 60000 & 0xff;
    }
    image = UIImage::readData(huge, 1);
    ASSERT_FALSE(image);
    // libheif's own limit (32768 on a side) refuses it as it reads the file; ours would before decoding.
    EXPECT_TRUE(image.error().kind == ErrorKind::Malformed || image.error().kind == ErrorKind::TooLarge) << image.error().message;
}

TEST(ImageFormats, AWebPDecodedSmallerKeepsItsSizeInPointsAndEachPixelIsItsBlocksAverage)
{
    auto source = photoLike(96, 64);
    TemporaryFolder folder;
    auto bytes = webpOf(source, true);
    writeBytes(folder.path() / "photo.webp", std::string(bytes.begin(), bytes.end()));
    auto image = UIImage::imageWithContentsOfHostFile(folder.path() / "photo.webp", 4);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelSize().width, 24);
    EXPECT_EQ(image->pixelSize().height, 16);
    EXPECT_EQ(image->size().width, 96) << "a quarter of the pixels, each a quarter point wider";
    EXPECT_EQ(image->size().height, 64);

    auto small = pictureOf(*image);
    int largest = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < 4; ++dy)
                    for (int dx = 0; dx < 4; ++dx)
                        sum += source.at(x * 4 + dx, y * 4 + dy)[static_cast<std::size_t>(c)];
                largest = std::max(largest, std::abs(small.at(x, y)[static_cast<std::size_t>(c)] - (sum + 8) / 16));
            }
    EXPECT_LE(largest, 1);
}

namespace {

// A JPEG of the photo-like picture made by libjpeg-turbo's cjpeg.
std::vector<std::uint8_t> cjpegFile(const TemporaryFolder& folder, const std::string& name, const std::string& options)
{
    Picture picture = photoLike(64, 64);
    std::string ppm = "P6\n64 64\n255\n" + std::string(picture.rgb.begin(), picture.rgb.end());
    writeBytes(folder.path() / (name + ".ppm"), ppm);
    auto made = runCommand(
        "cjpeg " + options + " -outfile '" + (folder.path() / (name + ".jpg")).string() + "' '" + (folder.path() / (name + ".ppm")).string() + "'");
    EXPECT_EQ(made.status, 0) << made.output;
    return readBytes(folder.path() / (name + ".jpg"));
}

// Where the marker FF kind first stands.
std::size_t markerAt(const std::vector<std::uint8_t>& bytes, std::uint8_t kind)
{
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == kind)
            return i;
    return std::string::npos;
}

}

// A file whose scan data stops at a marker is what djpeg calls "Corrupt JPEG
// data"; it reads as none, sequential or progressive, and a tiny file that
// declares a huge picture is refused before the picture is made.
TEST(ImageFormats, JPEGsWithCorruptDataReadAsNone)
{
    TemporaryFolder folder;
    for (const char* options : { "-quality 90", "-quality 90 -progressive" }) {
        SCOPED_TRACE(options);
        auto whole = cjpegFile(folder, "whole", options);
        ASSERT_TRUE(UIImage::imageWithData(whole, 1)) << "the whole file reads";
        std::size_t scan = markerAt(whole, 0xDA);
        ASSERT_NE(scan, std::string::npos);
        std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(scan + 40)); // within the first scan
        cut.insert(cut.end(), { 0xFF, 0xD9 });
        writeBytes(folder.path() / "cut.jpg", std::string(cut.begin(), cut.end()));
        auto djpeg = runCommand("djpeg -outfile /dev/null '" + (folder.path() / "cut.jpg").string() + "'");
        EXPECT_NE(djpeg.output.find("Corrupt JPEG data"), std::string::npos) << "the reference decoder warns: " << djpeg.output;
        auto image = UIImage::readData(cut, 1);
        ASSERT_FALSE(image);
        EXPECT_EQ(image.error().kind, ErrorKind::Malformed);
        EXPECT_FALSE(UIImage::imageWithContentsOfHostFile(folder.path() / "cut.jpg"));
    }

    // 9990 x 10000 declared in a file of a few hundred bytes.
    auto whole = cjpegFile(folder, "bomb", "-quality 90");
    std::size_t frame = markerAt(whole, 0xC0);
    ASSERT_NE(frame, std::string::npos);
    std::size_t scan = markerAt(whole, 0xDA);
    ASSERT_LT(scan + 60, whole.size());
    std::vector<std::uint8_t> bomb(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(scan + 60));
    bomb[frame + 5] = 9990 >> 8, bomb[frame + 6] = 9990 & 0xFF, bomb[frame + 7] = 10000 >> 8, bomb[frame + 8] = 10000 & 0xFF;
    bomb.insert(bomb.end(), { 0xFF, 0xD9 });
    EXPECT_FALSE(UIImage::imageWithData(bomb, 1));
    writeBytes(folder.path() / "bomb.jpg", std::string(bomb.begin(), bomb.end()));
    EXPECT_FALSE(UIImage::imageWithContentsOfHostFile(folder.path() / "bomb.jpg"));
}
