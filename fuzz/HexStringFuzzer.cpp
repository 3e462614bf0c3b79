// libFuzzer target: the hex-string colour parser, whose answer must be a
// colour with components in 0..1, or none.

#include <cstdlib>
#include <string_view>

#include <tincture/UIColor+Tincture.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto color = tincture::colorWithHexString(std::string_view(reinterpret_cast<const char*>(data), size));
    CGFloat r, g, b, a;
    if (color && (!color->getRed(&r, &g, &b, &a) || r < 0 || r > 1 || g < 0 || g > 1 || b < 0 || b > 1 || a != 1))
        std::abort();
    return 0;
}
