#include "SBWallpaper.h"

#include <cairo.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include <corefoundation/CFNotificationCenter.h>
#include <device/DeviceRoot.h>
#include <device/FileSystem.h>
#include <uikit/UIGraphics.h>
#include <uikit/UIImage.h>

namespace {

void fillLinear(cairo_t* cr, double x0, double y0, double x1, double y1, std::initializer_list<std::array<double, 4>> stops)
{
    cairo_pattern_t* gradient = cairo_pattern_create_linear(x0, y0, x1, y1);
    for (auto& [offset, r, g, b] : stops)
        cairo_pattern_add_color_stop_rgb(gradient, offset, r, g, b);
    cairo_set_source(cr, gradient);
    cairo_paint(cr);
    cairo_pattern_destroy(gradient);
}

// Soft discs of colour on a teal-to-coral sweep.
void drawAurora(cairo_t* cr, double width, double height)
{
    fillLinear(cr, 0, 0, width, height, { { 0, 0.10, 0.45, 0.62 }, { 0.5, 0.42, 0.30, 0.66 }, { 1, 0.93, 0.45, 0.38 } });
    struct Disc {
        double x, y, radius, r, g, b, a;
    };
    constexpr Disc discs[] = { { 0.15, 0.2, 0.22, 1, 0.85, 0.3, 0.55 }, { 0.85, 0.35, 0.3, 0.2, 0.9, 0.7, 0.45 }, { 0.3, 0.75, 0.25, 0.95, 0.3, 0.5, 0.5 },
        { 0.75, 0.85, 0.2, 1, 1, 1, 0.35 }, { 0.55, 0.5, 0.12, 0.1, 0.1, 0.3, 0.4 } };
    for (auto& disc : discs) {
        cairo_arc(cr, disc.x * width, disc.y * height, disc.radius * width, 0, 2 * M_PI);
        cairo_set_source_rgba(cr, disc.r, disc.g, disc.b, disc.a);
        cairo_fill(cr);
    }
}

// Deep blue water under layered swells.
void drawTide(cairo_t* cr, double width, double height)
{
    fillLinear(cr, 0, 0, 0, height, { { 0, 0.55, 0.82, 0.95 }, { 0.45, 0.12, 0.45, 0.75 }, { 1, 0.02, 0.12, 0.30 } });
    for (int wave = 0; wave < 5; ++wave) {
        double base = height * (0.45 + 0.11 * wave), amplitude = height * 0.025 * (1 + wave * 0.3);
        cairo_move_to(cr, 0, base);
        for (int step = 1; step <= 48; ++step) {
            double x = width * step / 48;
            cairo_line_to(cr, x, base + amplitude * std::sin(x / width * 2 * M_PI * 1.5 + wave * 1.7));
        }
        cairo_line_to(cr, width, height);
        cairo_line_to(cr, 0, height);
        cairo_close_path(cr);
        cairo_set_source_rgba(cr, 0.02, 0.18 + 0.04 * wave, 0.42 - 0.05 * wave, 0.35);
        cairo_fill(cr);
    }
}

// An evening sky, a low sun and hills.
void drawDusk(cairo_t* cr, double width, double height)
{
    fillLinear(cr, 0, 0, 0, height, { { 0, 0.20, 0.13, 0.40 }, { 0.55, 0.86, 0.40, 0.42 }, { 1, 0.99, 0.76, 0.45 } });
    cairo_arc(cr, width * 0.66, height * 0.8, width * 0.16, 0, 2 * M_PI);
    cairo_set_source_rgba(cr, 1, 0.90, 0.66, 0.75);
    cairo_fill(cr);
    for (int hill = 0; hill < 2; ++hill) {
        cairo_move_to(cr, 0, height * (0.74 + 0.08 * hill));
        cairo_curve_to(cr, width * 0.3, height * (0.66 + 0.1 * hill), width * 0.7, height * (0.84 + 0.02 * hill), width, height * (0.72 + 0.1 * hill));
        cairo_line_to(cr, width, height);
        cairo_line_to(cr, 0, height);
        cairo_close_path(cr);
        cairo_set_source_rgb(cr, 0.28 - 0.12 * hill, 0.14 - 0.06 * hill, 0.30 - 0.1 * hill);
        cairo_fill(cr);
    }
}

// Dark grey with a faint light from the top corner, for bright icons.
void drawGraphite(cairo_t* cr, double width, double height)
{
    fillLinear(cr, 0, 0, width * 0.4, height, { { 0, 0.30, 0.31, 0.34 }, { 1, 0.08, 0.08, 0.10 } });
    cairo_pattern_t* glow = cairo_pattern_create_radial(width * 0.1, 0, 0, width * 0.1, 0, height * 0.6);
    cairo_pattern_add_color_stop_rgba(glow, 0, 1, 1, 1, 0.18);
    cairo_pattern_add_color_stop_rgba(glow, 1, 1, 1, 1, 0);
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);
}

constexpr SBBuiltInWallpaper wallpapers[] = { { "Aurora", drawAurora }, { "Tide", drawTide }, { "Dusk", drawDusk }, { "Graphite", drawGraphite } };

