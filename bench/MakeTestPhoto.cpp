// make-test-photo FILE.jpg|.heic|.webp [WIDTH HEIGHT] [--camera]: the benchmarks'
// landscape photo; --camera gives it a camera's texture and sensor noise.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "TestPhoto.h"

int main(int argc, char** argv)
{
    PhotoKind kind = PhotoKind::Smooth;
    if (argc > 2 && std::strcmp(argv[argc - 1], "--camera") == 0) {
        kind = PhotoKind::Camera;
        --argc;
    }
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: make-test-photo FILE.jpg|.heic|.webp [WIDTH HEIGHT] [--camera]\n");
        return 2;
    }
    int width = argc == 4 ? std::atoi(argv[2]) : 4032, height = argc == 4 ? std::atoi(argv[3]) : 3024;
    if (width <= 0 || height <= 0 || width > 40000 || height > 40000 || !writeTestPhoto(argv[1], width, height, kind)) {
        std::fprintf(stderr, "make-test-photo: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
