// Prints the nearest flat colour of each hex string given, as #RRGGBB.

#include <cmath>
#include <cstdio>

#include <tincture/UIColor+Tincture.h>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        auto color = tincture::colorWithHexString(argv[i]);
        auto flat = tincture::colorWithFlatVersionOf(color.get());
        if (!flat) {
            std::fprintf(stderr, "not a colour: %s\n", argv[i]);
            return 1;
        }
        CGFloat r = 0, g = 0, b = 0, a = 0;
        flat->getRed(&r, &g, &b, &a);
        auto byte = [](CGFloat component) { return static_cast<int>(std::lround(component * 255)); };
        std::printf("%s -> #%02X%02X%02X\n", argv[i], byte(r), byte(g), byte(b));
    }
    return 0;
}
