// libFuzzer target: any bytes as an image file, then its palette.

#include <unistd.h>

#include <cstdio>
#include <string>

#include <tincture/NSArray+Tincture.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = "/tmp/menutone-image-fuzz-" + std::to_string(::getpid());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    if (auto image = UIImage::imageWithContentsOfHostFile(path))
        tincture::array::arrayOfColorsFromImage(image.get(), tincture::Flat::Yes);
    return 0;
}
