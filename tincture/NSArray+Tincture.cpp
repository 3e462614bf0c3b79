#include "NSArray+Tincture.h"

#include <objc/Assertions.h>

#include "ImagePixels.h"
#include "UIColor+TincturePrivate.h"
#include "UIImage+TincturePrivate.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace tincture::array {

namespace {

// HSB in the schemes' units: hue in degrees divided in double precision.
Ref<UIColor> colorWithDegrees(double hue, double saturation, double brightness)
{
    return UIColor::colorWithHue(hue / 360, saturation / 100, brightness / 100, 1.0);
}

// A hue moved by an offset, all in single precision, widened for the constructor.
Ref<UIColor> colorWithOffset(double hue, float offset, double saturation, double brightness)
{
    float degrees = add(offset, static_cast<float>(hue));
    return UIColor::colorWithHue(static_cast<double>(degrees / 360.0f), saturation / 100, brightness / 100, 1.0);
}

Ref<UIColor> flattened(const Ref<UIColor>& color)
{
    return flatten(color.ptr()).releaseNonNull();
}

Ref<UIColor> darkenedAndFlattened(const Ref<UIColor>& color)
{
    return flattened(darkenByPercentage(color.ptr(), 0.25).releaseNonNull());
}

bool isSame(const Ref<UIColor>& a, const Ref<UIColor>& b)
{
    return a->isEqual(b.ptr());
}

void flattenAll(std::vector<Ref<UIColor>>& colors)
{
    for (auto& color : colors)
        color = flattened(color);
}

// The complementary and triadic schemes' six checks, once each, in order.
void separateByDarkening(std::vector<Ref<UIColor>>& c)
{
    if (isSame(c[1], c[2]))
        c[1] = darkenedAndFlattened(c[1]);
    if (isSame(c[2], c[3]))
        c[3] = darkenedAndFlattened(c[3]);
    if (isSame(c[0], c[2]))
        c[0] = darkenedAndFlattened(c[0]);
    if (isSame(c[4], c[2]))
        c[4] = darkenedAndFlattened(c[4]);
    if (isSame(c[0], c[1]))
        c[0] = darkenedAndFlattened(c[0]);
    if (isSame(c[3], c[4]))
        c[4] = darkenedAndFlattened(c[4]);
}

}

float add(float offset, float hue)
{
    float sum = hue + offset;
    if (sum > 360)
        return sum - 360;
    if (sum < 0)
        return -sum;
    return sum;
}

std::vector<Ref<UIColor>> analogousColorSchemeFromHue(double h, double s, double b, Flat flat)
{
    std::vector<Ref<UIColor>> c { colorWithOffset(h, -32, s + 5, b + 5), colorWithOffset(h, -16, s + 5, b + 9), colorWithDegrees(h, s, b),
        colorWithOffset(h, 16, s + 5, b + 9), colorWithOffset(h, 32, s + 5, b + 5) };
    if (flat == Flat::No)
        return c;
    flattenAll(c);
    if (isSame(c[1], c[2]))
        c[1] = flattened(colorWithOffset(h, -48, s + 5, b + 9));
    if (isSame(c[2], c[3]))
        c[3] = flattened(colorWithOffset(h, 32, s + 5, b + 9));
    if (isSame(c[0], c[1]))
        c[0] = flattened(colorWithOffset(h, -64, s + 5, b + 9));
    if (isSame(c[0], c[2]))
        c[0] = darkenByPercentage(colorWithOffset(h, -96, s + 5, b + 9).ptr(), 0.25).releaseNonNull();
    if (isSame(c[3], c[4]))
        c[4] = flattened(colorWithOffset(h, 64, s + 5, b + 9));
    if (isSame(c[2], c[4]))
        c[4] = flattened(colorWithOffset(h, 96, s + 5, b + 9));
    return c;
}

std::vector<Ref<UIColor>> complementaryColorSchemeFromHue(double h, double s, double b, Flat flat)
{
    std::vector<Ref<UIColor>> c { colorWithDegrees(h, s + 5, b - 30), colorWithDegrees(h, s - 10, b + 9), colorWithDegrees(h, s, b),
        colorWithOffset(h, 180, s, b), colorWithOffset(h, 180, s + 20, b - 30) };
    if (flat == Flat::Yes) {
        flattenAll(c);
        separateByDarkening(c);
    }
    return c;
}

