#include "ImageCodecs.h"

#include <cairo.h>
#include <libheif/heif.h>
#include <webp/decode.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <thread>

#include <device/PrefaultedBuffer.h>

#include "UIImage.h"

namespace {

std::uint16_t read16(const std::uint8_t* bytes, bool isBigEndian)
{
    return isBigEndian ? static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]) : static_cast<std::uint16_t>(bytes[1] << 8 | bytes[0]);
}

std::uint32_t read32(const std::uint8_t* bytes, bool isBigEndian)
{
    return isBigEndian ? std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 | bytes[3]
                       : std::uint32_t(bytes[3]) << 24 | std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[1]) << 8 | bytes[0];
}

bool isTooManyPixels(double width, double height)
{
    return width * height > UIImage::maximumPixelCount;
}

struct HEIFContextDeleter {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HEIFHandleDeleter {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct HEIFImageDeleter {
    void operator()(heif_image* image) const { heif_image_release(image); }
};

}

bool isWebP(std::span<const std::uint8_t> head)
{
    return head.size() >= 12 && std::memcmp(head.data(), "RIFF", 4) == 0 && std::memcmp(head.data() + 8, "WEBP", 4) == 0;
}

cairo_surface_t* decodeWebP(std::span<const std::uint8_t> bytes, bool& isTooLarge, int reduction, unsigned& declaredWidth)
{
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config) || WebPGetFeatures(bytes.data(), bytes.size(), &config.input) != VP8_STATUS_OK)
        return nullptr;
    if (isTooManyPixels(config.input.width, config.input.height)) {
        isTooLarge = true;
        return nullptr;
    }
    declaredWidth = static_cast<unsigned>(config.input.width);
    int width = config.input.width, height = config.input.height;
    // libwebp's rescaler averages each output pixel's area as rows are
    // decoded, so the whole picture is never held.
    if ((reduction == 2 || reduction == 4 || reduction == 8) && width >= reduction && height >= reduction) {
        width /= reduction;
        height /= reduction;
        config.options.use_scaling = 1;
        config.options.scaled_width = width;
        config.options.scaled_height = height;
    }
    cairo_surface_t* surface = createPrefaultedSurface(width, height);
    if (!surface)
        return nullptr;
    // Premultiplied BGRA is cairo's ARGB32 on a little-endian machine.
    config.output.colorspace = MODE_bgrA;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = cairo_image_surface_get_data(surface);
    config.output.u.RGBA.stride = cairo_image_surface_get_stride(surface);
    config.output.u.RGBA.size = static_cast<std::size_t>(config.output.u.RGBA.stride) * static_cast<std::size_t>(height);
    bool isDecoded = WebPDecode(bytes.data(), bytes.size(), &config) == VP8_STATUS_OK;
    WebPFreeDecBuffer(&config.output);
    if (!isDecoded) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

std::optional<std::pair<unsigned, unsigned>> declaredSizeOfWebPOrHEIF(std::span<const std::uint8_t> bytes)
{
    if (isWebP(bytes)) {
        int width = 0, height = 0;
        if (!WebPGetInfo(bytes.data(), bytes.size(), &width, &height))
            return std::nullopt;
        return std::pair { static_cast<unsigned>(width), static_cast<unsigned>(height) };
    }
    std::unique_ptr<heif_context, HEIFContextDeleter> context(heif_context_alloc());
    heif_image_handle* rawHandle = nullptr;
    if (!context || heif_context_read_from_memory_without_copy(context.get(), bytes.data(), bytes.size(), nullptr).code != heif_error_Ok
        || heif_context_get_primary_image_handle(context.get(), &rawHandle).code != heif_error_Ok)
        return std::nullopt;
    std::unique_ptr<heif_image_handle, HEIFHandleDeleter> handle(rawHandle);
    return std::pair { static_cast<unsigned>(std::max(0, heif_image_handle_get_ispe_width(handle.get()))),
        static_cast<unsigned>(std::max(0, heif_image_handle_get_ispe_height(handle.get()))) };
}

bool isHEIF(std::span<const std::uint8_t> head)
{
    return head.size() >= 12 && std::memcmp(head.data() + 4, "ftyp", 4) == 0
        && heif_check_filetype(head.data(), static_cast<int>(head.size())) != heif_filetype_no;
}

