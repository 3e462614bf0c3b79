// PNG through cairo, JPEG through libjpeg-turbo (turned as its EXIF says),
// HEIC and WebP through libheif and libwebp, into cairo's premultiplied ARGB32.
// PNG and JPEG files are decoded as they are read, a block at a time; HEIF
// and WebP decoders take the whole file.

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jerror.h>
#include <jpeglib.h>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include <device/DeviceRoot.h>
#include <device/FileSystem.h>

#include "ImageCodecs.h"
#include "JPEGErrors.h"
#include "UIImage.h"

namespace {

// An encoded image's bytes as the decoders take them: held in memory, or read
// from a file a block at a time, so that a photo is never held whole.
class EncodedBytes {
public:
    explicit EncodedBytes(std::span<const std::uint8_t> bytes)
        : m_pending(bytes)
        , m_memorySize(bytes.size())
    {
    }
    explicit EncodedBytes(device::FileBlockReader& file)
        : m_file(&file)
    {
    }

    // The whole encoding's size, where it is known before reading it all.
    std::optional<std::uintmax_t> totalSize() const
    {
        if (m_file)
            return m_file->fileSize();
        return m_memorySize;
    }

    // The bytes not yet taken, at least `count` of them where there are as many.
    std::span<const std::uint8_t> peek(std::size_t count)
    {
        if (m_pending.size() >= count || !m_file)
            return m_pending;
        m_head.assign(m_pending.begin(), m_pending.end());
        while (m_head.size() < count) {
            auto block = m_file->nextBlock();
            if (block.empty())
                break;
            m_head.insert(m_head.end(), block.begin(), block.end());
        }
        m_pending = m_head;
        return m_pending;
    }

    // Every byte not yet taken (a file's up to device::maximumReadSize).
    std::vector<std::uint8_t> takeAll()
    {
        std::vector<std::uint8_t> all;
        for (auto block = take(); !block.empty(); block = take())
            all.insert(all.end(), block.begin(), block.end());
        return all;
    }

    // The next bytes not yet taken; empty at the end. What it gives stays
    // valid until the next call.
    std::span<const std::uint8_t> take()
    {
        if (!m_pending.empty())
            return std::exchange(m_pending, {});
        return m_file ? m_file->nextBlock() : std::span<const std::uint8_t> {};
    }

private:
    device::FileBlockReader* m_file { nullptr };
    std::span<const std::uint8_t> m_pending;
    std::vector<std::uint8_t> m_head;
    std::optional<std::uintmax_t> m_memorySize;
};

// libjpeg's source manager over EncodedBytes, as its own memory and stdio
// sources behave: at the end, a warning and an inserted end-of-image marker.
struct JPEGSource {
    jpeg_source_mgr manager;
    EncodedBytes* bytes;
};

boolean fillJPEGInput(j_decompress_ptr info)
{
    static const JOCTET endOfImage[] = { 0xFF, JPEG_EOI };
    auto* source = reinterpret_cast<JPEGSource*>(info->src);
    auto block = source->bytes->take();
    if (block.empty()) {
        WARNMS(info, JWRN_JPEG_EOF);
        block = endOfImage;
    }
    source->manager.next_input_byte = block.data();
    source->manager.bytes_in_buffer = block.size();
    return TRUE;
}

void skipJPEGInput(j_decompress_ptr info, long count)
{
    if (count <= 0)
        return;
    while (count > static_cast<long>(info->src->bytes_in_buffer)) {
        count -= static_cast<long>(info->src->bytes_in_buffer);
        fillJPEGInput(info);
    }
    info->src->next_input_byte += count;
    info->src->bytes_in_buffer -= static_cast<std::size_t>(count);
}

void installJPEGSource(jpeg_decompress_struct& info, JPEGSource& source, EncodedBytes& bytes)
{
    source.bytes = &bytes;
    source.manager.init_source = [](j_decompress_ptr) {};
    source.manager.fill_input_buffer = fillJPEGInput;
    source.manager.skip_input_data = skipJPEGInput;
    source.manager.resync_to_restart = jpeg_resync_to_restart;
    source.manager.term_source = [](j_decompress_ptr) {};
    source.manager.next_input_byte = nullptr;
    source.manager.bytes_in_buffer = 0;
    info.src = &source.manager;
}

// Corrupt data is only a warning to libjpeg, which fills the rest of the
// picture with grey or guesses; such a file is malformed, as a truncated PNG
// is. (An ICC profile it cannot read spoils no pixel.)
void jpegMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return;
    switch (info->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_NOT_SEQUENTIAL:
        jpegFailed(info);
    default:
        break;
    }
}

