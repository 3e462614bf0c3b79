// libFuzzer target: the value types' colour parser. Whatever it reads must
// have finite components and an alpha in 0..1, and write a hex that reads
// back to the same hex.

#include <cmath>
#include <cstdlib>
#include <string_view>

#include <tincture/Color.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto color = tincture::Color::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!color)
        return 0;
    for (double component : { color->red(), color->green(), color->blue(), color->alpha() }) {
        if (!std::isfinite(component))
            std::abort();
    }
    if (color->alpha() < 0 || color->alpha() > 1)
        std::abort();
    std::string hex = color->hex();
    auto again = tincture::Color::parse(hex);
    if ((hex.size() != 7 && hex.size() != 9) || !again || again->hex() != hex)
        std::abort();
    (void)color->oklch();
    (void)color->lch();
    return 0;
}
