#pragma once

// HEIC files as an iPhone's camera writes them: the picture cut into square
// tiles, each tile its own hidden HEVC image, and a 'grid' image item that
// puts them together (ISO/IEC 23008-12, 6.6.2.3). libheif reads such files
// but cannot write them before 1.17, so the tiles are encoded with libheif
// one by one and the container is written here.

#include <cstdint>
#include <vector>

namespace heifgrid {

struct Tiling {
    int tileSize { 512 };
    int quality { 85 };
};

// The HEIC bytes of an RGB picture (3 bytes a pixel, rows without padding);
// empty when libheif has no HEVC encoder. Tiles past the right and bottom
// edges repeat the edge pixels; the grid's output size crops them.
std::vector<std::uint8_t> encode(const std::uint8_t* rgb, int width, int height, Tiling = {});

// The parts of a written grid a test may spoil: the offset of the grid
// descriptor (8 bytes: version, flags, rows - 1, columns - 1, output width
// and height, 16 bits each), of the 'dimg' reference's tile count (16 bits)
// and of the grid item's size property (width and height, 32 bits each).
struct Layout {
    std::size_t gridDescriptorOffset { 0 };
    std::size_t referenceCountOffset { 0 };
    std::size_t gridExtentOffset { 0 };
};
std::vector<std::uint8_t> encode(const std::uint8_t* rgb, int width, int height, Tiling, Layout& layout);

}
