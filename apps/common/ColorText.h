#pragma once

// Colours as people write them on a command line, and back.
//
// In: "#RGB", "#RGBA", "#RRGGBB", "#RRGGBBAA"; CSS's rgb()/rgba() and
// hsl()/hsla(), with commas or spaces ("rgb(255 0 0 / 50%)"); "r,g,b" or
// "r,g,b,a" with components in 0..1; "hsb(H,S,B)" in degrees and percents;
// a flat palette name ("flatRedColor") or a CSS colour name ("rebeccapurple").

#include <optional>
#include <string>
#include <string_view>

#include <base/Expected.h>
#include <uikit/UIColor.h>

// Malformed, saying what would have been right, for anything else.
Expected<Ref<UIColor>> parseColorText(std::string_view);

enum class ColorTextFormat { Hex, RGB, HSL };
// "#RRGGBB" (with AA when not opaque), "rgb(R G B)" or "hsl(H S% L%)" (with
// " / A" when not opaque).
std::string colorText(const UIColor&, ColorTextFormat);

// The palette name of a colour whose RGB is exactly a flat colour's.
std::optional<std::string> flatColorName(const UIColor&);

// CSS's hsl() to RGB, all in 0..1 (hue in turns).
void rgbFromHSL(double hue, double saturation, double lightness, double& red, double& green, double& blue);
