#pragma once

// NSArray(Tincture): colour schemes of five colours from one base colour.
// The category carries names that UIColor(Tincture) has too, so its
// operations live in tincture::array; the shared ones are the same functions.

#include <cstdint>
#include <vector>

#include <foundation/NSCountedSet.h>

#include "ColorScheme.h"

#include "UIColor+Tincture.h"

namespace tincture::array {

// Scheme codes, the value types' (note that triadic is 1 and complementary 2).
using ColorScheme = std::int64_t;
inline constexpr ColorScheme ColorSchemeAnalogous = static_cast<ColorScheme>(Scheme::Analogous);
inline constexpr ColorScheme ColorSchemeTriadic = static_cast<ColorScheme>(Scheme::Triadic);
inline constexpr ColorScheme ColorSchemeComplementary = static_cast<ColorScheme>(Scheme::Complementary);

// Five opaque colours, the third from the base colour itself. Also the
// operation's older name, arrayOfColorsWithColorScheme:with:flatScheme:.
// Another scheme code is a programming error.
std::vector<Ref<UIColor>> arrayOfColorsWithColorScheme(ColorScheme, const UIColor* base, Flat);

// Hue in degrees, saturation and brightness in percent.
std::vector<Ref<UIColor>> analogousColorSchemeFromHue(double hue, double saturation, double brightness, Flat);
std::vector<Ref<UIColor>> complementaryColorSchemeFromHue(double hue, double saturation, double brightness, Flat);
std::vector<Ref<UIColor>> triadicColorSchemeFromHue(double hue, double saturation, double brightness, Flat);

// add:to:, in single precision: above 360 wraps once, below 0 is mirrored
// (10 - 32 gives 22), and 360 stays 360.
float add(float offset, float hue);

// The five dominant, clearly different colours of an image: the image reduced
// to an eighth in each direction, every pixel colour counted, colours raised
// to saturation 0.15 and ordered by how often they occur, each kept when it is
// distinct from those kept before (flattened with the flat flag), then plain
// white up to five. No image gives five whites.
std::vector<Ref<UIColor>> arrayOfColorsFromImage(const UIImage*, Flat);

// The same on the unreduced image, keeping up to wanted colours, unflattened
// and unpadded; the counts of every pixel colour go to imageColors when given.
// (An instance operation: wanted is the receiving array's count.)
std::vector<Ref<UIColor>> findColorsOfImage(std::size_t wanted, const UIImage*, NSCountedSet* imageColors);

// The nearest flat colour, opaque whatever the colour's alpha.
RefPtr<UIColor> colorWithFlatVersionOf(const UIColor*);

using tincture::flatColors;
using tincture::nearestFlatColorForL;
using tincture::totalSumOfDifferencesFroml1;

}
