#pragma once

// An image's pixels as the colour library reads them: premultiplied 8-bit
// red, green, blue and alpha, from the image's own buffer.

#include <cairo.h>

#include <cstdint>

#include <uikit/UIImage.h>

namespace tincture {

struct PixelBytes {
    std::uint8_t red, green, blue, alpha;
    std::uint32_t packed() const { return std::uint32_t(red) << 24 | std::uint32_t(green) << 16 | std::uint32_t(blue) << 8 | alpha; }
    static PixelBytes fromPacked(std::uint32_t key)
    {
        return { static_cast<std::uint8_t>(key >> 24), static_cast<std::uint8_t>(key >> 16), static_cast<std::uint8_t>(key >> 8),
            static_cast<std::uint8_t>(key) };
    }
};

// Column by column, and down each column, as the palette counts them.
template <typename Visit> void forEachPixel(const UIImage& image, Visit visit)
{
    cairo_surface_t* surface = image.surface();
    if (!surface)
        return;
    cairo_surface_flush(surface);
    int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    bool hasAlpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            const unsigned char* pixel = data + static_cast<std::ptrdiff_t>(y) * stride + static_cast<std::ptrdiff_t>(x) * 4;
            visit(PixelBytes { pixel[2], pixel[1], pixel[0], hasAlpha ? pixel[3] : std::uint8_t(255) });
        }
    }
}

// The whole image reduced to one pixel: each premultiplied channel's mean, rounded.
PixelBytes averagePixel(const UIImage&);

}