std::vector<Ref<UIColor>> triadicColorSchemeFromHue(double h, double s, double b, Flat flat)
{
    double richerSaturation = (7 * s) / 6;
    std::vector<Ref<UIColor>> c { colorWithOffset(h, 120, richerSaturation, b - 5), colorWithOffset(h, 120, s, b + 9), colorWithDegrees(h, s, b),
        colorWithOffset(h, 240, richerSaturation, b - 5), colorWithOffset(h, 240, s, b - 30) };
    if (flat == Flat::Yes) {
        flattenAll(c);
        separateByDarkening(c);
    }
    return c;
}

std::vector<Ref<UIColor>> arrayOfColorsWithColorScheme(ColorScheme scheme, const UIColor* base, Flat flat)
{
    CGFloat hue = 0, saturation = 0, brightness = 0;
    if (base)
        base->getHue(&hue, &saturation, &brightness, nullptr);
    double h = hue * 360, s = saturation * 100, b = brightness * 100;
    switch (scheme) {
    case ColorSchemeAnalogous:
        return analogousColorSchemeFromHue(h, s, b, flat);
    case ColorSchemeTriadic:
        return triadicColorSchemeFromHue(h, s, b, flat);
    case ColorSchemeComplementary:
        return complementaryColorSchemeFromHue(h, s, b, flat);
    default:
        objc::assertionFailed(__FILE__, __LINE__, "Oops! Unrecognized color scheme provided as random color.");
    }
}

namespace {

// A pixel's colour as the colour library reads it: each 8-bit channel
// divided in single precision (as the device's float-based conversion does),
// alpha in double.
CGFloat channelOf(std::uint8_t byte)
{
    return static_cast<CGFloat>(static_cast<float>(byte) / 255.0f);
}

// The bytes whose colour has exactly these components, if there are any.
std::optional<std::uint32_t> packedBytesOf(const std::array<CGFloat, 4>& components)
{
    std::uint32_t packed = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        double scaled = components[i] * 255;
        if (!(scaled >= 0 && scaled <= 255))
            return std::nullopt;
        auto byte = static_cast<std::uint8_t>(std::lround(scaled));
        if ((i < 3 ? channelOf(byte) : byte / 255.0) != components[i])
            return std::nullopt;
        packed = packed << 8 | byte;
    }
    return packed;
}

// Every distinct pixel of an image with how often it occurs, in the order
// first seen, in a flat open-addressed table keyed by the pixel's four bytes.
// The table grows with the distinct colours, not the pixels.
struct DistinctPixels {
    std::vector<PixelBytes> pixels;
    std::vector<std::uint64_t> counts;
    std::vector<std::uint32_t> slots; // index + 1; 0 is empty
    std::vector<std::uint32_t> keys;

    explicit DistinctPixels(const UIImage& image)
    {
        // Room for every pixel to differ, up to a million slots; beyond that
        // the table grows only as distinct colours come.
        std::size_t capacity = 1024;
        if (cairo_surface_t* surface = image.surface()) {
            auto pixelCount
                = static_cast<std::size_t>(cairo_image_surface_get_width(surface)) * static_cast<std::size_t>(cairo_image_surface_get_height(surface));
            while (capacity < pixelCount * 2 && capacity < (std::size_t(1) << 20))
                capacity *= 2;
        }
        slots.assign(capacity, 0);
        keys.assign(capacity, 0);
        forEachPixel(image, [&](PixelBytes pixel) {
            std::uint32_t key = pixel.packed();
            std::size_t slot = find(key);
            if (slots[slot]) {
                ++counts[slots[slot] - 1];
                return;
            }
            pixels.push_back(pixel);
            counts.push_back(1);
            slots[slot] = static_cast<std::uint32_t>(pixels.size());
            keys[slot] = key;
            // At most half full, so probes stay short.
            if (pixels.size() * 2 > slots.size())
                grow();
        });
    }

    // The slot holding the key, or the empty one where it would go.
    std::size_t find(std::uint32_t key) const
    {
        std::size_t mask = slots.size() - 1;
        // Fibonacci hashing spreads keys that differ only in low bytes.
        std::size_t slot = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & mask;
        while (slots[slot] && keys[slot] != key)
            slot = (slot + 1) & mask;
        return slot;
    }

    void grow()
    {
        slots.assign(slots.size() * 2, 0);
        keys.assign(keys.size() * 2, 0);
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            std::uint32_t key = pixels[i].packed();
            std::size_t slot = find(key);
            slots[slot] = static_cast<std::uint32_t>(i + 1);
            keys[slot] = key;
        }
    }

    std::uint64_t countOf(std::uint32_t key) const
    {
        std::size_t slot = find(key);
        return slots[slot] ? counts[slots[slot] - 1] : 0;
    }
};

