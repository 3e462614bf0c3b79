#pragma once

// The 48 flat colours of FlatColorTable.h: 24 base hues, each light variant
// followed by its dark one, base names in alphabetical order. Each is defined
// by whole degrees and whole percents, which become the single-precision
// quotients of /360 and /100, widened, for the HSB constructor.

#include <array>
#include <cstddef>
#include <optional>

#include <uikit/UIColor.h>

#include "FlatColor.h"
#include "FlatColorTable.h"

namespace tincture {

struct FlatPaletteEntry {
    const char* name; // "flatRedColor", "flatRedColorDark"
    const char* label; // "Red", as the settings screens show it
    int hueDegrees;
    int saturationPercent;
    int brightnessPercent;
};

// Each light entry followed by its dark one.
inline constexpr std::array flatPalette {
#define TINCTURE_FLAT_ENTRIES(Name, Label, lightHue, lightSaturation, lightBrightness, darkHue, darkSaturation, darkBrightness)                                \
    FlatPaletteEntry { "flat" #Name "Color", Label, lightHue, lightSaturation, lightBrightness },                                                              \
        FlatPaletteEntry { "flat" #Name "ColorDark", Label, darkHue, darkSaturation, darkBrightness },
    TINCTURE_FLAT_COLORS(TINCTURE_FLAT_ENTRIES)
#undef TINCTURE_FLAT_ENTRIES
};
inline constexpr std::size_t flatPaletteSize = flatPalette.size();
static_assert(flatPaletteSize == 48, "24 colours, two shades each");

// The palette position of a colour's shade.
constexpr std::size_t flatPalettePosition(FlatColor color, Shade shade)
{
    return 2 * static_cast<std::size_t>(color) + (shade == Shade::Dark ? 1 : 0);
}

// The palette colour at a list position, new on every call, alpha 1.0.
Ref<UIColor> flatPaletteColor(std::size_t position);
// A colour's shade, new on every call, alpha 1.0.
inline Ref<UIColor> flatPaletteColor(FlatColor color, Shade shade)
{
    return flatPaletteColor(flatPalettePosition(color, shade));
}

// The position of the palette entry with exactly this colour (alpha aside), if any.
std::optional<std::size_t> flatPalettePositionOf(const UIColor&);

// The colour of an entry's hue, saturation and brightness as the palette builds them.
Ref<UIColor> colorWithPaletteValues(int hueDegrees, int saturationPercent, int brightnessPercent, CGFloat alpha);

}