// Kept at the largest screen any phone has, in pixels: every phone crops or
// scales down from it.
CGSize largestScreenPixels()
{
    CGSize largest {};
    for (auto& device : kDevices) {
        largest.width = std::max(largest.width, device.screenSize.width * device.scale);
        largest.height = std::max(largest.height, device.screenSize.height * device.scale);
    }
    return largest;
}

// The picture scaled to cover (0, 0, width, height), cropped about its middle.
void drawFilling(cairo_t* cr, cairo_surface_t* picture, double width, double height)
{
    double pictureWidth = cairo_image_surface_get_width(picture), pictureHeight = cairo_image_surface_get_height(picture);
    double scale = std::max(width / pictureWidth, height / pictureHeight);
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_clip(cr);
    cairo_translate(cr, (width - pictureWidth * scale) / 2, (height - pictureHeight * scale) / 2);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_restore(cr);
}

template <typename Draw> Expected<void> writeHomeBackground(Draw draw)
{
    CGSize pixels = largestScreenPixels();
    UIGraphicsBeginImageContextWithOptions(pixels, true, 1);
    if (auto* context = UIGraphicsGetCurrentContext())
        draw(context->cairo, pixels.width, pixels.height);
    auto picture = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    if (!picture)
        return makeError(ErrorKind::Failed, "no memory for the wallpaper");
    auto jpeg = UIImageJPEGRepresentation(*picture, 0.9);
    DeviceRoot root = DeviceRoot::current();
    std::string_view path = kHomeBackgroundPath;
    root.createFolders(path.substr(0, path.rfind('/')));
    if (jpeg.empty() || !root.writeFile(path, jpeg, device::WriteMode::Atomic))
        return makeError(ErrorKind::Failed, "cannot write " + std::string(path));
    CFNotificationCenterPostNotification(
        CFNotificationCenterGetDarwinNotifyCenter(), CFStringMakeConstantString(kWallpaperChangedNotification), nullptr, nullptr, true);
    return {};
}

}

std::span<const SBBuiltInWallpaper> builtInWallpapers()
{
    return wallpapers;
}

namespace {

// The root's picture, decoded once while the file stays the same: every
// picture of a press draws it. A new file (written atomically) has a new
// inode, so identity and times tell a change.
RefPtr<UIImage> storedHomeBackground()
{
    static std::mutex lock;
    static std::optional<std::array<std::int64_t, 6>> decodedIdentity;
    static RefPtr<UIImage> decoded;
    auto host = DeviceRoot::current().hostPath(kHomeBackgroundPath);
    struct stat status { };
    if (!host || ::lstat(host->c_str(), &status) != 0)
        return nullptr;
    std::array<std::int64_t, 6> identity { static_cast<std::int64_t>(status.st_dev), static_cast<std::int64_t>(status.st_ino), status.st_size,
        status.st_mtim.tv_sec, status.st_mtim.tv_nsec, static_cast<std::int64_t>(std::hash<std::string>()(host->string())) };
    std::lock_guard guard(lock);
    if (decodedIdentity != identity) {
        decoded = UIImage::imageWithContentsOfFile(kHomeBackgroundPath);
        decodedIdentity = identity;
    }
    return decoded;
}

}

void drawHomeBackground(cairo_t* cr, double width, double height)
{
    if (auto picture = storedHomeBackground())
        drawFilling(cr, picture->surface(), width, height);
    else
        wallpapers[0].draw(cr, width, height);
}

RefPtr<UIImage> homeBackgroundImage(CGSize size, CGFloat scale)
{
    UIGraphicsBeginImageContextWithOptions(size, true, scale);
    if (auto* context = UIGraphicsGetCurrentContext())
        drawHomeBackground(context->cairo, size.width, size.height);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

Expected<void> setHomeBackgroundFromHostFile(const std::filesystem::path& path)
{
    auto bytes = device::readFile(path);
    if (!bytes)
        return makeUnexpected(bytes.error());
    return setHomeBackgroundFromData(*bytes);
}

Expected<void> setHomeBackgroundFromData(std::span<const std::uint8_t> bytes)
{
    auto declared = UIImage::declaredPixelSizeOfData(bytes);
    if (!declared)
        return makeError(ErrorKind::Malformed, "not a JPEG, PNG, HEIC or WebP picture");
    // Decoded no smaller than it is kept, at 1/2, 1/4 or 1/8 where that is so.
    CGSize kept = largestScreenPixels();
    int reduction = 1;
    while (reduction < 8 && declared->width / (reduction * 2) >= kept.width && declared->height / (reduction * 2) >= kept.height)
        reduction *= 2;
    auto picture = UIImage::readData(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), 1, reduction);
    if (!picture)
        return makeUnexpected(picture.error());
    return writeHomeBackground([&](cairo_t* cr, double width, double height) { drawFilling(cr, (*picture)->surface(), width, height); });
}

Expected<void> setBuiltInHomeBackground(std::string_view name)
{
    auto found = std::ranges::find_if(wallpapers, [&](auto& wallpaper) { return name == wallpaper.name; });
    if (found == std::end(wallpapers)) {
        std::string names;
        for (auto& wallpaper : wallpapers)
            names += std::string(names.empty() ? "" : ", ") + wallpaper.name;
        return makeError(ErrorKind::NotFound, "no built-in wallpaper \"" + std::string(name) + "\" (there are " + names + ")");
    }
    return writeHomeBackground(found->draw);
}
