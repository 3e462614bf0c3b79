#pragma once

#include <filesystem>

// How the photo looks up close.
enum class PhotoKind {
    // Smooth gradients with fine grain: its eighth-size copy has few colours.
    Smooth,
    // As a phone's camera gives it: texture at every scale (foliage, grass,
    // cloud) and sensor noise in each channel, so its eighth-size copy still
    // has well over 100,000 distinct colours, as real photos do.
    Camera,
};

// How a HEIC holds the picture: 512-pixel tiles in a grid, as an iPhone's
// camera stores photos, or one HEVC image.
enum class HEICLayout { Grid, SingleImage };

// Writes a natural-looking landscape photo: sky, sun, hills, trees and grain,
// the same every time. Made here, so nothing is downloaded. A JPEG, or HEIC
// or WebP by the file's extension.
bool writeTestPhoto(const std::filesystem::path&, int width = 4032, int height = 3024, PhotoKind = PhotoKind::Smooth, HEICLayout = HEICLayout::Grid);
