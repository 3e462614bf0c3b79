#include "UIStatusBar.h"

#include <cairo.h>

#include <cmath>

#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>

#include "NSStringDrawing.h"
#include "UIColor.h"
#include "UIFont.h"
#include "ViewDrawing.h"

Class UIStatusBar::objcClass()
{
    static Class cls = ClassBuilder<UIStatusBar>("UIStatusBar", UIView::objcClass()).registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredUIStatusBar = UIStatusBar::objcClass();

Ref<UIStatusBar> UIStatusBar::create(CGFloat screenWidth, UIStatusBarStyle style)
{
    auto bar = adoptRef(*new UIStatusBar);
    objc_msgSend<id(CGRect)>(bar.ptr(), initWithFrameSelector(), CGRectMake(0, 0, screenWidth, height));
    bar->m_style = style;
    bar->setUserInteractionEnabled(false);
    return bar;
}

void UIStatusBar::drawContent(cairo_t* cr)
{
    using namespace viewdrawing;
    RGBA ink = m_style == UIStatusBarStyle::LightContent ? RGBA { 1, 1, 1, 1 } : RGBA { 0, 0, 0, 1 };
    Ref<UIColor> inkColor = UIColor::colorWithRed(ink.red, ink.green, ink.blue, 1);
    CGFloat width = bounds().size.width, middle = height / 2;
    auto font = UIFont::systemFontOfSize(12);
    auto boldFont = UIFont::boldSystemFontOfSize(12);

    // Signal: five dots of 5.5 points, a point and a half apart.
    setSource(cr, ink);
    for (int dot = 0; dot < 5; ++dot) {
        cairo_arc(cr, 6 + 2.75 + dot * 6.5, middle, 2.75, 0, 2 * M_PI);
        cairo_fill(cr);
    }
    CGFloat x = 6 + 5 * 6.5 + 3;
    drawTextInRect(cr, "Carrier", CGRectMake(x, 0, 60, height), { font.ptr() }, inkColor.ptr(), NSTextAlignment::Left, NSLineBreakMode::ByTruncatingTail);
    x += std::ceil(sizeWithAttributes("Carrier", { font.ptr() }).width) + 5;
    // Wi-Fi: a quarter fan, a wedge and two bands over its point.
    setSource(cr, ink);
    CGPoint base { x + 7, middle + 4.5 };
    cairo_move_to(cr, base.x, base.y);
    cairo_arc(cr, base.x, base.y, 3.5, -3 * M_PI / 4, -M_PI / 4);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_set_line_width(cr, 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (double radius : { 6.5, 10.0 }) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, base.x, base.y, radius, -3 * M_PI / 4, -M_PI / 4);
        cairo_stroke(cr);
    }

    drawTextInRect(
        cr, m_timeText, CGRectMake(0, 0, width, height), { boldFont.ptr() }, inkColor.ptr(), NSTextAlignment::Center, NSLineBreakMode::ByTruncatingTail);

    // The battery: an outline of 24.5 by 11.5 points with its nub, full.
    CGFloat batteryX = width - 6 - 2 - 24.5;
    cairo_rectangle(cr, batteryX + 0.5, middle - 5.25, 23.5, 10.5);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_rectangle(cr, batteryX + 2, middle - 3.75, 20.5, 7.5);
    cairo_fill(cr);
    cairo_rectangle(cr, batteryX + 24.5, middle - 2, 1.5, 4);
    cairo_fill(cr);
    drawTextInRect(
        cr, "100%", CGRectMake(0, 0, batteryX - 4, height), { font.ptr() }, inkColor.ptr(), NSTextAlignment::Right, NSLineBreakMode::ByTruncatingTail);
}
