#pragma once

// The home screen's wallpaper: a picture SpringBoard keeps in the root, one
// of a few it draws itself when there is none, and the notification that
// says it changed. Photos are read by UIImage's bounded readers and kept at
// the largest phone's screen size, cropped to fill it.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include <base/Expected.h>
#include <objc/RefPtr.h>
#include <uikit/CGGeometry.h>

class UIImage;

typedef struct _cairo cairo_t;

inline constexpr const char* kHomeBackgroundPath = "/var/mobile/Library/SpringBoard/HomeBackground.jpg";
inline constexpr const char* kWallpaperChangedNotification = "com.apple.springboard.wallpaperchanged";

struct SBBuiltInWallpaper {
    const char* name; // as people choose it: "Aurora"
    void (*draw)(cairo_t*, double width, double height);
};
// The first is the one a new device shows.
std::span<const SBBuiltInWallpaper> builtInWallpapers();

// Fills the rectangle (0, 0, width, height) of the context with the wallpaper:
// the root's picture, cropped to fill, or the first built-in one when there is
// none or it cannot be read.
void drawHomeBackground(cairo_t*, double width, double height);
// The same, as an image of the size (points) at the scale (0: the screen's).
RefPtr<UIImage> homeBackgroundImage(CGSize, CGFloat scale);

// Sets the wallpaper from a photo's bytes (JPEG, PNG, HEIC or WebP): refused
// as Malformed or TooLarge with the old wallpaper kept. Posts the change.
Expected<void> setHomeBackgroundFromData(std::span<const std::uint8_t>);
// The same from a file (read bounded, as device::readFile reads).
Expected<void> setHomeBackgroundFromHostFile(const std::filesystem::path&);
// Sets one of the built-in wallpapers by name (NotFound for another name).
Expected<void> setBuiltInHomeBackground(std::string_view name);
