#include "UIGraphics.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Canvas {
    CGContext context;
    bool isOpen;
};

thread_local std::vector<Canvas> canvases;

cairo_filter_t filterFor(CGInterpolationQuality quality)
{
    switch (quality) {
    case kCGInterpolationNone:
        return CAIRO_FILTER_NEAREST;
    case kCGInterpolationLow:
        return CAIRO_FILTER_FAST;
    case kCGInterpolationHigh:
        return CAIRO_FILTER_BEST;
    default:
        return CAIRO_FILTER_GOOD;
    }
}

}

UIScreen& UIScreen::mainScreen()
{
    static UIScreen screen;
    return screen;
}

const DeviceDescription& deviceDescription(DeviceModel model)
{
    for (auto& device : kDevices) {
        if (device.model == model)
            return device;
    }
    return kDevices[0];
}

void UIScreen::setDevice(DeviceModel model)
{
    auto& device = deviceDescription(model);
    m_device = model;
    m_size = device.screenSize;
    m_scale = device.scale;
}

void UIGraphicsBeginImageContextWithOptions(CGSize size, bool isOpaque, CGFloat scale)
{
    if (scale <= 0)
        scale = UIScreen::mainScreen().scale();
    double width = std::ceil(size.width * scale), height = std::ceil(size.height * scale);
    if (!(width >= 1 && height >= 1 && width * height <= UIImage::maximumPixelCount)) {
        canvases.push_back({ { nullptr, nullptr, scale }, false });
        return;
    }
    cairo_surface_t* surface
        = cairo_image_surface_create(isOpaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height));
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    canvases.push_back({ { cr, surface, scale }, true });
}

void UIGraphicsBeginImageContext(CGSize size)
{
    UIGraphicsBeginImageContextWithOptions(size, false, 1.0);
}

CGContextRef UIGraphicsGetCurrentContext()
{
    if (canvases.empty() || !canvases.back().isOpen)
        return nullptr;
    return &canvases.back().context;
}

RefPtr<UIImage> UIGraphicsGetImageFromCurrentImageContext()
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context)
        return nullptr;
    cairo_surface_flush(context->surface);
    // A copy, so that drawing on afterwards does not change the image.
    int width = cairo_image_surface_get_width(context->surface), height = cairo_image_surface_get_height(context->surface);
    cairo_surface_t* copy = cairo_image_surface_create(cairo_image_surface_get_format(context->surface), width, height);
    cairo_t* cr = cairo_create(copy);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, context->surface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    auto image = UIImage::imageWithSurface(copy, context->scale);
    cairo_surface_destroy(copy);
    return image;
}

void UIGraphicsEndImageContext()
{
    if (canvases.empty())
        return;
    auto& canvas = canvases.back();
    if (canvas.isOpen) {
        cairo_destroy(canvas.context.cairo);
        cairo_surface_destroy(canvas.context.surface);
    }
    canvases.pop_back();
}

void CGContextSetInterpolationQuality(CGContextRef context, CGInterpolationQuality quality)
{
    if (context)
        context->interpolation = quality;
}

void UIImage::drawInRect(CGRect rect) const
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    CGSize pixels = pixelSize();
    if (!context || !m_surface || pixels.width <= 0 || pixels.height <= 0 || rect.size.width <= 0 || rect.size.height <= 0)
        return;
    cairo_t* cr = context->cairo;
    cairo_save(cr);
    cairo_rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    cairo_clip(cr);
    cairo_translate(cr, rect.origin.x, rect.origin.y);
    cairo_scale(cr, rect.size.width / pixels.width, rect.size.height / pixels.height);
    cairo_set_source_surface(cr, m_surface, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), filterFor(context->interpolation));
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_restore(cr);
}

void addRoundedRectangle(cairo_t* cr, double x, double y, double width, double height, double radius)
{
    radius = std::min({ radius, width / 2, height / 2 });
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + width - radius, y + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, x + width - radius, y + height - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, x + radius, y + height - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void concatTransformAboutPoint(cairo_t* cr, const CGAffineTransform& transform, CGPoint point)
{
    cairo_matrix_t matrix { transform.a, transform.b, transform.c, transform.d, transform.tx, transform.ty };
    cairo_translate(cr, point.x, point.y);
    cairo_transform(cr, &matrix);
    cairo_translate(cr, -point.x, -point.y);
}
