#pragma once

// NSArray(Tincture): colour schemes of five colours from one base colour.
// The category carries names that UIColor(Tincture) has too, so its
// operations live in tincture::array; the shared ones are the same functions.

#include <cstdint>
#include <vector>

#include "UIColor+Tincture.h"

namespace tincture::array {

// Scheme codes: note that triadic is 1 and complementary 2.
using ColorScheme = std::int64_t;
inline constexpr ColorScheme ColorSchemeAnalogous = 0;
inline constexpr ColorScheme ColorSchemeTriadic = 1;
inline constexpr ColorScheme ColorSchemeComplementary = 2;

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

// The nearest flat colour, opaque whatever the colour's alpha.
RefPtr<UIColor> colorWithFlatVersionOf(const UIColor*);

using tincture::flatColors;
using tincture::nearestFlatColorForL;
using tincture::totalSumOfDifferencesFroml1;

}
