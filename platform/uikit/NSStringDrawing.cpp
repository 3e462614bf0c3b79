#include "NSStringDrawing.h"

#include <cmath>

#include <pango/pangocairo.h>

#include "UIFont.h"

PangoFontDescription* createPangoFontDescription(const UIFont* font)
{
    Ref<UIFont> resolved = font ? Ref<UIFont>(*const_cast<UIFont*>(font)) : UIFont::systemFontOfSize(12);
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, resolved->familyName().c_str());
    // fontconfig's weights and slants, in pango's terms.
    pango_font_description_set_weight(description,
        resolved->weight() >= 200      ? PANGO_WEIGHT_BOLD
            : resolved->weight() <= 50 ? PANGO_WEIGHT_LIGHT
                                       : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(description,
        resolved->slant() == 100       ? PANGO_STYLE_ITALIC
            : resolved->slant() == 110 ? PANGO_STYLE_OBLIQUE
                                       : PANGO_STYLE_NORMAL);
    if (resolved->styleName().find("Condensed") != std::string::npos)
        pango_font_description_set_stretch(description, PANGO_STRETCH_CONDENSED);
    pango_font_description_set_absolute_size(description, resolved->pointSize() * PANGO_SCALE);
    return description;
}

CGSize sizeWithAttributes(std::string_view text, const NSStringAttributes& attributes)
{
    if (text.empty())
        return {};
    // A font map of its own: pango's default one is not safe across threads.
    thread_local PangoFontMap* fontMap = pango_cairo_font_map_new();
    thread_local PangoContext* context = pango_font_map_create_context(fontMap);
    PangoLayout* layout = pango_layout_new(context);
    PangoFontDescription* description = createPangoFontDescription(attributes.font);
    pango_layout_set_font_description(layout, description);
    pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    pango_font_description_free(description);
    g_object_unref(layout);
    // UIKit answers fractional sizes; callers round up when they lay out.
    return { static_cast<CGFloat>(logical.width) / PANGO_SCALE, static_cast<CGFloat>(logical.height) / PANGO_SCALE };
}
