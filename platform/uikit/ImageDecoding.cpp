// PNG through cairo, JPEG through libjpeg-turbo, into cairo's premultiplied ARGB32.

#include <cairo.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

#include <device/DeviceRoot.h>
#include <device/FileSystem.h>

#include "UIImage.h"

namespace {

struct JPEGErrors {
    jpeg_error_mgr manager;
    std::jmp_buf recovery;
};

// libjpeg reports a fatal error by calling this; it returns to the reader instead of exiting.
[[noreturn]] void jpegFailed(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JPEGErrors*>(info->err)->recovery, 1);
}

cairo_surface_t* decodeJPEG(const std::vector<std::uint8_t>& bytes)
{
    jpeg_decompress_struct info {};
    JPEGErrors errors {};
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jpegFailed;
    errors.manager.output_message = [](j_common_ptr) {};
    cairo_surface_t* volatile surface = nullptr; // read after longjmp

    if (setjmp(errors.recovery)) {
        jpeg_destroy_decompress(&info);
        if (surface)
            cairo_surface_destroy(surface);
        return nullptr;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || static_cast<double>(info.image_width) * info.image_height > UIImage::maximumPixelCount) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    bool isCMYK = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = isCMYK ? JCS_CMYK : JCS_EXT_BGRA; // cairo's byte order on little-endian machines
    info.dct_method = JDCT_IFAST;
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

cairo_surface_t* decodePNG(const std::vector<std::uint8_t>& bytes)
{
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

RefPtr<UIImage> UIImage::imageWithContentsOfHostFile(const std::filesystem::path& path)
{
    auto bytes = device::readFile(path);
    if (!bytes || bytes->size() < 8)
        return nullptr;
    cairo_surface_t* surface = nullptr;
    static const unsigned char pngMagic[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    if (std::equal(std::begin(pngMagic), std::end(pngMagic), bytes->begin()))
        surface = decodePNG(*bytes);
    else if ((*bytes)[0] == 0xFF && (*bytes)[1] == 0xD8)
        surface = decodeJPEG(*bytes);
    if (!surface)
        return nullptr;
    std::string name = path.stem().string();
    CGFloat scale = name.ends_with("@3x") ? 3 : name.ends_with("@2x") ? 2 : 1;
    auto image = imageWithSurface(surface, scale);
    cairo_surface_destroy(surface);
    return image;
}

RefPtr<UIImage> UIImage::imageWithContentsOfFile(std::string_view devicePath)
{
    auto path = DeviceRoot::current().hostPath(devicePath);
    auto image = path ? imageWithContentsOfHostFile(*path) : nullptr;
    if (image)
        image->m_sourcePath = devicePath;
    return image;
}

bool UIImage::writePNGToHostFile(const std::filesystem::path& path) const
{
    return m_surface && cairo_surface_write_to_png(m_surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}
