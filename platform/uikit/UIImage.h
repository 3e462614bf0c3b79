#pragma once

// Images on cairo image surfaces (premultiplied ARGB32), with a size in
// points, a scale and a rendering mode.

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <objc/NSObject.h>

#include <base/Expected.h>

#include "CGGeometry.h"

typedef struct _cairo_surface cairo_surface_t;

enum class UIImageRenderingMode : long { Automatic = 0, AlwaysOriginal = 1, AlwaysTemplate = 2 };

class UIImage : public NSObject {
public:
    UIImage() = default;
    ~UIImage() override;
    static Class objcClass();

    // A PNG, JPEG, HEIC or WebP file at a device path; none for a missing, malformed or
    // oversized file. "@2x" and "@3x" names carry that scale.
    static RefPtr<UIImage> imageWithContentsOfFile(std::string_view devicePath);
    static RefPtr<UIImage> imageWithContentsOfHostFile(const std::filesystem::path&, int reduction = 1);
    static RefPtr<UIImage> imageWithData(const std::vector<std::uint8_t>&, CGFloat scale);
    // The same, saying why there is no image: NotFound or Unreadable; Malformed
    // for what is not PNG, JPEG, HEIC or WebP, or is cut short; TooLarge for a
    // file over device::maximumReadSize or a picture declaring more than
    // maximumPixelCount, refused before decoding (the message says which).
    // `reduction` is the platform's scaler, as ImageIO's thumbnails: the
    // picture decoded at 1/reduction of its pixels in each direction (2, 4 or
    // 8) where the format does that cheaply (JPEG, by DCT scaling; WebP, by its
    // rescaler), else whole. Its scale shrinks to match, so its size in points
    // is the picture's own.
    static Expected<Ref<UIImage>> readHostFile(const std::filesystem::path&, int reduction = 1);
    static Expected<Ref<UIImage>> readData(const std::vector<std::uint8_t>&, CGFloat scale, int reduction = 1);
    // The size in pixels a PNG, JPEG, HEIC or WebP file's bytes declare, read
    // from its header without decoding; none for other bytes.
    static std::optional<CGSize> declaredPixelSizeOfData(std::span<const std::uint8_t>);
    // The picture no larger than `maximumPixelSide` either way, decoded at
    // 1/2, 1/4 or 1/8 where the format can, then scaled down; its size in
    // points is kept. For thumbnails and icons drawn far smaller than their files.
    static RefPtr<UIImage> thumbnailWithData(const std::vector<std::uint8_t>&, CGFloat scale, unsigned maximumPixelSide);
    // Takes a reference to the surface.
    static Ref<UIImage> imageWithSurface(cairo_surface_t*, CGFloat scale, UIImageRenderingMode = UIImageRenderingMode::Automatic);

    // The same picture drawn in another mode.
    Ref<UIImage> imageWithRenderingMode(UIImageRenderingMode) const;
    UIImageRenderingMode renderingMode() const { return m_renderingMode; }
    CGSize size() const;
    CGSize pixelSize() const;
    CGFloat scale() const { return m_scale; }
    // The device path the picture was read from, kept by every rendering of
    // it; empty for a drawn one. Tools name images by it.
    const std::string& sourcePath() const { return m_sourcePath; }
    bool writePNGToHostFile(const std::filesystem::path&) const;

    // Draws the whole image into the rectangle of the current canvas (UIGraphics.h).
    void drawInRect(CGRect) const;
    cairo_surface_t* surface() const { return m_surface; }

    // The largest picture read from a file, in pixels: a reader must not be made to exhaust memory.
    static constexpr double maximumPixelCount = 100e6;

private:
    cairo_surface_t* m_surface { nullptr };
    CGFloat m_scale { 1 };
    UIImageRenderingMode m_renderingMode { UIImageRenderingMode::Automatic };
    std::string m_sourcePath;
};

// The image as a JPEG file's bytes at a quality from 0 to 1 (empty on
// failure); as a PNG file's.
std::vector<std::uint8_t> UIImageJPEGRepresentation(const UIImage&, CGFloat quality);
std::vector<std::uint8_t> UIImagePNGRepresentation(const UIImage&);
