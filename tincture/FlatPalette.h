#pragma once

// The 48 flat colours: 24 base hues, each light variant followed by its dark
// one, base names in alphabetical order. Each is defined by whole degrees and
// whole percents, which become the single-precision quotients of /360 and
// /100, widened, for the HSB constructor.

#include <array>
#include <cstddef>
#include <optional>

#include <uikit/UIColor.h>

namespace tincture {

struct FlatPaletteEntry {
    const char* name;
    int hueDegrees;
    int saturationPercent;
    int brightnessPercent;
};

inline constexpr std::size_t flatPaletteSize = 48;

inline constexpr std::array<FlatPaletteEntry, flatPaletteSize> flatPalette { {
    { "flatBlackColor", 0, 0, 17 },
    { "flatBlackColorDark", 0, 0, 15 },
    { "flatBlueColor", 224, 50, 63 },
    { "flatBlueColorDark", 224, 56, 51 },
    { "flatBrownColor", 24, 45, 37 },
    { "flatBrownColorDark", 25, 45, 31 },
    { "flatCoffeeColor", 25, 31, 64 },
    { "flatCoffeeColorDark", 25, 34, 56 },
    { "flatForestGreenColor", 138, 45, 37 },
    { "flatForestGreenColorDark", 135, 44, 31 },
    { "flatGrayColor", 184, 10, 65 },
    { "flatGrayColorDark", 184, 10, 55 },
    { "flatGreenColor", 145, 77, 80 },
    { "flatGreenColorDark", 145, 78, 68 },
    { "flatLimeColor", 74, 70, 78 },
    { "flatLimeColorDark", 74, 81, 69 },
    { "flatMagentaColor", 283, 51, 71 },
    { "flatMagentaColorDark", 282, 61, 68 },
    { "flatMaroonColor", 5, 65, 47 },
    { "flatMaroonColorDark", 4, 68, 40 },
    { "flatMintColor", 168, 86, 74 },
    { "flatMintColorDark", 168, 86, 63 },
    { "flatNavyBlueColor", 210, 45, 37 },
    { "flatNavyBlueColorDark", 210, 45, 31 },
    { "flatOrangeColor", 28, 85, 90 },
    { "flatOrangeColorDark", 24, 100, 83 },
    { "flatPinkColor", 324, 49, 96 },
    { "flatPinkColorDark", 327, 57, 83 },
    { "flatPlumColor", 300, 45, 37 },
    { "flatPlumColorDark", 300, 46, 31 },
    { "flatPowderBlueColor", 222, 24, 95 },
    { "flatPowderBlueColorDark", 222, 28, 84 },
    { "flatPurpleColor", 253, 52, 77 },
    { "flatPurpleColorDark", 253, 56, 64 },
    { "flatRedColor", 6, 74, 91 },
    { "flatRedColorDark", 6, 78, 75 },
    { "flatSandColor", 42, 25, 94 },
    { "flatSandColorDark", 42, 30, 84 },
    { "flatSkyBlueColor", 204, 76, 86 },
    { "flatSkyBlueColorDark", 204, 78, 73 },
    { "flatTealColor", 195, 55, 51 },
    { "flatTealColorDark", 196, 54, 45 },
    { "flatWatermelonColor", 356, 53, 94 },
    { "flatWatermelonColorDark", 358, 61, 85 },
    { "flatWhiteColor", 192, 2, 95 },
    { "flatWhiteColorDark", 204, 5, 78 },
    { "flatYellowColor", 48, 99, 100 },
    { "flatYellowColorDark", 40, 100, 100 },
} };

// The palette colour at a list position, new on every call, alpha 1.0.
Ref<UIColor> flatPaletteColor(std::size_t position);

// The position of the palette entry with exactly this colour (alpha aside), if any.
std::optional<std::size_t> flatPalettePositionOf(const UIColor&);

// The colour of an entry's hue, saturation and brightness as the palette builds them.
Ref<UIColor> colorWithPaletteValues(int hueDegrees, int saturationPercent, int brightnessPercent, CGFloat alpha);

}
