#include "UIImage+TincturePrivate.h"

#include <cairo.h>

#include <cmath>

#include <uikit/UIGraphics.h>

namespace tincture {

RefPtr<UIImage> imageWithImage(const UIImage* image, CGSize size)
{
    if (!image)
        return nullptr;
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
    const unsigned char* pixel = cairo_image_surface_get_data(surface) + static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface) + static_cast<std::ptrdiff_t>(x) * 4;
    bool hasAlpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
    auto channel = [](unsigned char byte) { return static_cast<CGFloat>(static_cast<float>(byte) / 255.0f); };
    return UIColor::colorWithRed(channel(pixel[2]), channel(pixel[1]), channel(pixel[0]), hasAlpha ? pixel[3] / 255.0 : 1.0);
}

}
