// Draws a Settings screen as the device shows it, with cairo and pango: the
// bar with its title image and buttons, the grouped table with its icons,
// accessories and dimmed rows, and an alert or sheet above it. The picture
// grows downwards to hold every row.

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include <uikit/NSStringDrawing.h>
#include <uikit/UIFont.h>
#include <uikit/UIGraphics.h>

#include "ScreenSnapshot.h"

namespace {

constexpr double screenWidth = 375;
constexpr double barBottom = 64;
constexpr double inset = 15;

struct RGBA {
    double r, g, b, a;
};

RGBA rgba(const UIColor* color, RGBA fallback)
{
    CGFloat r, g, b, a;
    if (!color || !color->getRed(&r, &g, &b, &a))
        return fallback;
    return { r, g, b, a };
}

constexpr RGBA systemBlue { 0, 122 / 255.0, 1, 1 };
constexpr RGBA systemGreen { 76 / 255.0, 217 / 255.0, 100 / 255.0, 1 };
constexpr RGBA sectionGrey { 109 / 255.0, 109 / 255.0, 114 / 255.0, 1 };
constexpr RGBA black { 0, 0, 0, 1 };

void setSource(cairo_t* cr, RGBA color, double alpha = 1)
{
    cairo_set_source_rgba(cr, color.r, color.g, color.b, color.a * alpha);
}

enum class Weight { Regular, Bold };

// Lays out text in a box; answers the height it took.
double drawText(cairo_t* cr, const std::string& text, double x, double y, double width, double size, RGBA color, NSTextAlignment alignment,
    Weight weight = Weight::Regular, double alpha = 1, bool isWrapped = false, const UIFont* ownFont = nullptr)
{
    if (text.empty())
        return 0;
    Ref<UIFont> font = ownFont   ? Ref<UIFont>(*const_cast<UIFont*>(ownFont))
        : weight == Weight::Bold ? UIFont::boldSystemFontOfSize(size)
                                 : UIFont::systemFontOfSize(size);
    std::unique_ptr<PangoFontDescription, decltype(&pango_font_description_free)> description(
        createPangoFontDescription(font.ptr()), &pango_font_description_free);
    std::unique_ptr<PangoLayout, decltype(&g_object_unref)> layout(pango_cairo_create_layout(cr), &g_object_unref);
    pango_layout_set_font_description(layout.get(), description.get());
    pango_layout_set_text(layout.get(), text.c_str(), -1);
    pango_layout_set_width(layout.get(), static_cast<int>(width * PANGO_SCALE));
    if (!isWrapped)
        pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
    pango_layout_set_alignment(layout.get(),
        alignment == NSTextAlignment::Center      ? PANGO_ALIGN_CENTER
            : alignment == NSTextAlignment::Right ? PANGO_ALIGN_RIGHT
                                                  : PANGO_ALIGN_LEFT);
    PangoRectangle logical;
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    setSource(cr, color, alpha);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout.get());
    return static_cast<double>(logical.height) / PANGO_SCALE;
}

void drawImage(cairo_t* cr, const ImageSnapshot& image, double x, double y, double width, double height, RGBA tint, double alpha)
{
    cairo_surface_t* surface = image.image ? image.image->surface() : nullptr;
    if (!surface)
        return;
    double pixelWidth = cairo_image_surface_get_width(surface), pixelHeight = cairo_image_surface_get_height(surface);
    if (pixelWidth <= 0 || pixelHeight <= 0)
        return;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, width / pixelWidth, height / pixelHeight);
    if (image.isTemplate) {
        // A template keeps only its shape, filled with the tint.
        setSource(cr, tint, alpha);
        cairo_mask_surface(cr, surface, 0, 0);
    } else {
        cairo_set_source_surface(cr, surface, 0, 0);
        cairo_paint_with_alpha(cr, alpha);
    }
    cairo_restore(cr);
}

