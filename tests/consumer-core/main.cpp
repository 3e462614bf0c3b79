// Prints the nearest flat colour of each colour given, as #RRGGBB, with the
// value types alone; fails if the Objective-C runtime, UIKit or cairo was
// loaded into the process for it.

#include <cstdio>
#include <fstream>
#include <string>

#include <tincture/Color.h>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        auto color = tincture::Color::parse(argv[i]);
        if (!color.has_value()) {
            std::fprintf(stderr, "not a colour: %s: %s\n", argv[i], color.error().message().c_str());
            return 1;
        }
        // A flat scheme holds flat colours only: the names compile and link here.
        for (const tincture::Color& member : tincture::scheme(color.value(), tincture::Scheme::Triadic, true)) {
            auto shade = tincture::nearestFlatShade(member);
            if (tincture::flat(shade.color, shade.shade) != member)
                return 1;
        }
        auto nearest = tincture::nearestFlatShade(color.value());
        std::printf("%s -> %s\n", argv[i], tincture::flat(nearest.color, nearest.shade).hex().c_str());
    }
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        for (const char* library : { "libplatform_objc", "libplatform_uikit", "libcairo" }) {
            if (line.find(library) != std::string::npos) {
                std::fprintf(stderr, "%s is loaded: %s\n", library, line.c_str());
                return 1;
            }
        }
    }
    return 0;
}
