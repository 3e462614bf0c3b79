#pragma once

#include <optional>
#include <string>

#include <uikit/UIColor.h>

// A COLOR argument: "#RGB", "#RRGGBB", "r,g,b" or "r,g,b,a" in 0..1,
// "hsb(H,S,B)" in degrees and percents, or a palette name ("flatRedColor").
// None, with the reason, for anything else.
RefPtr<UIColor> parseColorArgument(const std::string&, std::string& error);

// The palette name of a colour whose RGB is exactly a flat colour's.
std::optional<std::string> flatColorName(const UIColor&);