// Draws an accessory right-aligned at the edge; answers its width.
double drawAccessory(cairo_t* cr, const AccessorySnapshot& accessory, double right, double middle, RGBA tint, double alpha)
{
    switch (accessory.kind) {
    case AccessorySnapshot::Kind::Switch: {
        double x = right - 51, y = middle - 15.5;
        addRoundedRectangle(cr, x, y, 51, 31, 15.5);
        if (accessory.isOn) {
            setSource(cr, rgba(accessory.color.get(), systemGreen), alpha);
            cairo_fill(cr);
        } else {
            cairo_set_source_rgba(cr, 0.9, 0.9, 0.92, alpha);
            cairo_set_line_width(cr, 1.5);
            cairo_stroke(cr);
        }
        cairo_set_source_rgba(cr, 1, 1, 1, alpha);
        cairo_arc(cr, accessory.isOn ? x + 35.5 : x + 15.5, middle, 13.5, 0, 2 * M_PI);
        cairo_fill_preserve(cr);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.15 * alpha);
        cairo_set_line_width(cr, 0.5);
        cairo_stroke(cr);
        return 51;
    }
    case AccessorySnapshot::Kind::Swatch:
        cairo_arc(cr, right - 10, middle, 10, 0, 2 * M_PI);
        if (accessory.color) {
            setSource(cr, rgba(accessory.color.get(), black), alpha);
            cairo_fill(cr);
        } else {
            cairo_set_source_rgba(cr, 0.8, 0.8, 0.8, alpha);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
        }
        return 20;
    case AccessorySnapshot::Kind::Label: {
        double width = std::max(accessory.width, 1.0);
        drawText(cr, accessory.text, right - width, middle - 10, width, 17, rgba(accessory.color.get(), { 0.67, 0.67, 0.67, 1 }), NSTextAlignment::Right,
            Weight::Regular, alpha);
        return width;
    }
    case AccessorySnapshot::Kind::Checkmark:
        setSource(cr, tint, alpha);
        cairo_set_line_width(cr, 2);
        cairo_move_to(cr, right - 14, middle);
        cairo_line_to(cr, right - 9, middle + 5);
        cairo_line_to(cr, right, middle - 6);
        cairo_stroke(cr);
        return 14;
    case AccessorySnapshot::Kind::Disclosure:
        cairo_set_source_rgba(cr, 0.78, 0.78, 0.8, alpha);
        cairo_set_line_width(cr, 2);
        cairo_move_to(cr, right - 8, middle - 6.5);
        cairo_line_to(cr, right - 1.5, middle);
        cairo_line_to(cr, right - 8, middle + 6.5);
        cairo_stroke(cr);
        return 8;
    case AccessorySnapshot::Kind::Segments: {
        double count = static_cast<double>(std::max<std::size_t>(accessory.segments.size(), 1));
        double width = std::min(right - 60, 100 * count), x = right - width, segment = width / count;
        RGBA color = rgba(accessory.color.get(), tint);
        addRoundedRectangle(cr, x, middle - 14.5, width, 29, 4);
        setSource(cr, color, alpha);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        for (std::size_t i = 0; i < accessory.segments.size(); ++i) {
            double left = x + segment * static_cast<double>(i);
            bool isSelected = static_cast<long>(i) == accessory.selectedSegment;
            if (isSelected) {
                cairo_rectangle(cr, left, middle - 14.5, segment, 29);
                setSource(cr, color, alpha);
                cairo_fill(cr);
            }
            drawText(cr, accessory.segments[i], left, middle - 8, segment, 12, isSelected ? RGBA { 1, 1, 1, 1 } : color, NSTextAlignment::Center,
                Weight::Regular, alpha);
        }
        return width;
    }
    case AccessorySnapshot::Kind::None:
    case AccessorySnapshot::Kind::View:
        break;
    }
    return 0;
}

