#pragma once

// A settings palette index as `menutone index` prints it (and, for one more
// release, `tincture index`): its number, the label the screens show and its
// colour; or as JSON.

#include <cstdint>
#include <string>

#include "Swatch.h"

std::string paletteIndexLine(std::int64_t index, SwatchDepth);
std::string paletteIndexJSON(std::int64_t index);
