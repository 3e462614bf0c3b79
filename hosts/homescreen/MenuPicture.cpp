// Draws a shortcut menu as SpringBoard shows it, with cairo and pango.

#include <cairo.h>
#include <pango/pangocairo.h>

#include <uikit/TextLayout.h>
#include <uikit/UIGraphics.h>
#include <uikit/ViewDrawing.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include <springboard/SBWallpaper.h>
#include <uikit/UIFont.h>

#include "SpringBoard.h"
#include "Wallpaper.h"

namespace {

constexpr double iconSize = 60;

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

Surface makeSurface(int width, int height)
{
    return Surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height), &cairo_surface_destroy);
}

void setColor(cairo_t* cr, const UIColor& color, double extraAlpha = 1)
{
    CGFloat r = 0, g = 0, b = 0, a = 1;
    if (!color.getRed(&r, &g, &b, &a)) {
        r = g = b = 0;
        a = color.alpha();
    }
    cairo_set_source_rgba(cr, r, g, b, a * extraAlpha);
}

void drawText(cairo_t* cr, const UILabel& label, double originX, double originY)
{
    if (label.text().empty())
        return;
    Ref<UIFont> font = label.font() ? Ref<UIFont>(*label.font()) : UIFont::systemFontOfSize(17);
    std::unique_ptr<PangoFontDescription, decltype(&pango_font_description_free)> description(
        createPangoFontDescription(font.ptr()), &pango_font_description_free);

    std::unique_ptr<PangoLayout, decltype(&g_object_unref)> layout(pango_cairo_create_layout(cr), &g_object_unref);
    pango_layout_set_font_description(layout.get(), description.get());
    pango_layout_set_text(layout.get(), label.text().c_str(), -1);
    pango_layout_set_width(layout.get(), static_cast<int>(label.frame().size.width * PANGO_SCALE));
    pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
    if (label.textColor())
        setColor(cr, *label.textColor());
    else
        cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, originX + label.frame().origin.x, originY + label.frame().origin.y);
    pango_cairo_show_layout(cr, layout.get());
}

// Template images are drawn as a mask in the tint colour; others in their own colours.
void drawImage(cairo_t* cr, const UIImage& image, const UIColor* tint, double x, double y, double width, double height)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    CGSize size = image.size();
    if (size.width > 0 && size.height > 0)
        cairo_scale(cr, width / size.width / image.scale(), height / size.height / image.scale());
    if (image.renderingMode() == UIImageRenderingMode::AlwaysTemplate) {
        if (tint)
            setColor(cr, *tint);
        else
            cairo_set_source_rgb(cr, 0, 0.478, 1); // the default tint
        cairo_mask_surface(cr, image.surface(), 0, 0);
    } else {
        cairo_set_source_surface(cr, image.surface(), 0, 0);
        cairo_paint(cr);
    }
    cairo_restore(cr);
}

void drawMenu(cairo_t* cr, const SBApplicationShortcutMenu& menu, double menuX, double menuY, double menuHeight)
{
    // The plate: its background colour, or the host's light material without one, and its border.
    if (auto* plate = menu.backgroundView()) {
        double radius = plate->layer()->cornerRadius();
        addRoundedRectangle(cr, menuX, menuY, menuWidth, menuHeight, radius);
        if (plate->backgroundColor())
            setColor(cr, *plate->backgroundColor());
        else
            cairo_set_source_rgba(cr, 0.97, 0.97, 0.97, 0.82);
        cairo_fill(cr);
        CGColorRef border = plate->layer()->borderColor();
        if (plate->layer()->borderWidth() > 0 && border) {
            double inset = plate->layer()->borderWidth() / 2;
            addRoundedRectangle(cr, menuX + inset, menuY + inset, menuWidth - 2 * inset, menuHeight - 2 * inset, radius);
            setColor(cr, UIColor::colorWithCGColor(*border).get());
            cairo_set_line_width(cr, plate->layer()->borderWidth());
            cairo_stroke(cr);
        }
    }

    for (std::size_t i = 0; i < menu.itemViews().size(); ++i) {
        auto& item = menu.itemViews()[i].get();
        double x = menuX + item.frame().origin.x, y = menuY + item.frame().origin.y;
        if (i > 0) {
            cairo_set_source_rgba(cr, 0, 0, 0, 0.12);
            cairo_rectangle(cr, x, y, menuWidth, 0.5);
            cairo_fill(cr);
        }
        if (item.titleLabel())
            drawText(cr, *item.titleLabel(), x, y);
        if (item.subtitleLabel())
            drawText(cr, *item.subtitleLabel(), x, y);
        if (auto* icon = item.iconView(); icon && icon->image()) {
            CGRect frame = icon->frame();
            drawImage(cr, *icon->image(), icon->tintColor(), x + frame.origin.x, y + frame.origin.y, frame.size.width, frame.size.height);
        }
    }
}

}

