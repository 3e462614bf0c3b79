#include "StockAppIcons.h"

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <utility>

#include <uikit/UIGraphics.h>

namespace stockicons {

namespace {

constexpr double side = 60;
constexpr double pi = 3.14159265358979323846;

void setColor(cairo_t* cr, std::uint32_t rgb, double alpha = 1)
{
    cairo_set_source_rgba(cr, ((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0, (rgb & 0xff) / 255.0, alpha);
}

void addStop(cairo_pattern_t* pattern, double offset, std::uint32_t rgb)
{
    cairo_pattern_add_color_stop_rgb(pattern, offset, ((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0, (rgb & 0xff) / 255.0);
}

// Sets a top-to-bottom gradient over the band as the source.
void setVerticalGradient(cairo_t* cr, double top, double bottom, std::uint32_t topColor, std::uint32_t bottomColor)
{
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, top, 0, bottom);
    addStop(gradient, 0, topColor);
    addStop(gradient, 1, bottomColor);
    cairo_set_source(cr, gradient);
    cairo_pattern_destroy(gradient);
}

void background(cairo_t* cr, std::uint32_t top, std::uint32_t bottom)
{
    setVerticalGradient(cr, 0, side, top, bottom);
    cairo_paint(cr);
}

void circlePath(cairo_t* cr, double x, double y, double radius)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, radius, 0, 2 * pi);
}

void polyline(cairo_t* cr, std::initializer_list<std::pair<double, double>> points)
{
    bool isFirst = true;
    for (auto [x, y] : points) {
        isFirst ? cairo_move_to(cr, x, y) : cairo_line_to(cr, x, y);
        isFirst = false;
    }
}

void centredText(cairo_t* cr, const char* text, double size, cairo_font_weight_t weight, double centreX, double baseline)
{
    cairo_select_font_face(cr, "Inter", CAIRO_FONT_SLANT_NORMAL, weight);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    cairo_move_to(cr, centreX - extents.width / 2 - extents.x_bearing, baseline);
    cairo_show_text(cr, text);
}

// A filled eighth note: its head at (x, y), the stem up by height.
void eighthNote(cairo_t* cr, double x, double y, double height)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, -0.35);
    cairo_scale(cr, 1.35, 1);
    circlePath(cr, 0, 0, 4);
    cairo_restore(cr);
    cairo_fill(cr);
    cairo_rectangle(cr, x + 3.6, y - height, 1.8, height);
    cairo_fill(cr);
}

// Two eighth notes joined by a beam, in the current source: heads at their
// points, stems the height up.
void beamedNotes(cairo_t* cr, std::pair<double, double> first, std::pair<double, double> second, double height)
{
    eighthNote(cr, first.first, first.second, height);
    eighthNote(cr, second.first, second.second, height);
    double left = first.first + 3.6, right = second.first + 5.4;
    polyline(cr,
        { { left, first.second - height }, { right, second.second - height }, { right, second.second - height + 4.5 }, { left, first.second - height + 4.5 } });
    cairo_close_path(cr);
    cairo_fill(cr);
}

}

