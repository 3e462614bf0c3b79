// PNG through cairo, JPEG through libjpeg-turbo, into cairo's premultiplied ARGB32.

#include <cairo.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jerror.h>
#include <jpeglib.h>

#include <device/DeviceRoot.h>
#include <device/FileSystem.h>

#include "JPEGErrors.h"
#include "UIImage.h"

namespace {

// Data that ends early is only a warning to libjpeg, which fills the rest of
// the picture with grey; such a file is malformed, as a truncated PNG is.
void jpegMessage(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        jpegFailed(info);
}

// Decodes at 1/reduction where DCT scaling allows; declaredWidth is the
// width the file declares, whatever size it was decoded at.
cairo_surface_t* decodeJPEG(const std::vector<std::uint8_t>& bytes, bool& isTooLarge, int reduction, unsigned& declaredWidth)
{
    jpeg_decompress_struct info {};
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
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    if (static_cast<double>(info.image_width) * info.image_height > UIImage::maximumPixelCount) {
        jpeg_destroy_decompress(&info);
        isTooLarge = true;
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
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(info.output_width), static_cast<int>(info.output_height));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS)
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

struct PNGReader {
    const std::vector<std::uint8_t>& bytes;
    std::size_t offset;
};

std::uint32_t bigEndian32(const std::uint8_t* bytes)
{
    return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 | bytes[3];
}

cairo_surface_t* decodePNG(const std::vector<std::uint8_t>& bytes, bool& isTooLarge)
{
    // The size comes from the header chunk, which must come first; a small
    // file can declare a picture of gigabytes, so it is refused before decoding.
    if (bytes.size() < 8 + 8 + 13 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0)
        return nullptr;
    if (static_cast<double>(bigEndian32(bytes.data() + 16)) * bigEndian32(bytes.data() + 20) > UIImage::maximumPixelCount) {
        isTooLarge = true;
        return nullptr;
    }
    PNGReader reader { bytes, 0 };
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(
        [](void* closure, unsigned char* data, unsigned int length) {
            auto* source = static_cast<PNGReader*>(closure);
            if (source->bytes.size() - source->offset < length)
                return CAIRO_STATUS_READ_ERROR;
            std::copy_n(source->bytes.data() + source->offset, length, data);
            source->offset += length;
            return CAIRO_STATUS_SUCCESS;
        },
        &reader);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}

}

const char* UIImage::describe(ReadFailure failure)
{
    switch (failure) {
    case ReadFailure::Unreadable:
        break;
    case ReadFailure::NotAnImage:
        return "not a PNG or JPEG image, or malformed";
    case ReadFailure::FileTooLarge:
        return "too large: files over 64 MiB are not read";
    case ReadFailure::TooManyPixels:
        return "too large: pictures over 100 megapixels are not read";
    }
    return "cannot read";
}

RefPtr<UIImage> UIImage::imageWithData(const std::vector<std::uint8_t>& bytes, CGFloat scale, ReadFailure* failure)
{
    return imageWithData(bytes, scale, failure, 1);
}

RefPtr<UIImage> UIImage::imageWithData(const std::vector<std::uint8_t>& bytes, CGFloat scale, ReadFailure* failure, int reduction)
{
    auto fail = [&](ReadFailure reason) -> RefPtr<UIImage> {
        if (failure)
            *failure = reason;
        return nullptr;
    };
    if (bytes.size() < 8)
        return fail(ReadFailure::NotAnImage);
    cairo_surface_t* surface = nullptr;
    bool isTooLarge = false;
    unsigned declaredWidth = 0;
    static const unsigned char pngMagic[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    if (std::equal(std::begin(pngMagic), std::end(pngMagic), bytes.begin()))
        surface = decodePNG(bytes, isTooLarge);
    else if (bytes[0] == 0xFF && bytes[1] == 0xD8)
        surface = decodeJPEG(bytes, isTooLarge, reduction, declaredWidth);
    if (!surface)
        return fail(isTooLarge ? ReadFailure::TooManyPixels : ReadFailure::NotAnImage);
    // A picture decoded smaller keeps its size in points: fewer pixels per point.
    if (declaredWidth > 0 && static_cast<unsigned>(cairo_image_surface_get_width(surface)) != declaredWidth)
        scale *= cairo_image_surface_get_width(surface) / static_cast<CGFloat>(declaredWidth);
    auto image = imageWithSurface(surface, scale);
    cairo_surface_destroy(surface);
    return image;
}

namespace {

CGFloat scaleOfName(const std::string& name)
{
    return name.ends_with("@3x") ? 3 : name.ends_with("@2x") ? 2 : 1;
}

}

RefPtr<UIImage> UIImage::imageWithContentsOfHostFile(const std::filesystem::path& path, ReadFailure* failure)
{
    return imageWithContentsOfHostFile(path, failure, 1);
}

RefPtr<UIImage> UIImage::imageWithContentsOfHostFile(const std::filesystem::path& path, ReadFailure* failure, int reduction)
{
    device::ReadFailure readFailure = device::ReadFailure::Unreadable;
    auto bytes = device::readFile(path, &readFailure);
    if (!bytes) {
        if (failure)
            *failure = readFailure == device::ReadFailure::TooLarge ? ReadFailure::FileTooLarge : ReadFailure::Unreadable;
        return nullptr;
    }
    return imageWithData(*bytes, scaleOfName(path.stem().string()), failure, reduction);
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
