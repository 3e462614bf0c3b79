// UIImageJPEGRepresentation and UIImagePNGRepresentation: an image's bytes in
// a file format, JPEG through libjpeg-turbo, PNG through cairo.

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "JPEGErrors.h"
#include "UIImage.h"

std::vector<std::uint8_t> UIImageJPEGRepresentation(const UIImage& image, CGFloat quality)
{
    cairo_surface_t* surface = image.surface();
    if (!surface)
        return {};
    cairo_surface_flush(surface);
    int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    unsigned char* pixels = cairo_image_surface_get_data(surface);
    if (!pixels || width <= 0 || height <= 0)
        return {};

    jpeg_compress_struct info {};
    JPEGErrors errors {};
    info.err = installJPEGErrors(errors);
    unsigned char* output = nullptr;
    unsigned long outputSize = 0;
    if (setjmp(errors.recovery)) {
        jpeg_destroy_compress(&info);
        std::free(output);
        return {};
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &output, &outputSize);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    // cairo's ARGB32 is B, G, R, A in memory on little-endian machines; JPEG
    // has no alpha, so a translucent pixel shows as if over black.
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, std::clamp(static_cast<int>(quality * 100), 1, 100), TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = pixels + static_cast<std::ptrdiff_t>(info.next_scanline) * stride;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> bytes(output, output + outputSize);
    jpeg_destroy_compress(&info);
    std::free(output);
    return bytes;
}

std::vector<std::uint8_t> UIImagePNGRepresentation(const UIImage& image)
{
    std::vector<std::uint8_t> bytes;
    if (!image.surface())
        return bytes;
    auto append = [](void* closure, const unsigned char* data, unsigned int length) {
        auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
        out->insert(out->end(), data, data + length);
        return CAIRO_STATUS_SUCCESS;
    };
    if (cairo_surface_write_to_png_stream(image.surface(), append, &bytes) != CAIRO_STATUS_SUCCESS)
        bytes.clear();
    return bytes;
}