void messages(cairo_t* cr)
{
    background(cr, 0x67FF70, 0x0BD125);
    // The speech bubble: an ellipse with a tail to the lower left.
    cairo_save(cr);
    cairo_translate(cr, 30, 28);
    cairo_scale(cr, 21, 17);
    circlePath(cr, 0, 0, 1);
    cairo_restore(cr);
    setColor(cr, 0xFFFFFF);
    cairo_fill(cr);
    cairo_move_to(cr, 15, 37);
    cairo_curve_to(cr, 15, 42, 12, 46, 9, 47);
    cairo_curve_to(cr, 15, 47, 20, 45, 23, 42);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void calendar(cairo_t* cr)
{
    setColor(cr, 0xFFFFFF);
    cairo_paint(cr);
    setColor(cr, 0xFF3B30);
    centredText(cr, "Wednesday", 8.5, CAIRO_FONT_WEIGHT_NORMAL, 30, 15);
    setColor(cr, 0x000000);
    centredText(cr, "9", 34, CAIRO_FONT_WEIGHT_NORMAL, 30, 49);
}

void photos(cairo_t* cr)
{
    setColor(cr, 0xFFFFFF);
    cairo_paint(cr);
    // Eight petals round the middle, each colour laid over the last.
    const std::uint32_t petals[] = { 0xF8B92C, 0xF68B2C, 0xE8453C, 0xD53F7E, 0x9B59C6, 0x4E7CE0, 0x3DB2DA, 0x77C04B };
    for (int i = 0; i < 8; ++i) {
        cairo_save(cr);
        cairo_translate(cr, 30, 30);
        cairo_rotate(cr, i * pi / 4);
        cairo_translate(cr, 0, -11);
        cairo_scale(cr, 0.55, 1);
        circlePath(cr, 0, 0, 11);
        cairo_restore(cr);
        setColor(cr, petals[i], 0.8);
        cairo_fill(cr);
    }
}

void camera(cairo_t* cr)
{
    background(cr, 0xDCDEE0, 0x8A8D92);
    setColor(cr, 0x1C1C1E);
    addRoundedRectangle(cr, 9, 21, 42, 27, 4);
    cairo_fill(cr);
    addRoundedRectangle(cr, 22, 16, 16, 8, 2);
    cairo_fill(cr);
    setColor(cr, 0xD8D8DC);
    circlePath(cr, 30, 34.5, 10);
    cairo_fill(cr);
    setColor(cr, 0x2C2C30);
    circlePath(cr, 30, 34.5, 7.5);
    cairo_fill(cr);
    setColor(cr, 0x5A6E8C);
    circlePath(cr, 28, 32.5, 2.2);
    cairo_fill(cr);
    setColor(cr, 0xFFCC00);
    cairo_rectangle(cr, 43, 25, 4, 2.5);
    cairo_fill(cr);
}

void weather(cairo_t* cr)
{
    background(cr, 0x1B7EE6, 0x72C2F8);
    setColor(cr, 0xFFD52E);
    circlePath(cr, 22, 22, 10);
    cairo_fill(cr);
    setColor(cr, 0xFFFFFF);
    circlePath(cr, 29, 39, 7);
    circlePath(cr, 39, 35, 10);
    circlePath(cr, 48, 40, 6.5);
    cairo_fill(cr);
    cairo_rectangle(cr, 22, 39, 32, 7.5);
    cairo_fill(cr);
}

void clock(cairo_t* cr)
{
    setColor(cr, 0x000000);
    cairo_paint(cr);
    setColor(cr, 0xFFFFFF);
    circlePath(cr, 30, 30, 25);
    cairo_fill(cr);
    setColor(cr, 0x000000);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (int tick = 0; tick < 12; ++tick) {
        double angle = tick * pi / 6;
        cairo_set_line_width(cr, tick % 3 == 0 ? 1.6 : 0.9);
        cairo_move_to(cr, 30 + 20.5 * std::sin(angle), 30 - 20.5 * std::cos(angle));
        cairo_line_to(cr, 30 + 23.5 * std::sin(angle), 30 - 23.5 * std::cos(angle));
        cairo_stroke(cr);
    }
    // 10:09, as clocks are shown.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    auto hand = [&](double angle, double length, double width) {
        cairo_set_line_width(cr, width);
        cairo_move_to(cr, 30, 30);
        cairo_line_to(cr, 30 + length * std::sin(angle), 30 - length * std::cos(angle));
        cairo_stroke(cr);
    };
    hand((10 + 9 / 60.0) * pi / 6, 12, 2.4);
    hand(9 * pi / 30, 18, 1.8);
    setColor(cr, 0xFF9500);
    hand(36 * pi / 30, 20, 0.8);
    circlePath(cr, 30, 30, 1.6);
    cairo_fill(cr);
}

void maps(cairo_t* cr)
{
    setColor(cr, 0xF3EEE2);
    cairo_paint(cr);
    setColor(cr, 0xB8DC8C);
    polyline(cr, { { 0, 0 }, { 26, 0 }, { 18, 22 }, { 0, 28 } });
    cairo_close_path(cr);
    cairo_fill(cr);
    setColor(cr, 0x8FC8F4);
    polyline(cr, { { 60, 34 }, { 42, 44 }, { 36, 60 }, { 60, 60 } });
    cairo_close_path(cr);
    cairo_fill(cr);
    setColor(cr, 0xFFFFFF);
    cairo_set_line_width(cr, 3);
    polyline(cr, { { 0, 44 }, { 60, 14 } });
    polyline(cr, { { 34, 0 }, { 28, 60 } });
    cairo_stroke(cr);
    // The highway, and its shield.
    setColor(cr, 0xF7C144);
    cairo_set_line_width(cr, 5);
    cairo_move_to(cr, 8, 60);
    cairo_curve_to(cr, 18, 36, 36, 28, 60, 26);
    cairo_stroke(cr);
    setColor(cr, 0x2D6FD6);
    cairo_move_to(cr, 41, 5);
    cairo_line_to(cr, 53, 5);
    cairo_curve_to(cr, 54, 12, 51, 16, 47, 18);
    cairo_curve_to(cr, 43, 16, 40, 12, 41, 5);
    cairo_fill(cr);
    // Where the phone is: the blue arrow.
    setColor(cr, 0x1E7BF2);
    polyline(cr, { { 22, 46 }, { 34, 36 }, { 29, 50 }, { 27.5, 44 } });
    cairo_close_path(cr);
    cairo_fill(cr);
}

