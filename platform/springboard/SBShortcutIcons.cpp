#include "SBShortcutIcons.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <map>
#include <mutex>
#include <utility>

#include <uikit/UIGraphics.h>

const std::array<std::string_view, 29> systemShortcutIconNames { "Compose", "Play", "Pause", "Add", "Location", "Search", "Share", "Prohibit", "Contact",
    "Home", "MarkLocation", "Favorite", "Love", "Cloud", "Invitation", "Confirmation", "Mail", "Message", "Date", "Time", "CapturePhoto", "CaptureVideo",
    "Task", "TaskCompleted", "Alarm", "Bookmark", "Shuffle", "Audio", "Update" };

namespace {

// Each glyph is drawn in a 28-point square, in black, with lines 2 points wide.
constexpr double pi = 3.14159265358979323846;

enum class Ends { Open, Closed };

// A path through the points, from the first.
void polygon(cairo_t* cr, std::initializer_list<std::pair<double, double>> points, Ends ends = Ends::Open)
{
    bool isFirst = true;
    for (auto [x, y] : points) {
        if (isFirst)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
        isFirst = false;
    }
    if (ends == Ends::Closed)
        cairo_close_path(cr);
}

void stroke(cairo_t* cr)
{
    cairo_set_line_width(cr, 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

void line(cairo_t* cr, double x0, double y0, double x1, double y1)
{
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    stroke(cr);
}

void circle(cairo_t* cr, double x, double y, double radius)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, radius, 0, 2 * pi);
}

void roundedBox(cairo_t* cr, double x, double y, double width, double height, double radius)
{
    addRoundedRectangle(cr, x, y, width, height, radius);
}

void envelope(cairo_t* cr, double top)
{
    roundedBox(cr, 3, top, 22, 15, 2);
    stroke(cr);
    polygon(cr, { { 4, top + 1.5 }, { 14, top + 9 }, { 24, top + 1.5 } });
    stroke(cr);
}

void arrowHead(cairo_t* cr, double x, double y, double angle)
{
    cairo_move_to(cr, x + 4 * std::cos(angle + 2.5), y + 4 * std::sin(angle + 2.5));
    cairo_line_to(cr, x, y);
    cairo_line_to(cr, x + 4 * std::cos(angle - 2.5), y + 4 * std::sin(angle - 2.5));
    stroke(cr);
}

void star(cairo_t* cr, double x, double y, double outer, double inner)
{
    for (int i = 0; i < 10; ++i) {
        double angle = -pi / 2 + i * pi / 5;
        double radius = i % 2 ? inner : outer;
        if (i == 0)
            cairo_move_to(cr, x + radius * std::cos(angle), y + radius * std::sin(angle));
        else
            cairo_line_to(cr, x + radius * std::cos(angle), y + radius * std::sin(angle));
    }
    cairo_close_path(cr);
}

void heart(cairo_t* cr)
{
    cairo_move_to(cr, 14, 24);
    cairo_curve_to(cr, 2, 16, 2, 6, 8.5, 5.5);
    cairo_curve_to(cr, 11.5, 5.3, 13.3, 7, 14, 9);
    cairo_curve_to(cr, 14.7, 7, 16.5, 5.3, 19.5, 5.5);
    cairo_curve_to(cr, 26, 6, 26, 16, 14, 24);
    cairo_close_path(cr);
}

void clockFace(cairo_t* cr, double x, double y, double radius)
{
    circle(cr, x, y, radius);
    stroke(cr);
    polygon(cr, { { x, y - radius * 0.6 }, { x, y }, { x + radius * 0.45, y + radius * 0.3 } });
    stroke(cr);
}

void check(cairo_t* cr, double x, double y, double size)
{
    polygon(cr, { { x - size * 0.5, y }, { x - size * 0.15, y + size * 0.35 }, { x + size * 0.5, y - size * 0.35 } });
    stroke(cr);
}

void drawGlyph(cairo_t* cr, std::string_view name)
{
    if (name == "Compose") {
        // A sheet open at its top right corner, and a pencil writing on it.
        polygon(cr, { { 14, 5 }, { 4, 5 }, { 4, 24 }, { 23, 24 }, { 23, 14 } });
        stroke(cr);
        polygon(cr, { { 12, 16 }, { 13, 12.5 }, { 22, 3.5 }, { 24.5, 6 }, { 15.5, 15 } }, Ends::Closed);
        stroke(cr);
    } else if (name == "Play") {
        polygon(cr, { { 8, 4 }, { 24, 14 }, { 8, 24 } }, Ends::Closed);
        cairo_fill(cr);
    } else if (name == "Pause") {
        roundedBox(cr, 7, 5, 5, 18, 1);
        roundedBox(cr, 16, 5, 5, 18, 1);
        cairo_fill(cr);
    } else if (name == "Add") {
        line(cr, 14, 4, 14, 24);
        line(cr, 4, 14, 24, 14);
    } else if (name == "Location") {
        polygon(cr, { { 24, 4 }, { 4, 13 }, { 14, 14 }, { 15, 24 } }, Ends::Closed);
        cairo_fill(cr);
    } else if (name == "Search") {
        circle(cr, 12, 12, 7);
        stroke(cr);
        cairo_set_line_width(cr, 3);
        cairo_move_to(cr, 17.5, 17.5);
        cairo_line_to(cr, 24, 24);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    } else if (name == "Share") {
        polygon(cr, { { 10, 11 }, { 6, 11 }, { 6, 25 }, { 22, 25 }, { 22, 11 }, { 18, 11 } });
        stroke(cr);
        line(cr, 14, 3, 14, 17);
        arrowHead(cr, 14, 3, -pi / 2);
    } else if (name == "Prohibit") {
        circle(cr, 14, 14, 10);
        stroke(cr);
        line(cr, 7, 7, 21, 21);
    } else if (name == "Contact") {
        circle(cr, 14, 14, 11);
        stroke(cr);
        circle(cr, 14, 11, 4);
        cairo_fill(cr);
        cairo_arc(cr, 14, 23, 7, pi, 2 * pi);
        cairo_fill(cr);
    } else if (name == "Home") {
        polygon(cr, { { 3, 14 }, { 14, 4 }, { 25, 14 } });
        stroke(cr);
        polygon(cr, { { 6.5, 11.5 }, { 6.5, 24 }, { 12, 24 }, { 12, 17 }, { 16, 17 }, { 16, 24 }, { 21.5, 24 }, { 21.5, 11.5 } });
        stroke(cr);
    } else if (name == "MarkLocation") {
        cairo_move_to(cr, 14, 26);
        cairo_curve_to(cr, 6, 16, 5, 13, 5, 11);
        cairo_arc(cr, 14, 11, 9, pi, 2 * pi);
        cairo_curve_to(cr, 23, 13, 22, 16, 14, 26);
        cairo_close_path(cr);
        circle(cr, 14, 11, 3.5);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_fill(cr);
    } else if (name == "Favorite") {
        star(cr, 14, 15, 11, 4.6);
        cairo_fill(cr);
    } else if (name == "Love") {
        heart(cr);
        cairo_fill(cr);
    } else if (name == "Cloud") {
        cairo_move_to(cr, 8, 22);
        cairo_arc(cr, 8, 17, 5, pi / 2, 3 * pi / 2);
        cairo_arc(cr, 14, 11, 6, pi, 1.85 * pi);
        cairo_arc(cr, 20.5, 16.5, 5.5, 1.5 * pi, 2.5 * pi);
        cairo_close_path(cr);
        cairo_fill(cr);
    } else if (name == "Invitation") {
        envelope(cr, 10);
        roundedBox(cr, 8, 3, 12, 9, 1);
        stroke(cr);
        line(cr, 11, 6.5, 17, 6.5);
    } else if (name == "Confirmation") {
        circle(cr, 14, 14, 11);
        stroke(cr);
        check(cr, 14, 14, 11);
    } else if (name == "Mail") {
        envelope(cr, 6.5);
    } else if (name == "Message") {
        cairo_save(cr);
        cairo_translate(cr, 14, 12.5);
        cairo_scale(cr, 11, 8.5);
        cairo_arc(cr, 0, 0, 1, 0.65 * pi, 2.6 * pi);
        cairo_restore(cr);
        cairo_line_to(cr, 5, 25);
        cairo_close_path(cr);
        stroke(cr);
    } else if (name == "Date") {
        roundedBox(cr, 4, 6, 20, 18, 2);
        stroke(cr);
        line(cr, 4, 11, 24, 11);
        line(cr, 9, 3.5, 9, 7);
        line(cr, 19, 3.5, 19, 7);
        for (int row = 0; row < 2; ++row) {
            for (int column = 0; column < 4; ++column)
                circle(cr, 8 + column * 4, 15 + row * 5, 1.1);
        }
        cairo_fill(cr);
    } else if (name == "Time") {
        clockFace(cr, 14, 14, 11);
    } else if (name == "CapturePhoto") {
        roundedBox(cr, 3, 8, 22, 15, 2.5);
        stroke(cr);
        polygon(cr, { { 9, 8 }, { 11, 5 }, { 17, 5 }, { 19, 8 } });
        stroke(cr);
        circle(cr, 14, 15.5, 4.5);
        stroke(cr);
    } else if (name == "CaptureVideo") {
        roundedBox(cr, 2, 8, 16, 12, 2.5);
        stroke(cr);
        polygon(cr, { { 19.5, 13 }, { 26, 9 }, { 26, 19 }, { 19.5, 15 } }, Ends::Closed);
        cairo_fill(cr);
    } else if (name == "Task") {
        for (int row = 0; row < 3; ++row) {
            circle(cr, 5.5, 7 + row * 7, 1.6);
            cairo_fill(cr);
            line(cr, 10, 7 + row * 7, 24, 7 + row * 7);
        }
    } else if (name == "TaskCompleted") {
        roundedBox(cr, 4, 4, 20, 20, 3);
        stroke(cr);
        check(cr, 14, 14, 11);
    } else if (name == "Alarm") {
        clockFace(cr, 14, 15.5, 9);
        cairo_arc(cr, 6, 6.5, 3.5, 0.8 * pi, 1.75 * pi);
        stroke(cr);
        cairo_arc(cr, 22, 6.5, 3.5, 1.25 * pi, 2.2 * pi);
        stroke(cr);
        line(cr, 8, 24, 6.5, 26);
        line(cr, 20, 24, 21.5, 26);
    } else if (name == "Bookmark") {
        polygon(cr, { { 7, 3 }, { 21, 3 }, { 21, 25 }, { 14, 19 }, { 7, 25 } }, Ends::Closed);
        cairo_fill(cr);
    } else if (name == "Shuffle") {
        cairo_move_to(cr, 3, 8);
        cairo_curve_to(cr, 13, 8, 13, 20, 24, 20);
        stroke(cr);
        cairo_move_to(cr, 3, 20);
        cairo_curve_to(cr, 13, 20, 13, 8, 24, 8);
        stroke(cr);
        arrowHead(cr, 25, 8, 0);
        arrowHead(cr, 25, 20, 0);
    } else if (name == "Audio") {
        polygon(cr, { { 3, 11 }, { 8, 11 }, { 14, 5 }, { 14, 23 }, { 8, 17 }, { 3, 17 } }, Ends::Closed);
        cairo_fill(cr);
        cairo_arc(cr, 14, 14, 5, -0.3 * pi, 0.3 * pi);
        stroke(cr);
        cairo_arc(cr, 14, 14, 9.5, -0.3 * pi, 0.3 * pi);
        stroke(cr);
    } else if (name == "Update") {
        cairo_arc(cr, 14, 14, 9, -0.4 * pi, 0.85 * pi);
        stroke(cr);
        arrowHead(cr, 14 + 9 * std::cos(-0.4 * pi), 14 + 9 * std::sin(-0.4 * pi), -0.4 * pi - pi / 2);
        cairo_arc(cr, 14, 14, 9, 0.6 * pi, 1.85 * pi);
        stroke(cr);
        arrowHead(cr, 14 + 9 * std::cos(0.6 * pi), 14 + 9 * std::sin(0.6 * pi), 0.6 * pi - pi / 2);
    }
}

}

RefPtr<UIImage> systemShortcutIcon(std::string_view type)
{
    constexpr std::string_view prefix = "UIApplicationShortcutIconType";
    if (type.starts_with(prefix))
        type.remove_prefix(prefix.size());
    auto known = std::find(systemShortcutIconNames.begin(), systemShortcutIconNames.end(), type);
    if (known == systemShortcutIconNames.end())
        return nullptr;
    // Drawn once per type; images never change, so one serves every menu.
    static std::mutex lock;
    static auto* drawn = new std::map<std::string_view, Ref<UIImage>>;
    std::lock_guard guard(lock);
    if (auto found = drawn->find(*known); found != drawn->end())
        return found->second.ptr();
    UIGraphicsBeginImageContextWithOptions({ 28, 28 }, false, 2);
    cairo_t* cr = UIGraphicsGetCurrentContext()->cairo;
    cairo_set_source_rgb(cr, 0, 0, 0);
    drawGlyph(cr, *known);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    if (!image)
        return nullptr;
    auto glyph = image->imageWithRenderingMode(UIImageRenderingMode::AlwaysTemplate);
    drawn->emplace(*known, glyph);
    return glyph;
}
