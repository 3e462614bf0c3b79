#include "ImagePixels.h"

#include <cmath>

namespace tincture {

PixelBytes averagePixel(const UIImage& image)
{
    std::uint64_t sums[4] = { 0, 0, 0, 0 };
    std::uint64_t count = 0;
    forEachPixel(image, [&](PixelBytes pixel) {
        sums[0] += pixel.red;
        sums[1] += pixel.green;
        sums[2] += pixel.blue;
        sums[3] += pixel.alpha;
        ++count;
    });
    if (!count)
        return { 0, 0, 0, 0 };
    auto mean = [&](std::uint64_t sum) { return static_cast<std::uint8_t>((sum + count / 2) / count); };
    return { mean(sums[0]), mean(sums[1]), mean(sums[2]), mean(sums[3]) };
}

}
