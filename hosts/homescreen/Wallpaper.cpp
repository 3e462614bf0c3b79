#include "Wallpaper.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <uikit/UIGraphics.h>

// A wallpaper of soft shapes, the same every time.
void drawWallpaper(cairo_t* cr, double width, double height)
{
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, width, height);
    cairo_pattern_add_color_stop_rgb(gradient, 0, 0.10, 0.45, 0.62);
    cairo_pattern_add_color_stop_rgb(gradient, 0.5, 0.42, 0.30, 0.66);
    cairo_pattern_add_color_stop_rgb(gradient, 1, 0.93, 0.45, 0.38);
    cairo_set_source(cr, gradient);
    cairo_paint(cr);
    cairo_pattern_destroy(gradient);
    struct Shape {
        double x, y, radius, r, g, b, a;
    };
    constexpr Shape shapes[] = { { 0.15, 0.2, 0.22, 1, 0.85, 0.3, 0.55 }, { 0.85, 0.35, 0.3, 0.2, 0.9, 0.7, 0.45 }, { 0.3, 0.75, 0.25, 0.95, 0.3, 0.5, 0.5 },
        { 0.75, 0.85, 0.2, 1, 1, 1, 0.35 }, { 0.55, 0.5, 0.12, 0.1, 0.1, 0.3, 0.4 } };
    for (auto& shape : shapes) {
        cairo_arc(cr, shape.x * width, shape.y * height, shape.radius * width, 0, 2 * M_PI);
        cairo_set_source_rgba(cr, shape.r, shape.g, shape.b, shape.a);
        cairo_fill(cr);
    }
}

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
