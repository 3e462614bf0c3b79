// libFuzzer target: any bytes as an image file's contents, then its palette.

#include <tincture/NSArray+Tincture.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (auto image = UIImage::imageWithData(std::vector<std::uint8_t>(data, data + size), 1))
        tincture::array::arrayOfColorsFromImage(image.get(), tincture::Flat::Yes);
    return 0;
}