double sectionHeight(const SectionSnapshot& section)
{
    double height = section.header || section.headerControl ? 55 : 35;
    for (auto& row : section.rows)
        height += row.height;
    return height + (section.footer ? 50 : 0);
}

void drawBar(cairo_t* cr, const ScreenSnapshot& screen, RGBA barTint)
{
    cairo_set_source_rgb(cr, 0.97, 0.97, 0.97);
    cairo_rectangle(cr, 0, 0, screenWidth, barBottom);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.7, 0.7, 0.7);
    cairo_rectangle(cr, 0, barBottom - 0.5, screenWidth, 0.5);
    cairo_fill(cr);
    drawText(cr, "9:41", 0, 3, screenWidth, 12, black, NSTextAlignment::Center, Weight::Bold);

    double middle = 42;
    if (screen.titleImage)
        drawImage(cr, *screen.titleImage, screenWidth / 2 - 15, middle - 15, 30, 30, barTint, 1);
    else
        drawText(cr, screen.title, 90, middle - 11, screenWidth - 180, 17, black, NSTextAlignment::Center, Weight::Bold);

    if (screen.depth > 0 && !screen.leftBarButton) {
        setSource(cr, barTint);
        cairo_set_line_width(cr, 2.5);
        cairo_move_to(cr, 17, middle - 10);
        cairo_line_to(cr, 9, middle);
        cairo_line_to(cr, 17, middle + 10);
        cairo_stroke(cr);
        drawText(cr, "Back", 24, middle - 11, 80, 17, barTint, NSTextAlignment::Left);
    }
    auto drawButton = [&](const BarButtonSnapshot& button, bool isRight) {
        RGBA tint = rgba(button.tint.get(), barTint);
        double edge = isRight ? screenWidth - 10 : 10;
        if (button.customView) {
            drawAccessory(cr, *button.customView, isRight ? edge : edge + button.customView->width, middle, tint, 1);
        } else if (button.image) {
            drawImage(cr, *button.image, isRight ? edge - 24 : edge, middle - 12, 24, 24, tint, 1);
        } else
            drawText(cr, button.title, isRight ? edge - 100 : edge, middle - 11, 100, 17, tint, isRight ? NSTextAlignment::Right : NSTextAlignment::Left);
    };
    if (screen.leftBarButton)
        drawButton(*screen.leftBarButton, false);
    if (screen.rightBarButton)
        drawButton(*screen.rightBarButton, true);
}

void drawSections(cairo_t* cr, const ScreenSnapshot& screen, RGBA tint)
{
    double y = barBottom;
    for (auto& section : screen.sections) {
        y += 20;
        if (section.headerControl) {
            drawAccessory(cr, *section.headerControl, screenWidth - inset, y + 10, tint, 1);
            y += 35;
        } else if (section.header) {
            std::string upper = *section.header;
            std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
            drawText(cr, upper, inset, y + 12, screenWidth - 2 * inset, 13, sectionGrey, section.headerAlignment);
            y += 35;
        } else
            y += 15;
        for (std::size_t i = 0; i < section.rows.size(); ++i) {
            auto& row = section.rows[i];
            cairo_set_source_rgb(cr, row.isHighlighted ? 0.85 : 1, row.isHighlighted ? 0.85 : 1, row.isHighlighted ? 0.85 : 1);
            cairo_rectangle(cr, 0, y, screenWidth, row.height);
            cairo_fill(cr);
            double middle = y + row.height / 2, textX = inset;
            if (row.image) {
                drawImage(cr, *row.image, inset, middle - 14.5, 29, 29, tint, row.alpha);
                textX = inset + 29 + 15;
            }
            double accessoryWidth = drawAccessory(cr, row.accessory, screenWidth - inset, middle, tint, row.alpha);
            drawText(cr, row.text, textX, middle - 11, screenWidth - textX - inset - accessoryWidth - 8, 17, black, NSTextAlignment::Left, Weight::Regular,
                row.alpha, false, row.font.get());
            if (i + 1 < section.rows.size()) {
                cairo_set_source_rgb(cr, 0.78, 0.78, 0.8);
                cairo_rectangle(cr, textX, y + row.height - 0.5, screenWidth - textX, 0.5);
                cairo_fill(cr);
            }
            y += row.height;
        }
        if (section.footer) {
            drawText(cr, *section.footer, inset, y + 7, screenWidth - 2 * inset, 13, sectionGrey, section.footerAlignment, Weight::Regular, 1, true);
            y += 50;
        }
    }
}

