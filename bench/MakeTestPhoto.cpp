// make-test-photo FILE.jpg|.heic|.webp [WIDTH HEIGHT] [--camera] [--single-image]:
// the benchmarks' landscape photo; --camera gives it a camera's texture and
// sensor noise; a HEIC is a grid of 512-pixel tiles as an iPhone writes it,
// or with --single-image one HEVC image.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "TestPhoto.h"

int main(int argc, char** argv)
{
    PhotoKind kind = PhotoKind::Smooth;
    HEICLayout layout = HEICLayout::Grid;
    for (bool isOption = true; isOption && argc > 2;) {
        isOption = false;
        if (std::strcmp(argv[argc - 1], "--camera") == 0)
            kind = PhotoKind::Camera, isOption = true, --argc;
        else if (std::strcmp(argv[argc - 1], "--single-image") == 0)
            layout = HEICLayout::SingleImage, isOption = true, --argc;
    }
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: make-test-photo FILE.jpg|.heic|.webp [WIDTH HEIGHT] [--camera] [--single-image]\n");
        return 2;
    }
    int width = argc == 4 ? std::atoi(argv[2]) : 4032, height = argc == 4 ? std::atoi(argv[3]) : 3024;
    if (width <= 0 || height <= 0 || width > 40000 || height > 40000 || !writeTestPhoto(argv[1], width, height, kind, layout)) {
        std::fprintf(stderr, "make-test-photo: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