cairo_surface_t* decodeHEIF(std::span<const std::uint8_t> bytes, bool& isTooLarge)
{
    std::unique_ptr<heif_context, HEIFContextDeleter> context(heif_context_alloc());
    if (!context)
        return nullptr;
    if (heif_context_read_from_memory_without_copy(context.get(), bytes.data(), bytes.size(), nullptr).code != heif_error_Ok)
        return nullptr;
    // An iPhone's photo is a grid of 512-pixel tiles: they decode on every core.
    heif_context_set_max_decoding_threads(context.get(), static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
    heif_image_handle* rawHandle = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &rawHandle).code != heif_error_Ok)
        return nullptr;
    std::unique_ptr<heif_image_handle, HEIFHandleDeleter> handle(rawHandle);
    // The coded size, before any turn: what decoding costs.
    if (isTooManyPixels(heif_image_handle_get_ispe_width(handle.get()), heif_image_handle_get_ispe_height(handle.get()))
        || isTooManyPixels(heif_image_handle_get_width(handle.get()), heif_image_handle_get_height(handle.get()))) {
        isTooLarge = true;
        return nullptr;
    }
    heif_image* rawImage = nullptr;
    if (heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, nullptr).code != heif_error_Ok)
        return nullptr;
    std::unique_ptr<heif_image, HEIFImageDeleter> image(rawImage);
    int width = heif_image_get_width(image.get(), heif_channel_interleaved);
    int height = heif_image_get_height(image.get(), heif_channel_interleaved);
    int sourceStride = 0;
    const std::uint8_t* source = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &sourceStride);
    if (!source || width <= 0 || height <= 0 || isTooManyPixels(width, height))
        return nullptr;
    cairo_surface_t* surface = createPrefaultedSurface(width, height);
    if (!surface)
        return nullptr;
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = source + static_cast<std::ptrdiff_t>(y) * sourceStride;
        auto* out = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x, in += 4) {
            unsigned alpha = in[3];
            auto premultiplied = [&](unsigned channel) { return (channel * alpha + 127) / 255; };
            out[x] = alpha << 24 | premultiplied(in[0]) << 16 | premultiplied(in[1]) << 8 | premultiplied(in[2]);
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

std::optional<int> exifOrientation(std::span<const std::uint8_t> payload)
{
    // "Exif\0\0", then a TIFF header: byte order, 42, the first IFD's offset (Exif 2.32, section 4.5).
    if (payload.size() < 6 + 8 || std::memcmp(payload.data(), "Exif\0\0", 6) != 0)
        return std::nullopt;
    auto tiff = payload.subspan(6);
    bool isBigEndian;
    if (std::memcmp(tiff.data(), "MM", 2) == 0)
        isBigEndian = true;
    else if (std::memcmp(tiff.data(), "II", 2) == 0)
        isBigEndian = false;
    else
        return std::nullopt;
    if (read16(tiff.data() + 2, isBigEndian) != 42)
        return std::nullopt;
    std::uint32_t ifd = read32(tiff.data() + 4, isBigEndian);
    if (ifd > tiff.size() || tiff.size() - ifd < 2)
        return std::nullopt;
    std::uint16_t count = read16(tiff.data() + ifd, isBigEndian);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::size_t entry = ifd + 2 + std::size_t(i) * 12;
        if (entry + 12 > tiff.size())
            return std::nullopt;
        // Orientation: tag 0x0112, one SHORT, held in the entry itself.
        if (read16(tiff.data() + entry, isBigEndian) != 0x0112)
            continue;
        if (read16(tiff.data() + entry + 2, isBigEndian) != 3 || read32(tiff.data() + entry + 4, isBigEndian) != 1)
            return std::nullopt;
        int orientation = read16(tiff.data() + entry + 8, isBigEndian);
        return orientation >= 1 && orientation <= 8 ? std::optional(orientation) : std::nullopt;
    }
    return std::nullopt;
}

cairo_surface_t* surfaceShownUpright(cairo_surface_t* surface, int orientation)
{
    if (orientation < 2 || orientation > 8)
        return surface;
    int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    bool isTurned = orientation >= 5;
    cairo_surface_t* upright = createPrefaultedSurface(isTurned ? height : width, isTurned ? width : height);
    if (!upright) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    const unsigned char* in = cairo_image_surface_get_data(surface);
    int inStride = cairo_image_surface_get_stride(surface);
    unsigned char* out = cairo_image_surface_get_data(upright);
    int outStride = cairo_image_surface_get_stride(upright);
    int shownWidth = cairo_image_surface_get_width(upright), shownHeight = cairo_image_surface_get_height(upright);
    for (int y = 0; y < shownHeight; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(out + static_cast<std::ptrdiff_t>(y) * outStride);
        for (int x = 0; x < shownWidth; ++x) {
            // Where the shown pixel (x, y) lies in the stored picture.
            int sx = x, sy = y;
            switch (orientation) {
            case 2:
                sx = width - 1 - x;
                break;
            case 3:
                sx = width - 1 - x;
                sy = height - 1 - y;
                break;
            case 4:
                sy = height - 1 - y;
                break;
            case 5:
                sx = y;
                sy = x;
                break;
            case 6:
                sx = y;
                sy = height - 1 - x;
                break;
            case 7:
                sx = width - 1 - y;
                sy = height - 1 - x;
                break;
            case 8:
                sx = width - 1 - y;
                sy = x;
                break;
            }
            row[x] = reinterpret_cast<const std::uint32_t*>(in + static_cast<std::ptrdiff_t>(sy) * inStride)[sx];
        }
    }
    cairo_surface_mark_dirty(upright);
    cairo_surface_destroy(surface);
    return upright;
}

cairo_surface_t* createPrefaultedSurface(int width, int height)
{
    static const cairo_user_data_key_t pixelsKey {};
    int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width);
    if (stride <= 0 || width <= 0 || height <= 0)
        return nullptr;
    auto pixels = std::make_unique<device::PrefaultedBuffer<unsigned char>>(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    cairo_surface_t* surface = cairo_image_surface_create_for_data(pixels->data(), CAIRO_FORMAT_ARGB32, width, height, stride);
    auto release = [](void* buffer) { delete static_cast<device::PrefaultedBuffer<unsigned char>*>(buffer); };
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS
        || cairo_surface_set_user_data(surface, &pixelsKey, pixels.get(), release) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    pixels.release();
    return surface;
}
