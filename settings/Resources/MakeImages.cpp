// Draws the settings bundle's images: black glyphs on transparent (the
// screens draw them as templates in the settings tint), the heart, and the
// coloured icon of the first screen. Usage: make-settings-images FOLDER

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include <uikit/UIGraphics.h>

namespace {

using Glyph = std::function<void(cairo_t*)>;

// Glyphs are drawn on a 29-point square at twice the scale.
bool writeImage(const std::filesystem::path& path, const Glyph& glyph)
{
    constexpr int pixels = 58;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixels, pixels);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, 2, 2);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    glyph(cr);
    cairo_destroy(cr);
    bool isWritten = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return isWritten;
}

void circle(cairo_t* cr, double x, double y, double radius)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
}

void roundedSquare(cairo_t* cr, double x, double y, double size, double radius)
{
    addRoundedRectangle(cr, x, y, size, size, radius);
}

void heart(cairo_t* cr)
{
    cairo_move_to(cr, 14.5, 24);
    cairo_curve_to(cr, 2, 15, 4, 5, 10, 6);
    cairo_curve_to(cr, 12.5, 6.5, 14, 8.5, 14.5, 10);
    cairo_curve_to(cr, 15, 8.5, 16.5, 6.5, 19, 6);
    cairo_curve_to(cr, 25, 5, 27, 15, 14.5, 24);
    cairo_fill(cr);
}

void menuLines(cairo_t* cr, double left, double right)
{
    for (double y : { 10.0, 14.5, 19.0 }) {
        cairo_move_to(cr, left, y);
        cairo_line_to(cr, right, y);
    }
    cairo_stroke(cr);
}

void appIcon(cairo_t* cr)
{
    roundedSquare(cr, 0.5, 0.5, 28, 6.5);
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, 29);
    cairo_pattern_add_color_stop_rgb(gradient, 0, 0.95, 0.42, 0.33);
    cairo_pattern_add_color_stop_rgb(gradient, 1, 228 / 255.0, 66 / 255.0, 53 / 255.0);
    cairo_set_source(cr, gradient);
    cairo_fill(cr);
    cairo_pattern_destroy(gradient);
    cairo_set_source_rgb(cr, 1, 1, 1);
    roundedSquare(cr, 6, 6, 17, 3);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 228 / 255.0, 66 / 255.0, 53 / 255.0);
    cairo_set_line_width(cr, 1.6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    menuLines(cr, 9, 20);
}

void power(cairo_t* cr)
{
    cairo_arc(cr, 14.5, 15.5, 8, -M_PI / 2 + 0.7, 3 * M_PI / 2 - 0.7);
    cairo_move_to(cr, 14.5, 5);
    cairo_line_to(cr, 14.5, 14);
    cairo_stroke(cr);
}

void gear(cairo_t* cr)
{
    for (int tooth = 0; tooth < 8; ++tooth) {
        double angle = tooth * M_PI / 4;
        cairo_move_to(cr, 14.5 + 7 * std::cos(angle), 14.5 + 7 * std::sin(angle));
        cairo_line_to(cr, 14.5 + 11 * std::cos(angle), 14.5 + 11 * std::sin(angle));
    }
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 2);
    circle(cr, 14.5, 14.5, 7);
    cairo_stroke(cr);
    circle(cr, 14.5, 14.5, 2.5);
    cairo_fill(cr);
}

void palette(cairo_t* cr)
{
    circle(cr, 14.5, 14.5, 10.5);
    cairo_stroke(cr);
    for (double angle : { 3.6, 4.6, 5.6, 0.4 })
        circle(cr, 14.5 + 6 * std::cos(angle), 14.5 + 6 * std::sin(angle), 1.8), cairo_fill(cr);
}

void drop(cairo_t* cr)
{
    cairo_move_to(cr, 14.5, 4);
    cairo_curve_to(cr, 9, 12, 7, 15, 7, 18);
    cairo_curve_to(cr, 7, 22.5, 10.5, 25.5, 14.5, 25.5);
    cairo_curve_to(cr, 18.5, 25.5, 22, 22.5, 22, 18);
    cairo_curve_to(cr, 22, 15, 20, 12, 14.5, 4);
    cairo_fill(cr);
}

