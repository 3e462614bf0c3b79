#pragma once

// The nearest-flat-colour search, shared by the value types and UIColor's
// categories so that both find the same shade.

#include <cstddef>

namespace tincture {

// The palette position (light and dark of each colour in the table's order)
// nearest to the CIE L*a*b* colour by CIEDE2000: the first at the least
// single-precision distance, as measuring all 48 in order finds it.
std::size_t nearestFlatPosition(double l, double a, double b);

}
