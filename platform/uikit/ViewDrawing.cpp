#include "ViewDrawing.h"

#include <cairo.h>

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

}
