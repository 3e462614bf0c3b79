#pragma once

// The colour library's value types, for any C++17 program: include this
// header and link Tincture::core. No Objective-C runtime, UIKit or cairo.
//   tincture::Color c = tincture::Color::fromRGB(0.2, 0.6, 0.86);
//   auto parsed = tincture::Color::parse("oklch(62.8% 0.258 29.23)");

#include "ColorMath.h"
#include "ColorScheme.h"
#include "ColorValue.h"
#include "Expected.h"
#include "FlatColor.h"
