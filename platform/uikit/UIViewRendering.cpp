#include "UIViewRendering.h"

#include <cairo.h>

#include <cmath>

#include "UIColor.h"
#include "UIGraphics.h"
#include "UIView.h"
#include "ViewDrawing.h"

namespace {

void addBoundsPath(cairo_t* cr, CGSize size, CGFloat cornerRadius)
{
    if (cornerRadius > 0)
        addRoundedRectangle(cr, 0, 0, size.width, size.height, cornerRadius);
    else
        cairo_rectangle(cr, 0, 0, size.width, size.height);
}

void drawBorder(cairo_t* cr, UIView& view)
{
    CALayer* layer = view.layer();
    CGColorRef color = layer->borderColor();
    if (layer->borderWidth() <= 0 || !color)
        return;
    viewdrawing::setSource(cr, UIColor::colorWithCGColor(*color).ptr(), { 0, 0, 0, 0 });
    CGSize size = view.bounds().size;
    double inset = layer->borderWidth() / 2;
    cairo_save(cr);
    cairo_translate(cr, inset, inset);
    addBoundsPath(cr, { size.width - 2 * inset, size.height - 2 * inset }, std::max(0.0, layer->cornerRadius() - inset));
    cairo_set_line_width(cr, layer->borderWidth());
    cairo_stroke(cr);
    cairo_restore(cr);
}

}

void drawViewHierarchy(UIView& view, cairo_t* cr)
{
    // A transform that flattens the view (a scale of 0) leaves nothing to draw.
    auto transform = view.transform();
    if (view.isHidden() || view.alpha() <= 0 || transform.a * transform.d - transform.b * transform.c == 0)
        return;
    Ref<UIView> protectedView(view);
    // What changed since the last layout is laid out before it is drawn, as
    // UIKit does before a frame is shown.
    view.layoutIfNeeded();
    CGRect frame = view.frame(), bounds = view.bounds();
    cairo_save(cr);
    cairo_translate(cr, frame.origin.x, frame.origin.y);
    if (transform != CGAffineTransformIdentity)
        concatTransformAboutPoint(cr, transform, { frame.size.width / 2, frame.size.height / 2 });
    bool isGroup = view.alpha() < 1;
    if (isGroup)
        cairo_push_group(cr);
    CGFloat cornerRadius = view.layer()->cornerRadius();
    if (view.clipsToBounds()) {
        addBoundsPath(cr, bounds.size, cornerRadius);
        cairo_clip(cr);
    }
    if (auto* background = view.backgroundColor()) {
        viewdrawing::setSource(cr, background, { 0, 0, 0, 0 });
        addBoundsPath(cr, bounds.size, cornerRadius);
        cairo_fill(cr);
    }
    cairo_save(cr);
    cairo_translate(cr, -bounds.origin.x, -bounds.origin.y);
    view.drawContent(cr);
    auto subviews = view.subviews();
    for (auto& subview : subviews)
        drawViewHierarchy(subview, cr);
    cairo_restore(cr);
    drawBorder(cr, view);
    if (isGroup) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, view.alpha());
    }
    cairo_restore(cr);
}

RefPtr<UIImage> imageOfViewHierarchy(UIView& view, CGFloat scale)
{
    CGSize size = view.bounds().size;
    UIGraphicsBeginImageContextWithOptions(size, false, scale);
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context || !context->cairo) {
        UIGraphicsEndImageContext();
        return nullptr;
    }
    CGRect frame = view.frame();
    cairo_save(context->cairo);
    cairo_translate(context->cairo, -frame.origin.x, -frame.origin.y);
    drawViewHierarchy(view, context->cairo);
    cairo_restore(context->cairo);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}
