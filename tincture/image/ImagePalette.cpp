#include <tincture/ImagePalette.h>

#include <tincture/ImageReadFailure.h>
#include <tincture/NSArray+Tincture.h>
#include <uikit/UIImage.h>

namespace tincture {

Expected<std::vector<Color>> paletteOfImageFile(const std::string& path, std::size_t count)
{
    auto image = UIImage::readHostFile(path, paletteDecodeReduction);
    if (!image)
        return Error(imageReadFailureMessage(path, image.error()));
    std::vector<Color> colors;
    for (auto& color : array::arrayOfColorsFromImage(image->ptr(), Flat::No)) {
        if (colors.size() == count)
            break;
        colors.push_back(colorValueOf(color));
    }
    return colors;
}

}
