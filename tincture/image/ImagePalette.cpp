#include <tincture/ImagePalette.h>

#include <tincture/NSArray+Tincture.h>
#include <uikit/UIImage.h>

namespace tincture {

Expected<std::vector<Color>> paletteOfImageFile(const std::string& path, std::size_t count)
{
    auto image = UIImage::readHostFile(path, paletteDecodeReduction);
    if (!image) {
        switch (image.error().kind) {
        case ErrorKind::NotFound:
            return Error(path + ": no such file");
        case ErrorKind::Unreadable:
            return Error(path + ": cannot read it (not a regular file, or no permission)");
        case ErrorKind::TooLarge:
            return Error(path + ": " + image.error().message);
        default:
            return Error("cannot read " + path + " as a PNG, JPEG, HEIC or WebP image");
        }
    }
    std::vector<Color> colors;
    for (auto& color : array::arrayOfColorsFromImage(image->ptr(), Flat::No)) {
        if (colors.size() == count)
            break;
        CGFloat r = 0, g = 0, b = 0, a = 1;
        color->getRed(&r, &g, &b, &a);
        colors.push_back(Color::fromRGB(r, g, b, a));
    }
    return colors;
}

}
