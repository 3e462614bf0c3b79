#pragma once

// The 24 flat colours by name, each in a light and a dark shade, and the
// value-type calls on them.

#include <cstddef>
#if __cplusplus >= 202002L
#include <span>
#endif

#include "ColorValue.h"
#include "FlatColorTable.h"

namespace tincture {

// The colours by name, in the table's order.
enum class FlatColor {
#define TINCTURE_FLAT_ENUMERATOR(Name, ...) Name,
    TINCTURE_FLAT_COLORS(TINCTURE_FLAT_ENUMERATOR)
#undef TINCTURE_FLAT_ENUMERATOR
};
enum class Shade { Light, Dark };

struct FlatShade {
    FlatColor color;
    Shade shade;
};

// The colour's shade, opaque: the value UIColor's flat accessors give.
Color flat(FlatColor, Shade);
// The flat colour nearest by CIEDE2000, as UIColor's flat version finds it:
// of 48 shades, the first at the least single-precision distance.
FlatColor nearestFlat(const Color&);
FlatShade nearestFlatShade(const Color&);
#if __cplusplus >= 202002L
// The nearest flat colour of each colour, on every core; the spans are the
// same length.
void nearestFlat(std::span<const Color>, std::span<FlatColor>);
#endif
// The label the settings screens show: "Sky Blue".
const char* flatColorName(FlatColor);

}
