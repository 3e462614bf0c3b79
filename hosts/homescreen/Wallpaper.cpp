#include "Wallpaper.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <uikit/UIGraphics.h>

void drawIconPlaceholders(cairo_t* cr)
{
    // A grid of app icons, as a home screen has.
    for (int row = 0; row < 6; ++row) {
        for (int column = 0; column < 4; ++column) {
            addRoundedRectangle(cr, 27 + column * 87, 40 + row * 100, 60, 60, 13);
            cairo_set_source_rgba(cr, 1, 1, 1, 0.28);
            cairo_fill(cr);
        }
    }
}

// Three box blurs approach a Gaussian; on premultiplied pixels, each channel alike.
void boxBlur(cairo_surface_t* surface, int radius)
{
    if (radius < 1)
        return;
    cairo_surface_flush(surface);
    int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    std::vector<unsigned char> line(static_cast<std::size_t>(std::max(width, height)) * 4);
    auto pass = [&](int count, int length, auto pixel) {
        for (int i = 0; i < count; ++i) {
            for (int j = 0; j < length; ++j)
                std::copy_n(pixel(i, j), 4, &line[static_cast<std::size_t>(j) * 4]);
            for (int channel = 0; channel < 4; ++channel) {
                int sum = 0;
                auto at = [&](int j) { return line[static_cast<std::size_t>(std::clamp(j, 0, length - 1)) * 4 + static_cast<std::size_t>(channel)]; };
                for (int j = -radius; j <= radius; ++j)
                    sum += at(j);
                for (int j = 0; j < length; ++j) {
                    pixel(i, j)[channel] = static_cast<unsigned char>(sum / (2 * radius + 1));
                    sum += at(j + radius + 1) - at(j - radius);
                }
            }
        }
    };
    for (int repeat = 0; repeat < 3; ++repeat) {
        pass(height, width, [&](int y, int x) { return data + y * stride + x * 4; });
        pass(width, height, [&](int x, int y) { return data + y * stride + x * 4; });
    }
    cairo_surface_mark_dirty(surface);
}