void brush(cairo_t* cr)
{
    cairo_move_to(cr, 23, 5);
    cairo_line_to(cr, 12.5, 16.5);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_move_to(cr, 11, 17);
    cairo_curve_to(cr, 6, 17, 6, 22, 4.5, 24.5);
    cairo_curve_to(cr, 9, 24.5, 13.5, 23, 13, 19);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void letters(cairo_t* cr)
{
    cairo_select_font_face(cr, "DejaVu Serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 17);
    cairo_move_to(cr, 3.5, 21.5);
    cairo_show_text(cr, "Aa");
}

void star(cairo_t* cr)
{
    for (int point = 0; point < 10; ++point) {
        double radius = point % 2 ? 4.5 : 10.5, angle = -M_PI / 2 + point * M_PI / 5;
        double x = 14.5 + radius * std::cos(angle), y = 15 + radius * std::sin(angle);
        point ? cairo_line_to(cr, x, y) : cairo_move_to(cr, x, y);
    }
    cairo_close_path(cr);
    cairo_fill(cr);
}

void border(cairo_t* cr)
{
    roundedSquare(cr, 5, 5, 19, 4);
    cairo_stroke(cr);
}

void borderColor(cairo_t* cr)
{
    border(cr);
    circle(cr, 14.5, 14.5, 4.5);
    cairo_fill(cr);
}

void background(cairo_t* cr)
{
    roundedSquare(cr, 5, 5, 19, 4);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    menuLines(cr, 9, 20);
}

void eyeOutline(cairo_t* cr)
{
    cairo_move_to(cr, 3, 14.5);
    cairo_curve_to(cr, 8, 6.5, 21, 6.5, 26, 14.5);
    cairo_curve_to(cr, 21, 22.5, 8, 22.5, 3, 14.5);
    cairo_close_path(cr);
    cairo_stroke(cr);
    circle(cr, 14.5, 14.5, 3.5);
    cairo_fill(cr);
}

void hideBlur(cairo_t* cr)
{
    eyeOutline(cr);
    cairo_move_to(cr, 5, 24);
    cairo_line_to(cr, 24, 5);
    cairo_stroke(cr);
}

void blur(cairo_t* cr)
{
    for (double radius : { 3.0, 6.5, 10.0 }) {
        cairo_set_source_rgba(cr, 0, 0, 0, 1.2 - radius / 10);
        circle(cr, 14.5, 14.5, radius);
        cairo_stroke(cr);
    }
}

void respring(cairo_t* cr)
{
    cairo_arc(cr, 14.5, 14.5, 9, -M_PI / 2 + 0.5, 3 * M_PI / 2 - 0.1);
    cairo_stroke(cr);
    cairo_move_to(cr, 14, 2);
    cairo_line_to(cr, 19, 5.5);
    cairo_line_to(cr, 14, 9);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void about(cairo_t* cr)
{
    circle(cr, 14.5, 14.5, 10.5);
    cairo_stroke(cr);
    circle(cr, 14.5, 9, 1.6);
    cairo_fill(cr);
    cairo_move_to(cr, 14.5, 13);
    cairo_line_to(cr, 14.5, 20.5);
    cairo_stroke(cr);
}

void opacity(cairo_t* cr)
{
    circle(cr, 14.5, 14.5, 10);
    cairo_stroke(cr);
    cairo_arc(cr, 14.5, 14.5, 10, M_PI / 2, 3 * M_PI / 2);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void globe(cairo_t* cr)
{
    circle(cr, 14.5, 14.5, 10.5);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, 14.5, 14.5);
    cairo_scale(cr, 0.45, 1);
    cairo_arc(cr, 0, 0, 10.5, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_stroke(cr);
    cairo_move_to(cr, 4, 14.5);
    cairo_line_to(cr, 25, 14.5);
    cairo_stroke(cr);
}

void bird(cairo_t* cr)
{
    cairo_move_to(cr, 4, 20);
    cairo_curve_to(cr, 9, 22, 16, 21, 20, 15);
    cairo_curve_to(cr, 22, 12, 23, 9, 24, 7);
    cairo_curve_to(cr, 21, 6, 18, 6, 16, 9);
    cairo_curve_to(cr, 12, 9, 8, 8, 5, 5);
    cairo_curve_to(cr, 4, 9, 6, 12, 9, 13);
    cairo_curve_to(cr, 7, 13, 6, 13, 5, 12.5);
    cairo_curve_to(cr, 6, 16, 9, 17, 11, 17);
    cairo_curve_to(cr, 9, 19, 6, 20, 4, 20);
    cairo_fill(cr);
}

void envelope(cairo_t* cr)
{
    cairo_rectangle(cr, 4, 7.5, 21, 14);
    cairo_stroke(cr);
    cairo_move_to(cr, 4.5, 8);
    cairo_line_to(cr, 14.5, 16);
    cairo_line_to(cr, 24.5, 8);
    cairo_stroke(cr);
}

void reset(cairo_t* cr)
{
    // The respring arrow mirrored: the same near-full circle, turning the other way.
    cairo_arc_negative(cr, 14.5, 14.5, 9, -M_PI / 2 - 0.5, -5 * M_PI / 2 + 0.1);
    cairo_stroke(cr);
    cairo_move_to(cr, 15, 2);
    cairo_line_to(cr, 10, 5.5);
    cairo_line_to(cr, 15, 9);
    cairo_close_path(cr);
    cairo_fill(cr);
}

}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-settings-images FOLDER\n");
        return 2;
    }
    std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::pair<const char*, Glyph> images[] = {
        { "MenutoneSettingsIcon.png", appIcon },
        { "love.png", heart },
        { "killswitch.png", power },
        { "configuration.png", gear },
        { "preset.png", palette },
        { "presetColor.png", drop },
        { "color.png", brush },
        { "font.png", letters },
        { "iconColor.png", star },
        { "border.png", border },
        { "borderColor.png", borderColor },
        { "bgColor.png", background },
        { "hideBlur.png", hideBlur },
        { "blur.png", blur },
        { "respring.png", respring },
        { "about.png", about },
        { "opacity.png", opacity },
        { "website.png", globe },
        { "follow.png", bird },
        { "mail.png", envelope },
        { "reset.png", reset },
    };
    for (auto& [name, glyph] : images) {
        if (!writeImage(folder / name, glyph)) {
            std::fprintf(stderr, "make-settings-images: cannot write %s\n", (folder / name).c_str());
            return 1;
        }
    }
    return 0;
}
