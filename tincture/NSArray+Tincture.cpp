#include <tincture/NSArray+Tincture.h>

#include <device/PrefaultedBuffer.h>
#include <objc/Assertions.h>
#include <uikit/HSB.h>

#include "ImagePixels.h"
#include "UIColor+TincturePrivate.h"
#include "UIImage+TincturePrivate.h"
#include "core/ColorSchemeOfHue.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace tincture::array {

namespace {

// The value types' scheme as the category's objects.
std::vector<Ref<UIColor>> colorsOf(const std::array<Color, 5>& colors)
{
    std::vector<Ref<UIColor>> objects;
    objects.reserve(colors.size());
    for (auto& color : colors)
        objects.push_back(colorWithValue(color));
    return objects;
}

std::vector<Ref<UIColor>> schemeFromHue(Scheme scheme, double h, double s, double b, Flat flat)
{
    return colorsOf(schemeOfHue(scheme, h, s, b, flat == Flat::Yes));
}

}

float add(float offset, float hue)
{
    return addDegrees(offset, hue);
}

std::vector<Ref<UIColor>> analogousColorSchemeFromHue(double h, double s, double b, Flat flat)
{
    return schemeFromHue(Scheme::Analogous, h, s, b, flat);
}

std::vector<Ref<UIColor>> complementaryColorSchemeFromHue(double h, double s, double b, Flat flat)
{
    return schemeFromHue(Scheme::Complementary, h, s, b, flat);
}

std::vector<Ref<UIColor>> triadicColorSchemeFromHue(double h, double s, double b, Flat flat)
{
    return schemeFromHue(Scheme::Triadic, h, s, b, flat);
}

std::vector<Ref<UIColor>> arrayOfColorsWithColorScheme(ColorScheme scheme, const UIColor* base, Flat flat)
{
    CGFloat hue = 0, saturation = 0, brightness = 0;
    if (base)
        base->getHue(&hue, &saturation, &brightness, nullptr);
    switch (scheme) {
    case ColorSchemeAnalogous:
    case ColorSchemeTriadic:
    case ColorSchemeComplementary:
        return schemeFromHue(static_cast<Scheme>(scheme), hue * 360, saturation * 100, brightness * 100, flat);
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
        // Rounded half up (scaled is not negative); a component between two
        // bytes matches neither, however it rounds.
        auto byte = static_cast<std::uint8_t>(scaled + 0.5);
        if ((i < 3 ? channelOf(byte) : byte / 255.0) != components[i])
            return std::nullopt;
        packed = packed << 8 | byte;
    }
    return packed;
}

// Every distinct pixel of an image with how often it occurs, in the order
// first seen, in a flat open-addressed table keyed by the pixel's four bytes.
// The table holds indices into the distinct keys and grows with them, not
// with the pixels; memory is what a photo's palette costs most here.
struct DistinctPixels {
    std::vector<std::uint32_t> keys; // packed bytes, in the order first seen
    std::vector<std::uint32_t> counts;
    device::PrefaultedBuffer<std::uint32_t> slots; // index + 1 into keys; 0 is empty

    explicit DistinctPixels(const UIImage& image)
    {
        // Room for every pixel to differ at three quarters full, up to a
        // million slots; beyond that the table grows as distinct colours come.
        std::size_t pixelCount = 0;
        if (cairo_surface_t* surface = image.surface())
            pixelCount = static_cast<std::size_t>(cairo_image_surface_get_width(surface)) * static_cast<std::size_t>(cairo_image_surface_get_height(surface));
        std::size_t capacity = 1024;
        while (capacity * 3 < pixelCount * 4 && capacity < (std::size_t(1) << 20))
            capacity *= 2;
        slots = device::PrefaultedBuffer<std::uint32_t>(capacity);
        keys.reserve(std::min(pixelCount, capacity));
        counts.reserve(std::min(pixelCount, capacity));
        forEachPixel(image, [&](PixelBytes pixel) {
            std::uint32_t key = pixel.packed();
            std::size_t slot = find(key);
            if (slots[slot]) {
                ++counts[slots[slot] - 1];
                return;
            }
            keys.push_back(key);
            counts.push_back(1);
            slots[slot] = static_cast<std::uint32_t>(keys.size());
            if (keys.size() * 4 > slots.size() * 3)
                grow();
        });
    }