void drawAlert(cairo_t* cr, const AlertSnapshot& alert, double height, RGBA tint)
{
    cairo_set_source_rgba(cr, 0, 0, 0, 0.4);
    cairo_paint(cr);
    double width = 270, x = (screenWidth - width) / 2, y = std::min(height, 667.0) / 2 - 70;
    addRoundedRectangle(cr, x, y, width, 140, 13);
    cairo_set_source_rgba(cr, 0.97, 0.97, 0.97, 0.98);
    cairo_fill(cr);
    drawText(cr, alert.title, x + 16, y + 20, width - 32, 17, black, NSTextAlignment::Center, Weight::Bold);
    drawText(cr, alert.message, x + 16, y + 45, width - 32, 13, black, NSTextAlignment::Center, Weight::Regular, 1, true);
    double buttonTop = y + 96, buttonWidth = width / static_cast<double>(std::max<std::size_t>(alert.buttons.size(), 1));
    cairo_set_source_rgb(cr, 0.8, 0.8, 0.8);
    cairo_rectangle(cr, x, buttonTop, width, 0.5);
    cairo_fill(cr);
    for (std::size_t i = 0; i < alert.buttons.size(); ++i) {
        bool isCancel = static_cast<long>(i) == alert.cancelButtonIndex;
        drawText(cr, alert.buttons[i], x + buttonWidth * static_cast<double>(i), buttonTop + 11, buttonWidth, 17, tint, NSTextAlignment::Center,
            isCancel ? Weight::Bold : Weight::Regular);
    }
}

void drawSheet(cairo_t* cr, const SheetSnapshot& sheet, double height)
{
    cairo_set_source_rgba(cr, 0, 0, 0, 0.4);
    cairo_paint(cr);
    double x = 20, y = std::min(height, 667.0) / 2 - 110, width = screenWidth - 40;
    addRoundedRectangle(cr, x, y, width, 220, 10);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    drawText(cr, sheet.kind, x + 12, y + 12, width - 24, 15, black, NSTextAlignment::Center, Weight::Bold);
    double line = y + 44;
    for (auto& [field, value] : sheet.fields)
        line += drawText(cr, field + ": " + value, x + 12, line, width - 24, 14, black, NSTextAlignment::Left, Weight::Regular, 1, true) + 6;
}

}

bool writeScreenPicture(const ScreenSnapshot& screen, const std::string& hostPath)
{
    double height = barBottom + 30;
    for (auto& section : screen.sections)
        height += sectionHeight(section);
    height = std::max(height, 667.0);
    double scale = UIScreen::mainScreen().scale();
    cairo_surface_t* surface
        = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(std::ceil(screenWidth * scale)), static_cast<int>(std::ceil(height * scale)));
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    cairo_set_source_rgb(cr, 239 / 255.0, 239 / 255.0, 244 / 255.0);
    cairo_paint(cr);

    RGBA barTint = rgba(screen.barTint.get(), systemBlue);
    RGBA viewTint = rgba(screen.viewTint.get(), systemBlue);
    drawSections(cr, screen, viewTint);
    drawBar(cr, screen, barTint);
    if (screen.sheet)
        drawSheet(cr, *screen.sheet, height);
    if (screen.alert)
        drawAlert(cr, *screen.alert, height, viewTint);

    cairo_destroy(cr);
    bool isWritten = cairo_surface_write_to_png(surface, hostPath.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return isWritten;
}