// Steps 3 to 6 of the palette: count, raise, order, keep. Colours are
// counted by their bytes and made as objects only where the walk needs them.
std::vector<Ref<UIColor>> dominantColors(const UIImage& image, std::size_t wanted, Flat flat, NSCountedSet* imageColors)
{
    DistinctPixels distinct(image);
    std::size_t size = distinct.pixels.size();
    auto componentsOf = [&](std::size_t i) {
        auto& pixel = distinct.pixels[i];
        return std::array<CGFloat, 4> { channelOf(pixel.red), channelOf(pixel.green), channelOf(pixel.blue), pixel.alpha / 255.0 };
    };
    auto colorOf = [&](std::size_t i) {
        auto c = componentsOf(i);
        return UIColor::colorWithRed(c[0], c[1], c[2], c[3]);
    };
    if (imageColors) {
        *imageColors = NSCountedSet();
        for (std::size_t i = 0; i < size; ++i)
            imageColors->addObject(colorOf(i).get(), distinct.counts[i]);
    }

    // A colour below saturation 0.15 is raised to it (as getHue: reads it) and
    // looked up as raised, so it mostly counts 0; the others count themselves.
    std::vector<std::uint64_t> counts(size);
    std::vector<RefPtr<UIColor>> raisedColors(size);
    for (std::size_t i = 0; i < size; ++i) {
        auto c = componentsOf(i);
        CGFloat maximum = std::max({ c[0], c[1], c[2] });
        CGFloat delta = maximum - std::min({ c[0], c[1], c[2] });
        CGFloat saturation = maximum > 0 ? delta / maximum : 0;
        if (saturation >= 0.15) {
            counts[i] = distinct.counts[i];
            continue;
        }
        auto raised = colorWithMinimumSaturation(colorOf(i).ptr(), 0.15);
        std::array<CGFloat, 4> key;
        raised->getRed(&key[0], &key[1], &key[2], &key[3]);
        auto bytes = raised->model() == CGColorSpaceModel::RGB ? packedBytesOf(key) : std::nullopt;
        counts[i] = bytes ? distinct.countOf(*bytes) : 0;
        raisedColors[i] = std::move(raised);
    }

    // The higher count first; equal counts in the order first seen.
    std::vector<std::uint32_t> order(size);
    for (std::size_t i = 0; i < size; ++i)
        order[i] = static_cast<std::uint32_t>(i);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return counts[a] != counts[b] ? counts[a] > counts[b] : a < b; });

    std::vector<Ref<UIColor>> kept;
    for (std::uint32_t i : order) {
        RefPtr<UIColor> color = raisedColors[i];
        if (!color)
            color = colorOf(i);
        bool isLikeOneKept = std::any_of(kept.begin(), kept.end(), [&](const Ref<UIColor>& other) { return !isDistinct(color.get(), other.ptr()); });
        if (isLikeOneKept)
            continue;
        if (kept.size() >= wanted)
            break;
        kept.push_back(flat == Flat::Yes ? flatten(color.get()).releaseNonNull() : color.releaseNonNull());
    }
    return kept;
}

}

std::vector<Ref<UIColor>> arrayOfColorsFromImage(const UIImage* image, Flat flat)
{
    constexpr std::size_t paletteSize = 5;
    std::vector<Ref<UIColor>> colors;
    if (image) {
        // An eighth in each direction, in whole pixels (rounded down): a
        // fractional side would leave a partly covered, translucent last row
        // and column, colours the picture does not have. An image below
        // eight points still gives a pixel.
        CGSize size = image->size();
        CGSize reducedSize { std::max(std::floor(size.width / 8), 1.0), std::max(std::floor(size.height / 8), 1.0) };
        if (auto reduced = imageWithImage(image, reducedSize))
            colors = dominantColors(*reduced, paletteSize, flat, nullptr);
    }
    while (colors.size() < paletteSize)
        colors.push_back(UIColor::whiteColor());
    return colors;
}

std::vector<Ref<UIColor>> findColorsOfImage(std::size_t wanted, const UIImage* image, NSCountedSet* imageColors)
{
    if (!image)
        return {};
    return dominantColors(*image, wanted, Flat::No, imageColors);
}

RefPtr<UIColor> colorWithFlatVersionOf(const UIColor* color)
{
    double l, a, b;
    if (!getLightness(color, &l, &a, &b, nullptr))
        return nullptr;
    return nearestFlatColorForL(l, a, b, 1.0);
}

}
