#pragma once

// Five colours that go with a base colour: analogous, triadic or
// complementary, from its hue, saturation and brightness, optionally snapped
// to the flat colours and kept apart.

#include <array>

#include "ColorValue.h"

namespace tincture {

// The codes the settings store and NSArray's category use.
enum class Scheme { Analogous = 0, Triadic = 1, Complementary = 2 };

// The scheme of the base colour, as NSArray's category builds it: the base
// third of five, the others in hue order. With flat, each is the nearest
// flat colour, and neighbours that snapped to the same one are moved apart.
std::array<Color, 5> scheme(const Color& base, Scheme, bool flat);

}