// Huffman coding spends at least one bit on every 8 x 8 block's DC term, in
// sequential and progressive files alike: a file smaller than that cannot
// hold the picture it declares, and is refused before the picture is made.
bool isTooSmallForDeclaredSize(const jpeg_decompress_struct& info, std::optional<std::uintmax_t> fileSize)
{
    if (!fileSize || info.arith_code)
        return false;
    double blocks = std::ceil(info.image_width / 8.0) * std::ceil(info.image_height / 8.0);
    return static_cast<double>(*fileSize) * 8 < blocks;
}

// Decodes at 1/reduction where DCT scaling allows; declaredWidth is the
// width the file declares, whatever size it was decoded at, and orientation
// what its EXIF says (1 when it says nothing).
cairo_surface_t* decodeJPEG(EncodedBytes& bytes, bool& isTooLarge, int reduction, unsigned& declaredWidth, int& orientation)
{
    jpeg_decompress_struct info {};
    JPEGSource source {};
    JPEGErrors errors {};
    info.err = installJPEGErrors(errors);
    errors.manager.emit_message = jpegMessage;
    cairo_surface_t* volatile surface = nullptr; // read after longjmp

    if (setjmp(errors.recovery)) {
        jpeg_destroy_decompress(&info);
        if (surface)
            cairo_surface_destroy(surface);
        return nullptr;
    }
    jpeg_create_decompress(&info);
    installJPEGSource(info, source, bytes);
    jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    orientation = 1;
    for (auto* marker = info.marker_list; marker; marker = marker->next) {
        if (marker->marker != JPEG_APP0 + 1)
            continue;
        if (auto found = exifOrientation({ marker->data, marker->data_length })) {
            orientation = *found;
            break;
        }
    }
    if (static_cast<double>(info.image_width) * info.image_height > UIImage::maximumPixelCount) {
        jpeg_destroy_decompress(&info);
        isTooLarge = true;
        return nullptr;
    }
    if (isTooSmallForDeclaredSize(info, bytes.totalSize())) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    declaredWidth = info.image_width;
    bool isCMYK = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = isCMYK ? JCS_CMYK : JCS_EXT_BGRA; // cairo's byte order on little-endian machines
    // The accurate integer DCT: what other decoders give, to the byte.
    info.dct_method = JDCT_ISLOW;
    // DCT scaling: libjpeg-turbo decodes straight to an eighth, a quarter or a
    // half, reading only the coefficients that size needs.
    if (reduction == 2 || reduction == 4 || reduction == 8) {
        info.scale_num = 1;
        info.scale_denom = static_cast<unsigned>(reduction);
    }
    jpeg_start_decompress(&info);
    surface = createPrefaultedSurface(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
    if (!surface)
        longjmp(errors.recovery, 1);
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    while (info.output_scanline < info.output_height) {
        unsigned char* row = data + static_cast<std::ptrdiff_t>(info.output_scanline) * stride;
        JSAMPROW rows[1] = { row };
        jpeg_read_scanlines(&info, rows, 1);
        if (isCMYK) {
            // Adobe's CMYK JPEGs store the inks inverted.
            for (unsigned x = 0; x < info.output_width; ++x) {
                unsigned char* pixel = row + x * 4;
                unsigned c = pixel[0], m = pixel[1], y = pixel[2], k = pixel[3];
                pixel[0] = static_cast<unsigned char>(y * k / 255);
                pixel[1] = static_cast<unsigned char>(m * k / 255);
                pixel[2] = static_cast<unsigned char>(c * k / 255);
                pixel[3] = 255;
            }
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    cairo_surface_mark_dirty(surface);
    return surface;
}

std::uint32_t bigEndian32(const std::uint8_t* bytes)
{
    return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 | bytes[3];
}

struct PNGReader {
    EncodedBytes& bytes;
    std::span<const std::uint8_t> block;
};

cairo_surface_t* decodePNG(EncodedBytes& bytes, bool& isTooLarge)
{
    // The size comes from the header chunk, which must come first; a small
    // file can declare a picture of gigabytes, so it is refused before decoding.
    auto head = bytes.peek(8 + 8 + 13);
    if (head.size() < 8 + 8 + 13 || std::memcmp(head.data() + 12, "IHDR", 4) != 0)
        return nullptr;
    if (static_cast<double>(bigEndian32(head.data() + 16)) * bigEndian32(head.data() + 20) > UIImage::maximumPixelCount) {
        isTooLarge = true;
        return nullptr;
    }
    PNGReader reader { bytes, {} };
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(
        [](void* closure, unsigned char* data, unsigned int length) {
            auto* source = static_cast<PNGReader*>(closure);
            while (length > 0) {
                if (source->block.empty() && (source->block = source->bytes.take()).empty())
                    return CAIRO_STATUS_READ_ERROR;
                std::size_t count = std::min<std::size_t>(length, source->block.size());
                std::copy_n(source->block.data(), count, data);
                source->block = source->block.subspan(count);
                data += count;
                length -= static_cast<unsigned>(count);
            }
            return CAIRO_STATUS_SUCCESS;
        },
        &reader);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}

// Decodes whichever of the formats the bytes begin as.
Unexpected<Error> notAnImage()
{
    return makeError(ErrorKind::Malformed, "not a PNG, JPEG, HEIC or WebP image, or malformed");
}

Unexpected<Error> tooManyPixels()
{
    return makeError(ErrorKind::TooLarge, "too large: pictures over 100 megapixels are not read");
}

Expected<Ref<UIImage>> decodeImage(EncodedBytes& bytes, CGFloat scale, int reduction)
{
    auto head = bytes.peek(32);
    if (head.size() < 8)
        return notAnImage();
    cairo_surface_t* surface = nullptr;
    bool isTooLarge = false;
    unsigned declaredWidth = 0;
    int orientation = 1;
    static const unsigned char pngMagic[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    if (std::equal(std::begin(pngMagic), std::end(pngMagic), head.begin()))
        surface = decodePNG(bytes, isTooLarge);
    else if (head[0] == 0xFF && head[1] == 0xD8)
        surface = decodeJPEG(bytes, isTooLarge, reduction, declaredWidth, orientation);
    else if (isWebP(head))
        surface = decodeWebP(bytes.takeAll(), isTooLarge, reduction, declaredWidth);
    else if (isHEIF(head))
        surface = decodeHEIF(bytes.takeAll(), isTooLarge);
    if (!surface)
        return isTooLarge ? tooManyPixels() : notAnImage();
    // A picture decoded smaller keeps its size in points: fewer pixels per point.
    if (declaredWidth > 0 && static_cast<unsigned>(cairo_image_surface_get_width(surface)) != declaredWidth)
        scale *= cairo_image_surface_get_width(surface) / static_cast<CGFloat>(declaredWidth);
    // A camera stores the picture as the sensor saw it and says how to turn it.
    surface = surfaceShownUpright(surface, orientation);
    if (!surface)
        return notAnImage();
    auto image = UIImage::imageWithSurface(surface, scale);
    cairo_surface_destroy(surface);
    return image;
}

}

RefPtr<UIImage> UIImage::imageWithData(const std::vector<std::uint8_t>& bytes, CGFloat scale)
{
    auto image = readData(bytes, scale);
    return image ? RefPtr<UIImage>(*image) : nullptr;
}

Expected<Ref<UIImage>> UIImage::readData(const std::vector<std::uint8_t>& bytes, CGFloat scale, int reduction)
{
    EncodedBytes encoded(bytes);
    return decodeImage(encoded, scale, reduction);
}

std::optional<CGSize> UIImage::declaredPixelSizeOfData(std::span<const std::uint8_t> bytes)
{
    static const unsigned char pngMagic[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    if (bytes.size() >= 8 + 8 + 13 && std::equal(std::begin(pngMagic), std::end(pngMagic), bytes.begin()) && std::memcmp(bytes.data() + 12, "IHDR", 4) == 0)
        return CGSize { static_cast<CGFloat>(bigEndian32(bytes.data() + 16)), static_cast<CGFloat>(bigEndian32(bytes.data() + 20)) };
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) {
        jpeg_decompress_struct info {};
        JPEGErrors errors {};
        info.err = installJPEGErrors(errors);
        if (setjmp(errors.recovery)) {
            jpeg_destroy_decompress(&info);
            return std::nullopt;
        }
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
        std::optional<CGSize> size;
        if (jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK)
            size = CGSize { static_cast<CGFloat>(info.image_width), static_cast<CGFloat>(info.image_height) };
        jpeg_destroy_decompress(&info);
        return size;
    }
    if (isWebP(bytes) || isHEIF(bytes)) {
        auto size = declaredSizeOfWebPOrHEIF(bytes);
        if (size)
            return CGSize { static_cast<CGFloat>(size->first), static_cast<CGFloat>(size->second) };
    }
    return std::nullopt;
}

RefPtr<UIImage> UIImage::thumbnailWithData(const std::vector<std::uint8_t>& bytes, CGFloat scale, unsigned maximumPixelSide)
{
    auto declared = declaredPixelSizeOfData(bytes);
    if (!declared || maximumPixelSide == 0)
        return nullptr;
    double longest = std::max(declared->width, declared->height);
    int reduction = 1;
    while (reduction < 8 && longest / (reduction * 2) >= maximumPixelSide)
        reduction *= 2;
    auto decoded = readData(bytes, scale, reduction);
    if (!decoded)
        return nullptr;
    Ref<UIImage> image = *decoded;
    int width = cairo_image_surface_get_width(image->m_surface), height = cairo_image_surface_get_height(image->m_surface);
    double factor = static_cast<double>(maximumPixelSide) / std::max(width, height);
    if (factor >= 1)
        return image.ptr();
    int smallWidth = std::max(1, static_cast<int>(std::lround(width * factor))), smallHeight = std::max(1, static_cast<int>(std::lround(height * factor)));
    cairo_surface_t* small = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, smallWidth, smallHeight);
    cairo_t* cr = cairo_create(small);
    cairo_scale(cr, static_cast<double>(smallWidth) / width, static_cast<double>(smallHeight) / height);
    cairo_set_source_surface(cr, image->m_surface, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_destroy(cr);
    auto smaller = imageWithSurface(small, image->m_scale * smallWidth / width);
    cairo_surface_destroy(small);
    return smaller;
}

namespace {

CGFloat scaleOfName(const std::string& name)
{
    return name.ends_with("@3x") ? 3 : name.ends_with("@2x") ? 2 : 1;
}

}

RefPtr<UIImage> UIImage::imageWithContentsOfHostFile(const std::filesystem::path& path, int reduction)
{
    auto image = readHostFile(path, reduction);
    return image ? RefPtr<UIImage>(*image) : nullptr;
}

Expected<Ref<UIImage>> UIImage::readHostFile(const std::filesystem::path& path, int reduction)
{
    auto fileError = [](const Error& error) {
        if (error.kind == ErrorKind::TooLarge)
            return makeError(ErrorKind::TooLarge, "too large: files over 64 MiB are not read");
        return makeError(error.kind, "cannot read");
    };
    auto file = device::FileBlockReader::open(path);
    if (!file)
        return fileError(file.error());
    EncodedBytes encoded(*file);
    auto image = decodeImage(encoded, scaleOfName(path.stem().string()), reduction);
    if (!image && file->failure())
        return fileError(*file->failure());
    return image;
}

RefPtr<UIImage> UIImage::imageWithContentsOfFile(std::string_view devicePath)
{
    auto bytes = DeviceRoot::current().readFile(devicePath);
    if (!bytes)
        return nullptr;
    auto image = imageWithData(*bytes, scaleOfName(std::filesystem::path(devicePath).stem().string()));
    if (image)
        image->m_sourcePath = devicePath;
    return image;
}

bool UIImage::writePNGToHostFile(const std::filesystem::path& path) const
{
    return m_surface && cairo_surface_write_to_png(m_surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}