MenuPicture renderMenuPicture(const SBApplicationShortcutMenu& menu)
{
    // The phone's screen, at its scale; taller if the menu needs it.
    CGSize screen = UIScreen::mainScreen().bounds().size;
    double deviceScale = UIScreen::mainScreen().scale();
    double canvasWidth = screen.width;
    double menuHeight = menu.frame().size.height;
    double menuX = (canvasWidth - menuWidth) / 2, menuY = 60;
    double canvasHeight = std::max(screen.height, menuY + menuHeight + 16 + iconSize + 60);
    int pixelWidth = static_cast<int>(canvasWidth * deviceScale), pixelHeight = static_cast<int>(canvasHeight * deviceScale);

    // The home screen behind the menu, blurred and tinted as far as the press has gone.
    Surface background = makeSurface(pixelWidth, pixelHeight);
    {
        Context cr(cairo_create(background.get()), &cairo_destroy);
        cairo_scale(cr.get(), deviceScale, deviceScale);
        drawHomeBackground(cr.get(), canvasWidth, canvasHeight);
        drawIconPlaceholders(cr.get());
    }
    auto* settings = objc_dynamicCast<_UIBackdropViewSettings>(menu.blurSettings());
    double fraction = std::clamp(menu.lastBlurFraction(), 0.0, 1.0);
    if (settings)
        viewdrawing::boxBlur(background.get(), static_cast<int>(std::lround(settings->blurRadius() * fraction * deviceScale / 3)));

    Surface canvas = makeSurface(pixelWidth, pixelHeight);
    Context cr(cairo_create(canvas.get()), &cairo_destroy);
    cairo_set_source_surface(cr.get(), background.get(), 0, 0);
    cairo_paint(cr.get());
    cairo_scale(cr.get(), deviceScale, deviceScale);
    if (settings && settings->colorTint()) {
        setColor(cr.get(), *settings->colorTint(), settings->colorTintAlpha() * fraction);
        cairo_paint(cr.get());
    }

    // The menu grows out of the icon below it once the press passes the commit threshold.
    double iconX = (canvasWidth - iconSize) / 2, iconY = menuY + menuHeight + 16;
    double growth = menuGrowth(menu.contentFractions().empty() ? 0 : menu.contentFractions().back());
    if (growth > 0) {
        cairo_save(cr.get());
        CGPoint menuCentre { menuX + menuWidth / 2, menuY + menuHeight / 2 };
        concatTransformAboutPoint(cr.get(), menuGrowthTransform(growth, menuCentre, { iconX + iconSize / 2, iconY + iconSize / 2 }), menuCentre);
        cairo_push_group(cr.get());
        drawMenu(cr.get(), menu, menuX, menuY, menuHeight);
        cairo_pop_group_to_source(cr.get());
        cairo_paint_with_alpha(cr.get(), growth);
        cairo_restore(cr.get());
    }

    // The pressed icon below its menu.
    if (auto* application = menu.application(); application && application->icon()) {
        cairo_save(cr.get());
        addRoundedRectangle(cr.get(), iconX, iconY, iconSize, iconSize, 13);
        cairo_clip(cr.get());
        drawImage(cr.get(), *application->icon(), nullptr, iconX, iconY, iconSize, iconSize);
        cairo_restore(cr.get());
    }
    cairo_surface_flush(canvas.get());
    return { UIImage::imageWithSurface(canvas.get(), deviceScale), CGRectMake(menuX, menuY, menuWidth, menuHeight) };
}

bool writeMenuPicture(const SBApplicationShortcutMenu& menu, const std::filesystem::path& hostPath)
{
    return renderMenuPicture(menu).image->writePNGToHostFile(hostPath);
}