    // The slot holding the key, or the empty one where it would go.
    std::size_t find(std::uint32_t key) const
    {
        std::size_t mask = slots.size() - 1;
        // Fibonacci hashing spreads keys that differ only in low bytes.
        std::size_t slot = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & mask;
        while (slots[slot] && keys[slots[slot] - 1] != key)
            slot = (slot + 1) & mask;
        return slot;
    }

    void grow()
    {
        slots = device::PrefaultedBuffer<std::uint32_t>(slots.size() * 2);
        for (std::size_t i = 0; i < keys.size(); ++i)
            slots[find(keys[i])] = static_cast<std::uint32_t>(i + 1);
    }

    std::uint32_t countOf(std::uint32_t key) const
    {
        std::size_t slot = find(key);
        return slots[slot] ? counts[slots[slot] - 1] : 0;
    }

    PixelBytes pixel(std::size_t i) const { return PixelBytes::fromPacked(keys[i]); }
};

constexpr CGFloat paletteMinimumSaturation = 0.15;

Ref<UIColor> colorOf(PixelBytes pixel)
{
    return UIColor::colorWithRed(channelOf(pixel.red), channelOf(pixel.green), channelOf(pixel.blue), pixel.alpha / 255.0);
}

// Steps 3 to 6 of the palette: count, raise, order, keep. Colours are
// counted by their bytes and made as objects only where the walk needs them.
std::vector<Ref<UIColor>> dominantColors(const UIImage& image, std::size_t wanted, Flat flat, NSCountedSet* imageColors)
{
    DistinctPixels distinct(image);
    std::size_t size = distinct.keys.size();
    if (imageColors) {
        *imageColors = NSCountedSet();
        for (std::size_t i = 0; i < size; ++i)
            imageColors->addObject(colorOf(distinct.pixel(i)).get(), distinct.counts[i]);
    }

    // A colour below the minimum saturation is raised to it (as getHue: reads
    // it, and colorWithHue: makes it) and looked up as raised, so it mostly
    // counts 0; the others count themselves. All on bare components, the
    // same arithmetic as the colour objects': a photo's walk passes thousands.
    auto componentsOf = [&](std::size_t i) {
        PixelBytes pixel = distinct.pixel(i);
        uikit::RGB rgb { channelOf(pixel.red), channelOf(pixel.green), channelOf(pixel.blue) };
        auto hsb = uikit::hsbOfRGB(rgb);
        if (hsb.saturation < paletteMinimumSaturation)
            rgb = uikit::rgbOfHSB({ hsb.hue, paletteMinimumSaturation, hsb.brightness });
        return std::array<CGFloat, 4> { rgb.red, rgb.green, rgb.blue, pixel.alpha / 255.0 };
    };
    // Ordered by the count so found: the higher first, equal counts in the
    // order first seen. Each entry is its count's complement above its
    // index, so ascending order is the walk's; it is ordered a stretch at a
    // time as the walk goes.
    device::PrefaultedBuffer<std::uint64_t> order(size);
    for (std::size_t i = 0; i < size; ++i) {
        std::uint32_t count = 0;
        if (auto bytes = packedBytesOf(componentsOf(i)))
            count = *bytes == distinct.keys[i] ? distinct.counts[i] : distinct.countOf(*bytes);
        order[i] = std::uint64_t(~count) << 32 | i;
    }
    std::size_t ordered = 0;
    auto orderMore = [&] {
        std::size_t next = std::min(size, std::max<std::size_t>(256, ordered * 4));
        auto *from = order.begin() + ordered, *to = order.begin() + next;
        std::nth_element(from, to - 1, order.end());
        std::sort(from, to);
        ordered = next;
    };

    std::vector<std::array<CGFloat, 4>> keptComponents;
    std::vector<Ref<UIColor>> kept;
    for (std::size_t position = 0; position < size; ++position) {
        if (position == ordered)
            orderMore();
        auto rgba = componentsOf(static_cast<std::uint32_t>(order[position]));
        bool isLikeOneKept = std::any_of(keptComponents.begin(), keptComponents.end(), [&](auto& other) { return !isDistinct(rgba, other); });
        if (isLikeOneKept)
            continue;
        if (kept.size() >= wanted)
            break;
        keptComponents.push_back(rgba);
        auto color = UIColor::colorWithRed(rgba[0], rgba[1], rgba[2], rgba[3]);
        kept.push_back(flat == Flat::Yes ? flatten(color.ptr()).releaseNonNull() : std::move(color));
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
