#pragma once

// The decoders behind UIImage besides PNG and JPEG, and what every decoder
// shares (ImageDecoding.cpp builds on this file, never the other way):
// each gives cairo's premultiplied ARGB32, or null for malformed bytes (with
// isTooLarge set when the picture declares more than UIImage allows).

#include <cstdint>
#include <optional>
#include <span>
#include <utility>

typedef struct _cairo_surface cairo_surface_t;

// An ARGB32 surface whose pixels are mapped in at once, as a decoder writes
// all of them; null when there is no memory for it.
cairo_surface_t* createPrefaultedSurface(int width, int height);

// WebP (libwebp), lossy or lossless, with alpha; at 1/reduction of its
// pixels each way (2, 4 or 8) by libwebp's rescaler. declaredWidth is the
// width the file declares.
bool isWebP(std::span<const std::uint8_t> head);
cairo_surface_t* decodeWebP(std::span<const std::uint8_t>, bool& isTooLarge, int reduction, unsigned& declaredWidth);

// HEIF and HEIC (libheif), the primary image, turned and mirrored as the
// file's irot and imir boxes say, which is how the device shows it.
bool isHEIF(std::span<const std::uint8_t> head);
cairo_surface_t* decodeHEIF(std::span<const std::uint8_t>, bool& isTooLarge);

// The width and height a WebP or HEIF file declares, from its header.
std::optional<std::pair<unsigned, unsigned>> declaredSizeOfWebPOrHEIF(std::span<const std::uint8_t>);

// The Orientation tag (1...8) of an APP1 Exif segment's payload; none when
// there is none or the segment is malformed.
std::optional<int> exifOrientation(std::span<const std::uint8_t> app1Payload);

// The picture as an EXIF orientation says to show it: a new surface for 2...8
// (the old one released), the same one for 1; null when there is no memory.
cairo_surface_t* surfaceShownUpright(cairo_surface_t*, int orientation);
