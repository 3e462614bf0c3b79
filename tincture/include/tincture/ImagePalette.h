#pragma once

// The dominant colours of a picture file, as the library's palette finds
// them (NSArray's arrayOfColorsFromImage on an eighth-size decode). In its
// own target, Tincture::image, since it decodes with the platform's readers.

#include <cstddef>
#include <string>
#include <vector>

#include "ColorValue.h"
#include "Expected.h"

namespace tincture {

// Photos are read at an eighth of their size each way where the format can
// (JPEG's DCT scaling, WebP's rescaler): the palette reads an eighth-size copy anyway.
inline constexpr int paletteDecodeReduction = 8;

// Up to `count` colours (the palette has five), most dominant first; an
// error says why the file could not be read ("no such file", too large,
// not a PNG, JPEG, HEIC or WebP picture).
Expected<std::vector<Color>> paletteOfImageFile(const std::string& path, std::size_t count = 5);

}
