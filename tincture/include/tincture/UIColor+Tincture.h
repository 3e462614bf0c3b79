#pragma once

// UIColor(Tincture): the flat palette, nearest flat colours, derived colours,
// hex strings and random flat colours. Class-level operations are plain
// functions; instance operations take the receiver first. A null colour
// stands for nil: what a message to nil would answer is what these answer.

#include <cstdint>
#include <string_view>
#include <vector>

#include <uikit/UIColor.h>
#include <uikit/UIImage.h>

#include "ColorValue.h"
#include "FlatColorTable.h"

namespace tincture {

// The "flat" flags of the selectors (isFlat:, withFlatScheme:, flat:).
enum class Flat : bool { No, Yes };

// Between the objects and the value types, component for component: a
// colour of another model than grey or RGB reads as opaque black.
Color colorValueOf(const UIColor&);
Ref<UIColor> colorWithValue(const Color&);

// The 48 flat colours: flatBlackColor(), flatBlackColorDark(), ... flatYellowColorDark(): a pair
// for each line of FlatColorTable.h, new on every call, alpha 1.0.
#define TINCTURE_DECLARE_FLAT_ACCESSORS(Name, ...)                                                                                                             \
    Ref<UIColor> flat##Name##Color();                                                                                                                          \
    Ref<UIColor> flat##Name##ColorDark();
TINCTURE_FLAT_COLORS(TINCTURE_DECLARE_FLAT_ACCESSORS)
#undef TINCTURE_DECLARE_FLAT_ACCESSORS

// The 48 in list order: the base names alphabetically, each light variant
// followed by its dark one.
std::vector<Ref<UIColor>> flatColors();

// Components (-getRGBAComponents:, -RGBAValue, -isMonochromeOrRGB). For a
// colour of another model than grey or RGB, the components are (0, 0, 0, 1)
// and "Unsupported color model: %i" is logged.
void getRGBAComponents(const UIColor*, CGFloat components[4]);
// Bits 31..24 red, 23..16 green, 15..8 blue, 7..0 alpha, each 255 x the
// component truncated toward zero.
std::uint32_t RGBAValue(const UIColor*);
bool isMonochromeOrRGB(const UIColor*);

// CIEDE2000 distance, index 1 the colour searched for, rounded to single precision.
float totalSumOfDifferencesFroml1(double l1, double l2, double a1, double a2, double b1, double b2);
// The nearest palette colour's RGB with the given alpha; ties go to the earlier entry.
Ref<UIColor> nearestFlatColorForL(double l, double a, double b, CGFloat alpha);
RefPtr<UIColor> colorWithFlatVersionOf(const UIColor*, CGFloat alpha);
RefPtr<UIColor> colorWithFlatVersionOf(const UIColor*);
// With the colour's own alpha, or 1.0 when that is 0.
RefPtr<UIColor> colorWithFlatVersionFrom(const UIColor*);
RefPtr<UIColor> flatten(const UIColor*);

// Gradient colours: a pattern colour over an image of the frame's size at the
// main screen's scale, which also becomes the gradientImage. Style 0 runs left
// to right, 1 is radial from the centre to min(width, height), any other top to
// bottom; the colours are evenly spaced. None for no colours or no area.
RefPtr<UIColor> colorWithGradientStyle(std::int64_t style, CGRect frame, const std::vector<Ref<UIColor>>& colors);
void setGradientImage(RefPtr<UIImage>);
RefPtr<UIImage> gradientImage();

// The average of the whole image, raised to saturation 0.15; black with alpha 0
// for a fully transparent image (whatever alpha is asked for).
RefPtr<UIColor> colorWithAverageColorFromImage(const UIImage*, CGFloat alpha);
RefPtr<UIColor> colorWithAverageColorFromImage(const UIImage*);

// Derived colours. The flat-version, complementary and contrasting operations
// reduce a pattern colour to one plain colour first: the average of the
// gradientImage (black with none), opaque.
RefPtr<UIColor> colorWithComplementaryFlatColorOf(const UIColor*, CGFloat alpha);
RefPtr<UIColor> colorWithComplementaryFlatColorOf(const UIColor*);
Ref<UIColor> colorWithContrastingBlackOrWhiteColorOn(const UIColor* background, Flat, CGFloat alpha);
Ref<UIColor> colorWithContrastingBlackOrWhiteColorOn(const UIColor* background, Flat);
RefPtr<UIColor> darkenByPercentage(const UIColor*, CGFloat amount);
RefPtr<UIColor> lightenByPercentage(const UIColor*, CGFloat amount);
// Grey and RGB colours compare by RGBAValue, so at 8-bit precision.
bool isEqualToColor(const UIColor*, const UIColor* other);

// Hex strings: "#RGB", "#RRGGBB", or either without the "#". Null for an
// empty string, and for another length with "Unsupported string format: %@" logged.
RefPtr<UIColor> colorWithHexString(std::string_view, CGFloat alpha);
RefPtr<UIColor> colorWithHexString(std::string_view);
unsigned hexValueToUnsigned(std::string_view);

// Random flat colours that never repeat the previous pick, which the main
// bundle's user defaults keep under "previousRandomNumber".
std::uint32_t generateRandomNumberWithMax(std::int64_t max);
Ref<UIColor> randomFlatColor();
// Shade style 1 picks among the dark variants, any other among the light ones.
Ref<UIColor> colorWithRandomFlatColorOfShadeStyle(std::int64_t shadeStyle, CGFloat alpha);
Ref<UIColor> colorWithRandomFlatColorOfShadeStyle(std::int64_t shadeStyle);

}
