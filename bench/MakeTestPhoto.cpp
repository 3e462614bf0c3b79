// make-test-photo FILE.jpg [WIDTH HEIGHT]: the benchmarks' landscape photo.

#include <cstdio>
#include <cstdlib>

#include "TestPhoto.h"

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: make-test-photo FILE.jpg [WIDTH HEIGHT]\n");
        return 2;
    }
    int width = argc == 4 ? std::atoi(argv[2]) : 4032, height = argc == 4 ? std::atoi(argv[3]) : 3024;
    if (width <= 0 || height <= 0 || !writeTestPhoto(argv[1], width, height)) {
        std::fprintf(stderr, "make-test-photo: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
