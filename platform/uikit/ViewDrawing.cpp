#include "ViewDrawing.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "UIColor.h"
#include "UIImage.h"

namespace viewdrawing {

RGBA components(const UIColor* color, RGBA fallback)
{
    CGFloat r, g, b, a;
    if (!color || !color->getRed(&r, &g, &b, &a))
        return fallback;
    return { r, g, b, a };
}

void setSource(cairo_t* cr, RGBA color)
{
    cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha);
}

void setSource(cairo_t* cr, const UIColor* color, RGBA fallback)
{
    setSource(cr, components(color, fallback));
}

void drawImage(cairo_t* cr, const UIImage& image, CGRect rect, RGBA tint)
{
    cairo_surface_t* surface = image.surface();
    CGSize pixels = image.pixelSize();
    if (!surface || pixels.width <= 0 || pixels.height <= 0 || rect.size.width <= 0 || rect.size.height <= 0)
        return;
    cairo_save(cr);
    cairo_translate(cr, rect.origin.x, rect.origin.y);
    cairo_scale(cr, rect.size.width / pixels.width, rect.size.height / pixels.height);
    if (image.renderingMode() == UIImageRenderingMode::AlwaysTemplate) {
        setSource(cr, tint);
        cairo_mask_surface(cr, surface, 0, 0);
    } else {
        cairo_set_source_surface(cr, surface, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
    }
    cairo_restore(cr);
}

void fillRectangle(cairo_t* cr, CGRect rect, RGBA color)
{
    setSource(cr, color);
    cairo_rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    cairo_fill(cr);
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

// Copies what is drawn under the rectangle, blurs it and puts it back.
void blurBehind(cairo_t* cr, CGRect rect, double radiusPoints)
{
    cairo_surface_t* target = cairo_get_group_target(cr);
    if (cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE)
        return;
    double left = rect.origin.x, top = rect.origin.y, right = left + rect.size.width, bottom = top + rect.size.height;
    cairo_user_to_device(cr, &left, &top);
    cairo_user_to_device(cr, &right, &bottom);
    double offsetX = 0, offsetY = 0;
    cairo_surface_get_device_offset(target, &offsetX, &offsetY);
    int width = cairo_image_surface_get_width(target), height = cairo_image_surface_get_height(target);
    int x0 = std::clamp(static_cast<int>(std::floor(std::min(left, right) + offsetX)), 0, width);
    int y0 = std::clamp(static_cast<int>(std::floor(std::min(top, bottom) + offsetY)), 0, height);
    int x1 = std::clamp(static_cast<int>(std::ceil(std::max(left, right) + offsetX)), 0, width);
    int y1 = std::clamp(static_cast<int>(std::ceil(std::max(top, bottom) + offsetY)), 0, height);
    if (x1 <= x0 || y1 <= y0)
        return;
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, x1 - x0, y1 - y0);
    cairo_t* copier = cairo_create(copy);
    cairo_set_source_surface(copier, target, -x0, -y0);
    cairo_set_operator(copier, CAIRO_OPERATOR_SOURCE);
    cairo_paint(copier);
    cairo_destroy(copier);
    double scale = std::fabs(right - left) / std::max(rect.size.width, 1e-9);
    boxBlur(copy, static_cast<int>(std::lround(radiusPoints * scale / 3)));
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_source_surface(cr, copy, x0 - offsetX, y0 - offsetY);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(cr, x0 - offsetX, y0 - offsetY, x1 - x0, y1 - y0);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_surface_destroy(copy);
}

}
