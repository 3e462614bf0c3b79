#include "UIImage+TincturePrivate.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <uikit/UIGraphics.h>

namespace tincture {

namespace {

// Shrinking by a whole factor in each direction averages each block of pixels,
// premultiplied, as a good scaler does; much faster than a general resampler
// on a photo.
RefPtr<UIImage> shrunkByWholeFactors(const UIImage& image, int width, int height)
{
    cairo_surface_t* source = image.surface();
    int sourceWidth = cairo_image_surface_get_width(source), sourceHeight = cairo_image_surface_get_height(source);
    if (width < 1 || height < 1 || sourceWidth % width || sourceHeight % height || cairo_image_surface_get_format(source) != CAIRO_FORMAT_ARGB32)
        return nullptr;
    int factorX = sourceWidth / width, factorY = sourceHeight / height;
    if (factorX < 2 || factorY < 2)
        return nullptr;
    cairo_surface_flush(source);
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    const unsigned char* in = cairo_image_surface_get_data(source);
    unsigned char* out = cairo_image_surface_get_data(target);
    int inStride = cairo_image_surface_get_stride(source), outStride = cairo_image_surface_get_stride(target);
    unsigned blockSize = static_cast<unsigned>(factorX * factorY);
    std::vector<unsigned> sums(static_cast<std::size_t>(width) * 4);
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (int row = 0; row < factorY; ++row) {
            const unsigned char* line = in + static_cast<std::ptrdiff_t>(y * factorY + row) * inStride;
            for (int x = 0; x < width; ++x) {
                unsigned* sum = &sums[static_cast<std::size_t>(x) * 4];
                const unsigned char* pixel = line + static_cast<std::ptrdiff_t>(x) * factorX * 4;
                for (int column = 0; column < factorX; ++column, pixel += 4) {
                    sum[0] += pixel[0];
                    sum[1] += pixel[1];
                    sum[2] += pixel[2];
                    sum[3] += pixel[3];
                }
            }
        }
        unsigned char* line = out + static_cast<std::ptrdiff_t>(y) * outStride;
        for (std::size_t i = 0; i < sums.size(); ++i)
            line[i] = static_cast<unsigned char>((sums[i] + blockSize / 2) / blockSize);
    }
    cairo_surface_mark_dirty(target);
    auto shrunk = UIImage::imageWithSurface(target, 1.0);
    cairo_surface_destroy(target);
    return shrunk;
}

}

RefPtr<UIImage> imageWithImage(const UIImage* image, CGSize size)
{
    if (!image)
        return nullptr;
    CGSize pixels = image->pixelSize();
    double width = size.width, height = size.height;
    // Already that many pixels (a picture decoded smaller): drawing it would
    // copy it unchanged, so it is shared instead.
    cairo_surface_t* surface = image->surface();
    if (surface && pixels.width == width && pixels.height == height && cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32)
        return UIImage::imageWithSurface(surface, 1.0);
    if (width == std::floor(width) && height == std::floor(height) && width > 0 && height > 0) {
        if (auto shrunk = shrunkByWholeFactors(*image, static_cast<int>(width), static_cast<int>(height)); shrunk && pixels.width > 0)
            return shrunk;
    }
    UIGraphicsBeginImageContextWithOptions(size, false, 1.0);
    image->drawInRect({ {}, size });
    RefPtr<UIImage> scaled = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return scaled;
}

RefPtr<UIImage> imageScaledToSize(const UIImage* image, CGSize size)
{
    return imageWithImage(image, size);
}

RefPtr<UIColor> colorFromImage(const UIImage* image, CGPoint point)
{
    if (!image || !image->surface())
        return nullptr;
    cairo_surface_t* surface = image->surface();
    int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    // The byte index 4 * width * y + 4 * x, truncated, names this pixel; a point outside gives none.
    double x = std::floor(point.x), y = std::floor(point.y);
    if (!(x >= 0 && y >= 0 && x < width && y < height))
        return nullptr;
    cairo_surface_flush(surface);
    const unsigned char* pixel
        = cairo_image_surface_get_data(surface) + static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface) + static_cast<std::ptrdiff_t>(x) * 4;
    bool hasAlpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
    auto channel = [](unsigned char byte) { return static_cast<CGFloat>(static_cast<float>(byte) / 255.0f); };
    return UIColor::colorWithRed(channel(pixel[2]), channel(pixel[1]), channel(pixel[0]), hasAlpha ? pixel[3] / 255.0 : 1.0);
}

}