void videos(cairo_t* cr)
{
    background(cr, 0x3B3B44, 0x101014);
    setColor(cr, 0xFFFFFF);
    cairo_rectangle(cr, 12, 28, 36, 20);
    cairo_fill(cr);
    // The clapper, its stripes cut out.
    cairo_save(cr);
    cairo_translate(cr, 12, 26);
    cairo_rotate(cr, -0.22);
    cairo_rectangle(cr, 0, -7, 36, 6);
    cairo_fill(cr);
    setColor(cr, 0x1A1A20);
    for (double x = 4; x < 36; x += 8) {
        polyline(cr, { { x, -7 }, { x + 4, -7 }, { x + 1, -1 }, { x - 3, -1 } });
        cairo_close_path(cr);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void notes(cairo_t* cr)
{
    setColor(cr, 0xFFFFFF);
    cairo_paint(cr);
    setVerticalGradient(cr, 0, 15, 0xFDE06B, 0xF9C83A);
    cairo_rectangle(cr, 0, 0, side, 15);
    cairo_fill(cr);
    setColor(cr, 0xC7C7CC);
    cairo_set_line_width(cr, 0.8);
    for (double y = 25; y < 58; y += 8) {
        cairo_move_to(cr, 0, y);
        cairo_line_to(cr, side, y);
    }
    cairo_stroke(cr);
    // The torn edge under the yellow.
    setColor(cr, 0x9E9EA3);
    for (double x = 2; x < side; x += 3.5) {
        circlePath(cr, x, 16.5, 0.7);
        cairo_fill(cr);
    }
}

void reminders(cairo_t* cr)
{
    setColor(cr, 0xFFFFFF);
    cairo_paint(cr);
    const std::uint32_t rings[] = { 0xFF9500, 0x1D8CF9, 0x8E5BD3 };
    cairo_set_line_width(cr, 1.6);
    for (int row = 0; row < 3; ++row) {
        double y = 16 + row * 14;
        setColor(cr, rings[row]);
        circlePath(cr, 14, y, 4.2);
        cairo_stroke(cr);
        setColor(cr, 0xC7C7CC);
        cairo_move_to(cr, 23, y);
        cairo_line_to(cr, 52, y);
        cairo_stroke(cr);
    }
}

void stocks(cairo_t* cr)
{
    setColor(cr, 0x000000);
    cairo_paint(cr);
    setColor(cr, 0x3A3A3C);
    cairo_set_line_width(cr, 0.6);
    for (double y = 14; y < 56; y += 10) {
        cairo_move_to(cr, 0, y);
        cairo_line_to(cr, side, y);
    }
    cairo_stroke(cr);
    setColor(cr, 0xFFFFFF);
    cairo_set_line_width(cr, 1.8);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    polyline(cr, { { 4, 44 }, { 12, 38 }, { 18, 41 }, { 26, 28 }, { 33, 33 }, { 41, 20 }, { 48, 25 }, { 56, 14 } });
    cairo_stroke(cr);
    setColor(cr, 0x2F7DF6);
    circlePath(cr, 41, 20, 2.2);
    cairo_fill(cr);
}

void gameCenter(cairo_t* cr)
{
    background(cr, 0xFFFFFF, 0xEDEDF0);
    struct Bubble {
        double x, y, radius;
        std::uint32_t color;
    };
    const Bubble bubbles[] = { { 24, 25, 13, 0xB45BEB }, { 40, 22, 9, 0xFFB21E }, { 38, 39, 11, 0x32A8F4 }, { 22, 42, 8, 0xFF4F8B } };
    for (auto& bubble : bubbles) {
        setColor(cr, bubble.color, 0.82);
        circlePath(cr, bubble.x, bubble.y, bubble.radius);
        cairo_fill(cr);
    }
}

void newsstand(cairo_t* cr)
{
    background(cr, 0x9A6A3E, 0x5C3A1C);
    for (double shelf : { 28.0, 50.0 }) {
        setColor(cr, 0x3F2610);
        cairo_rectangle(cr, 0, shelf, side, 3);
        cairo_fill(cr);
    }
    const std::uint32_t covers[] = { 0xE8453C, 0xF2F2F2, 0x3F8CE8, 0xF5C342 };
    for (int i = 0; i < 4; ++i) {
        setColor(cr, covers[i]);
        cairo_rectangle(cr, 6 + i * 12.5, i % 2 ? 10 : 12, 10, i % 2 ? 18 : 16);
        cairo_rectangle(cr, 9 + i * 11, i % 2 ? 35 : 33, 9, i % 2 ? 15 : 17);
        cairo_fill(cr);
    }
}

void iTunesStore(cairo_t* cr)
{
    background(cr, 0xF05CD8, 0xA63DF5);
    setColor(cr, 0xFFFFFF);
    cairo_set_line_width(cr, 2.4);
    circlePath(cr, 30, 30, 19);
    cairo_stroke(cr);
    beamedNotes(cr, { 22.5, 39 }, { 34.5, 36 }, 17);
}

void appStore(cairo_t* cr)
{
    background(cr, 0x1BD3FD, 0x1D62F0);
    setColor(cr, 0xFFFFFF);
    cairo_set_line_width(cr, 2);
    circlePath(cr, 30, 30, 21);
    cairo_stroke(cr);
    // The "A" of a pencil, a brush and a ruler.
    cairo_set_line_width(cr, 3.4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    polyline(cr, { { 19, 42 }, { 31, 20 } });
    polyline(cr, { { 29, 20 }, { 41, 42 } });
    polyline(cr, { { 17, 35 }, { 43, 35 } });
    cairo_stroke(cr);
}

void iBooks(cairo_t* cr)
{
    background(cr, 0xFFA41B, 0xFF7A00);
    setColor(cr, 0xFFFFFF);
    // Two pages of an open book, bowed at the spine.
    cairo_move_to(cr, 30, 20);
    cairo_curve_to(cr, 24, 16, 15, 16, 9, 19);
    cairo_line_to(cr, 9, 42);
    cairo_curve_to(cr, 15, 39, 24, 39, 30, 43);
    cairo_curve_to(cr, 36, 39, 45, 39, 51, 42);
    cairo_line_to(cr, 51, 19);
    cairo_curve_to(cr, 45, 16, 36, 16, 30, 20);
    cairo_close_path(cr);
    cairo_fill(cr);
    setColor(cr, 0xFF8A00);
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, 30, 21);
    cairo_line_to(cr, 30, 42);
    cairo_stroke(cr);
}

void health(cairo_t* cr)
{
    setColor(cr, 0xFFFFFF);
    cairo_paint(cr);
    setVerticalGradient(cr, 8, 30, 0xFF6B97, 0xFF2D55);
    cairo_move_to(cr, 43, 30);
    cairo_curve_to(cr, 30, 21, 33, 8, 39, 9);
    cairo_curve_to(cr, 41, 9, 43, 11, 43, 13);
    cairo_curve_to(cr, 43, 11, 45, 9, 47, 9);
    cairo_curve_to(cr, 53, 8, 56, 21, 43, 30);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void wallet(cairo_t* cr)
{
    setColor(cr, 0x000000);
    cairo_paint(cr);
    const std::uint32_t cards[] = { 0x3C8CF0, 0xF5A623, 0x4CD964, 0xFF3B30 };
    for (int i = 0; i < 4; ++i) {
        setColor(cr, cards[i]);
        addRoundedRectangle(cr, 9, 12 + i * 5, 42, 20, 2.5);
        cairo_fill(cr);
    }
    setColor(cr, 0xC8C8CC);
    cairo_move_to(cr, 7, 31);
    cairo_line_to(cr, 53, 31);
    cairo_line_to(cr, 53, 48);
    cairo_curve_to(cr, 53, 50, 51, 51, 49, 51);
    cairo_line_to(cr, 11, 51);
    cairo_curve_to(cr, 9, 51, 7, 50, 7, 48);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void settings(cairo_t* cr)
{
    background(cr, 0xB9BCC2, 0x8A8E94);
    // A gear of twenty teeth, and its hub.
    cairo_save(cr);
    cairo_translate(cr, 30, 30);
    constexpr int teeth = 20;
    for (int i = 0; i < teeth * 2; ++i) {
        double angle = i * pi / teeth;
        double radius = i % 2 ? 19.5 : 23;
        i ? cairo_line_to(cr, radius * std::cos(angle), radius * std::sin(angle)) : cairo_move_to(cr, radius * std::cos(angle), radius * std::sin(angle));
    }
    cairo_close_path(cr);
    setColor(cr, 0x45484D);
    cairo_fill(cr);
    setColor(cr, 0xD7D9DC);
    circlePath(cr, 0, 0, 16);
    cairo_fill(cr);
    setColor(cr, 0x45484D);
    cairo_set_line_width(cr, 2.2);
    for (int spoke = 0; spoke < 3; ++spoke) {
        double angle = spoke * 2 * pi / 3 - pi / 2;
        cairo_move_to(cr, 4 * std::cos(angle), 4 * std::sin(angle));
        cairo_line_to(cr, 14 * std::cos(angle), 14 * std::sin(angle));
    }
    cairo_stroke(cr);
    circlePath(cr, 0, 0, 5);
    cairo_fill(cr);
    cairo_restore(cr);
}

void phone(cairo_t* cr)
{
    background(cr, 0x67FF70, 0x0BD125);
    setColor(cr, 0xFFFFFF);
    // The handset: a bowed bar between its ear and mouth pieces.
    cairo_save(cr);
    cairo_translate(cr, 30, 30);
    cairo_rotate(cr, -pi / 4);
    cairo_set_line_width(cr, 6);
    cairo_arc(cr, 0, -8, 15, pi * 0.22, pi * 0.78);
    cairo_stroke(cr);
    for (double sideSign : { -1.0, 1.0 }) {
        cairo_save(cr);
        cairo_translate(cr, 11.5 * sideSign, 2.5);
        cairo_rotate(cr, -0.5 * sideSign);
        addRoundedRectangle(cr, -4.5, -3, 9, 8, 2.5);
        cairo_restore(cr);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void mail(cairo_t* cr)
{
    background(cr, 0x1BD3FD, 0x1D62F0);
    setColor(cr, 0xFFFFFF);
    cairo_rectangle(cr, 10, 17, 40, 26);
    cairo_fill(cr);
    setColor(cr, 0x3A8AF5);
    cairo_set_line_width(cr, 1.2);
    polyline(cr, { { 10.5, 17.5 }, { 30, 32 }, { 49.5, 17.5 } });
    polyline(cr, { { 10.5, 42.5 }, { 24, 28 } });
    polyline(cr, { { 49.5, 42.5 }, { 36, 28 } });
    cairo_stroke(cr);
}

void safari(cairo_t* cr)
{
    background(cr, 0xFFFFFF, 0xE4E4E8);
    cairo_pattern_t* face = cairo_pattern_create_linear(0, 6, 0, 54);
    addStop(face, 0, 0x19D7FF);
    addStop(face, 1, 0x1E64F0);
    cairo_set_source(cr, face);
    cairo_pattern_destroy(face);
    circlePath(cr, 30, 30, 24);
    cairo_fill(cr);
    setColor(cr, 0xFFFFFF);
    for (int tick = 0; tick < 36; ++tick) {
        double angle = tick * pi / 18;
        cairo_set_line_width(cr, tick % 9 == 0 ? 1.2 : 0.6);
        cairo_move_to(cr, 30 + 19 * std::cos(angle), 30 + 19 * std::sin(angle));
        cairo_line_to(cr, 30 + 22 * std::cos(angle), 30 + 22 * std::sin(angle));
        cairo_stroke(cr);
    }
    // The needle, north-east in red, south-west in white.
    setColor(cr, 0xFF3B30);
    polyline(cr, { { 44, 16 }, { 27, 27 }, { 33, 33 } });
    cairo_close_path(cr);
    cairo_fill(cr);
    setColor(cr, 0xFFFFFF);
    polyline(cr, { { 16, 44 }, { 27, 27 }, { 33, 33 } });
    cairo_close_path(cr);
    cairo_fill(cr);
}

void music(cairo_t* cr)
{
    setColor(cr, 0xFFFFFF);
    cairo_paint(cr);
    setVerticalGradient(cr, 12, 48, 0xFF6A6F, 0xFF2A68);
    beamedNotes(cr, { 21, 42 }, { 38, 38 }, 24);
}

}
