#pragma once

// The palette index of a colour choice: 0 keeps the colour the system gives,
// 1 to 48 name the flat colours, light ones first.

#include <array>
#include <cstdint>

#include <uikit/UIColor.h>

// The labels the settings screens show for the 49 indices.
extern const std::array<const char*, 49> kColorNames;

// Index 0 gives the system colour exactly as passed (none stays none), 1 to
// 48 a new flat colour, anything else (negative included) none. Indices 31
// and 34 give the dark maroon and the dark forest green, as 45 and 38 do.
RefPtr<UIColor> colorInt(std::int64_t index, RefPtr<UIColor> systemColor);
