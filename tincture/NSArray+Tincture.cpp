#include "NSArray+Tincture.h"

#include <objc/Assertions.h>

#include "ImagePixels.h"
#include "TinctureCountedColor.h"
#include "UIColor+TincturePrivate.h"
#include "UIImage+TincturePrivate.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

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

// Steps 3 to 6 of the palette: count, raise, order, keep.
std::vector<Ref<UIColor>> dominantColors(const UIImage& image, std::size_t wanted, Flat flat, NSCountedSet* imageColors)
{
    // Every pixel of the one rendered buffer, counted by its bytes: pixels of
    // equal bytes make equal colours. The first-seen order keeps equal counts in a fixed order.
    std::unordered_map<std::uint32_t, std::size_t> indexOfPixel;
    std::vector<std::pair<PixelBytes, std::uint64_t>> distinct;
    forEachPixel(image, [&](PixelBytes pixel) {
        auto [it, isNew] = indexOfPixel.try_emplace(pixel.packed(), distinct.size());
        if (isNew)
            distinct.push_back({ pixel, 0 });
        ++distinct[it->second].second;
    });
    auto channel = [](std::uint8_t byte) { return static_cast<CGFloat>(static_cast<float>(byte) / 255.0f); };
    // The counted set, keyed as colour equality is for these RGB colours: by their components.
    struct ComponentsHash {
        std::size_t operator()(const std::array<CGFloat, 4>& c) const
        {
            std::size_t value = 0;
            for (CGFloat component : c)
                value = value * 1000003u ^ std::hash<CGFloat>()(component);
            return value;
        }
    };
    std::unordered_map<std::array<CGFloat, 4>, std::uint64_t, ComponentsHash> counts;
    counts.reserve(distinct.size());
    std::vector<Ref<UIColor>> colors;
    colors.reserve(distinct.size());
    for (auto& [pixel, count] : distinct) {
        std::array<CGFloat, 4> components { channel(pixel.red), channel(pixel.green), channel(pixel.blue), pixel.alpha / 255.0 };
        counts.emplace(components, count);
        colors.push_back(UIColor::colorWithRed(components[0], components[1], components[2], components[3]));
    }
    if (imageColors) {
        *imageColors = NSCountedSet();
        for (std::size_t i = 0; i < colors.size(); ++i)
            imageColors->addObject(colors[i].get(), distinct[i].second);
    }

    std::vector<Ref<TinctureCountedColor>> counted;
    counted.reserve(colors.size());
    for (auto& color : colors) {
        auto raised = colorWithMinimumSaturation(color.ptr(), 0.15).releaseNonNull();
        // A colour the raise changed is looked up as raised, and so mostly counts 0.
        std::array<CGFloat, 4> key;
        raised->getRed(&key[0], &key[1], &key[2], &key[3]);
        auto found = raised->model() == CGColorSpaceModel::RGB ? counts.find(key) : counts.end();
        counted.push_back(TinctureCountedColor::create(raised.ptr(), found == counts.end() ? 0 : found->second));
    }
    std::stable_sort(counted.begin(), counted.end(), [](const auto& a, const auto& b) { return a->compare(b.ptr()) == NSOrderedAscending; });

    std::vector<Ref<UIColor>> kept;
    for (auto& entry : counted) {
        RefPtr<UIColor> color = entry->color();
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
