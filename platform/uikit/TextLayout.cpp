// The text engine: layouts measured and drawn with pango.

#include "TextLayout.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include "UIColor.h"
#include "UIFont.h"

namespace {

using LayoutPointer = std::unique_ptr<PangoLayout, decltype(&g_object_unref)>;

// Unhinted metrics, so that text measured for layout takes the same room
// when drawn at any scale.
void useUnhintedMetrics(PangoContext* context)
{
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
}

void setUpLayout(PangoLayout* layout, std::string_view text, const NSStringAttributes& attributes)
{
    PangoFontDescription* description = createPangoFontDescription(attributes.font);
    pango_layout_set_font_description(layout, description);
    pango_font_description_free(description);
    pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
}

// A layout of the thread's own: pango's default font map is not safe across threads.
LayoutPointer measuringLayout(std::string_view text, const NSStringAttributes& attributes)
{
    thread_local PangoFontMap* fontMap = pango_cairo_font_map_new();
    thread_local PangoContext* context = [] {
        PangoContext* made = pango_font_map_create_context(fontMap);
        useUnhintedMetrics(made);
        return made;
    }();
    LayoutPointer layout(pango_layout_new(context), &g_object_unref);
    setUpLayout(layout.get(), text, attributes);
    return layout;
}

CGSize logicalSize(PangoLayout* layout)
{
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    // UIKit answers fractional sizes; callers round up when they lay out.
    return { static_cast<CGFloat>(logical.width) / PANGO_SCALE, static_cast<CGFloat>(logical.height) / PANGO_SCALE };
}

}

PangoFontDescription* createPangoFontDescription(const UIFont* font)
{
    Ref<UIFont> resolved = font ? Ref<UIFont>(*const_cast<UIFont*>(font)) : UIFont::systemFontOfSize(12);
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, resolved->familyName().c_str());
    // fontconfig's weights and slants, in pango's terms (OpenType weights).
    pango_font_description_set_weight(description, static_cast<PangoWeight>(FcWeightToOpenType(resolved->weight())));
    pango_font_description_set_style(description,
        resolved->slant() == 100       ? PANGO_STYLE_ITALIC
            : resolved->slant() == 110 ? PANGO_STYLE_OBLIQUE
                                       : PANGO_STYLE_NORMAL);
    if (resolved->styleName().find("Condensed") != std::string::npos)
        pango_font_description_set_stretch(description, PANGO_STRETCH_CONDENSED);
    pango_font_description_set_absolute_size(description, resolved->pointSize() * PANGO_SCALE);
    return description;
}

namespace {

CGSize size(std::string_view text, const NSStringAttributes& attributes)
{
    if (text.empty())
        return {};
    return logicalSize(measuringLayout(text, attributes).get());
}

CGSize wrappedSize(std::string_view text, const NSStringAttributes& attributes, CGFloat wrapWidth)
{
    if (text.empty())
        return {};
    auto layout = measuringLayout(text, attributes);
    pango_layout_set_width(layout.get(), static_cast<int>(std::max(wrapWidth, 1.0) * PANGO_SCALE));
    pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    return logicalSize(layout.get());
}

void draw(cairo_t* cr, std::string_view text, CGRect rect, const NSStringAttributes& attributes, const UIColor* color, NSTextAlignment alignment,
    NSLineBreakMode mode)
{
    if (text.empty() || rect.size.width <= 0)
        return;
    LayoutPointer layout(pango_cairo_create_layout(cr), &g_object_unref);
    useUnhintedMetrics(pango_layout_get_context(layout.get()));
    pango_layout_context_changed(layout.get());
    setUpLayout(layout.get(), text, attributes);
    pango_layout_set_width(layout.get(), static_cast<int>(rect.size.width * PANGO_SCALE));
    if (mode == NSLineBreakMode::ByTruncatingTail) {
        pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
        pango_layout_set_single_paragraph_mode(layout.get(), true);
    } else
        pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    pango_layout_set_alignment(layout.get(),
        alignment == NSTextAlignment::Center      ? PANGO_ALIGN_CENTER
            : alignment == NSTextAlignment::Right ? PANGO_ALIGN_RIGHT
                                                  : PANGO_ALIGN_LEFT);
    CGSize size = logicalSize(layout.get());
    CGFloat r = 0, g = 0, b = 0, a = 1;
    if (color && !color->getRed(&r, &g, &b, &a))
        r = g = b = 0, a = 1;
    cairo_set_source_rgba(cr, r, g, b, a);
    cairo_move_to(cr, rect.origin.x, rect.origin.y + std::max(0.0, (rect.size.height - size.height) / 2));
    pango_cairo_show_layout(cr, layout.get());
}

}

const uikit::TextEngine* menutoneTextEngine()
{
    static const uikit::TextEngine engine { size, wrappedSize, draw };
    return &engine;
}
