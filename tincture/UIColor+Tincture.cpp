#include <tincture/UIColor+Tincture.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include <foundation/NSLog.h>
#include <foundation/NSScanner.h>
#include <foundation/NSUserDefaults.h>
#include <foundation/Unicode.h>
#include <uikit/UIGraphics.h>

#include <cairo.h>
#include <mutex>

#include "ImagePixels.h"
#include "UIColor+TincturePrivate.h"
#include "core/NearestFlat.h"
#include <tincture/ColorSpace.h>
#include <tincture/DeltaE.h>
#include <tincture/FlatColor.h>
#include <tincture/FlatPalette.h>

namespace tincture {

#define TINCTURE_DEFINE_FLAT_ACCESSORS(Name, ...)                                                                                                              \
    Ref<UIColor> flat##Name##Color()                                                                                                                           \
    {                                                                                                                                                          \
        return flatPaletteColor(FlatColor::Name, Shade::Light);                                                                                                \
    }                                                                                                                                                          \
    Ref<UIColor> flat##Name##ColorDark()                                                                                                                       \
    {                                                                                                                                                          \
        return flatPaletteColor(FlatColor::Name, Shade::Dark);                                                                                                 \
    }
TINCTURE_FLAT_COLORS(TINCTURE_DEFINE_FLAT_ACCESSORS)
#undef TINCTURE_DEFINE_FLAT_ACCESSORS

std::vector<Ref<UIColor>> flatColors()
{
    std::vector<Ref<UIColor>> colors;
    colors.reserve(flatPaletteSize);
    for (std::size_t position = 0; position < flatPaletteSize; ++position)
        colors.push_back(flatPaletteColor(position));
    return colors;
}

void getRGBAComponents(const UIColor* color, CGFloat components[4])
{
    if (!color)
        return;
    switch (color->model()) {
    case CGColorSpaceModel::Monochrome:
    case CGColorSpaceModel::RGB:
        color->getRed(&components[0], &components[1], &components[2], &components[3]);
        return;
    default:
        NSLog("Unsupported color model: " + std::to_string(static_cast<int>(color->model())));
        components[0] = components[1] = components[2] = 0;
        components[3] = 1;
    }
}

std::uint32_t RGBAValue(const UIColor* color)
{
    if (!color)
        return 0;
    CGFloat components[4] = { 0, 0, 0, 0 };
    getRGBAComponents(color, components);
    std::uint32_t value = 0;
    for (CGFloat component : components) {
        // Truncated toward zero; components outside 0..1 are held to a byte.
        value = value << 8 | static_cast<std::uint32_t>(std::clamp(component * 255, 0.0, 255.0));
    }
    return value;
}

bool isMonochromeOrRGB(const UIColor* color)
{
    return color && (color->model() == CGColorSpaceModel::Monochrome || color->model() == CGColorSpaceModel::RGB);
}

float totalSumOfDifferencesFroml1(double l1, double l2, double a1, double a2, double b1, double b2)
{
    return static_cast<float>(deltaE2000(l1, a1, b1, l2, a2, b2));
}

Color colorValueOf(const UIColor& color)
{
    CGFloat r = 0, g = 0, b = 0, a = 1;
    color.getRed(&r, &g, &b, &a);
    return Color::fromRGB(r, g, b, a);
}

Ref<UIColor> colorWithValue(const Color& color)
{
    return UIColor::colorWithRed(color.red(), color.green(), color.blue(), color.alpha());
}

Ref<UIColor> nearestFlatColorForL(double l, double a, double b, CGFloat alpha)
{
    // The value types' search: both find the same shade.
    std::size_t position = nearestFlatPosition(l, a, b);
    Color nearest = flat(static_cast<FlatColor>(position / 2), position % 2 ? Shade::Dark : Shade::Light);
    return UIColor::colorWithRed(nearest.red(), nearest.green(), nearest.blue(), alpha);
}

namespace {

std::mutex gradientImageLock;
RefPtr<UIImage>& gradientImageSlot()
{
    static auto* slot = new RefPtr<UIImage>;
    return *slot;
}

// A pattern colour stands for the newest gradient image reduced to one pixel,
// opaque; with no gradient image the sample is black.
RefPtr<UIColor> sampledIfPattern(const UIColor* color)
{
    if (!color || !CGColorGetPattern(color->CGColor()))
        return const_cast<UIColor*>(color);
    PixelBytes average { 0, 0, 0, 255 };
    if (auto image = gradientImage())
        average = averagePixel(*image);
    return UIColor::colorWithRed(average.red / 255.0, average.green / 255.0, average.blue / 255.0, 1.0);
}

}

void setGradientImage(RefPtr<UIImage> image)
{
    std::lock_guard guard(gradientImageLock);
    gradientImageSlot() = std::move(image);
}

RefPtr<UIImage> gradientImage()
{
    std::lock_guard guard(gradientImageLock);
    return gradientImageSlot();
}

RefPtr<UIColor> colorWithFlatVersionOf(const UIColor* given, CGFloat alpha)
{
    RefPtr<UIColor> color = sampledIfPattern(given);
    double l, a, b;
    if (!getLightness(color.get(), &l, &a, &b, nullptr))
        return nullptr;
    return nearestFlatColorForL(l, a, b, alpha);
}

RefPtr<UIColor> colorWithFlatVersionOf(const UIColor* color)
{
    return colorWithFlatVersionOf(color, 1.0);
}

RefPtr<UIColor> colorWithFlatVersionFrom(const UIColor* color)
{
    double alpha = 0;
    getLightness(color, nullptr, nullptr, nullptr, &alpha);
    return colorWithFlatVersionOf(color, alpha > 0 ? alpha : 1.0);
}

RefPtr<UIColor> flatten(const UIColor* color)
{
    return colorWithFlatVersionFrom(color);
}

RefPtr<UIColor> colorWithComplementaryFlatColorOf(const UIColor* given, CGFloat alpha)
{
    RefPtr<UIColor> color = sampledIfPattern(given);
    CGFloat hue = 0, saturation = 0, brightness = 0, ownAlpha = 0;
    if (color)
        color->getHue(&hue, &saturation, &brightness, &ownAlpha);
    if (ownAlpha == 0)
        return UIColor::clearColor();
    CGFloat degrees = hue * 360 + 180;
    if (degrees > 360)
        degrees -= 360;
    // Whole degrees and percents, halves away from zero, in single precision.
    float wholeDegrees = std::round(static_cast<float>(degrees));
    float wholeSaturation = std::round(static_cast<float>(saturation * 100));
    float wholeBrightness = std::round(static_cast<float>(brightness * 100));
    auto opposite = UIColor::colorWithHue(wholeDegrees / 360.0, wholeSaturation / 100.0, wholeBrightness / 100.0, alpha);
    return colorWithFlatVersionOf(opposite.ptr(), alpha);
}

RefPtr<UIColor> colorWithComplementaryFlatColorOf(const UIColor* color)
{
    return colorWithComplementaryFlatColorOf(color, 1.0);
}

Ref<UIColor> colorWithContrastingBlackOrWhiteColorOn(const UIColor* given, Flat flat, CGFloat alpha)
{
    RefPtr<UIColor> background = sampledIfPattern(given);
    CGFloat red = 0, green = 0, blue = 0, ownAlpha = 0;
    if (background)
        background->getRed(&red, &green, &blue, &ownAlpha);
    if (alpha == 0)
        return UIColor::clearColor();
    double luminance = 0.2126f * red + 0.7152f * green + 0.0722f * blue;
    if (luminance > 0.6f)
        return flat == Flat::Yes ? colorWithPaletteValues(0, 0, 15, alpha) : UIColor::colorWithRed(0, 0, 0, alpha);
    return flat == Flat::Yes ? colorWithPaletteValues(192, 2, 95, alpha) : UIColor::colorWithRed(1, 1, 1, alpha);
}

Ref<UIColor> colorWithContrastingBlackOrWhiteColorOn(const UIColor* background, Flat flat)
{
    return colorWithContrastingBlackOrWhiteColorOn(background, flat, 1.0);
}

RefPtr<UIColor> colorWithGradientStyle(std::int64_t style, CGRect frame, const std::vector<Ref<UIColor>>& colors)
{
    double width = frame.size.width, height = frame.size.height;
    if (colors.empty() || !(width > 0) || !(height > 0))
        return nullptr;
    UIGraphicsBeginImageContextWithOptions(frame.size, false, UIScreen::mainScreen().scale());
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context) {
        UIGraphicsEndImageContext();
        return nullptr;
    }
    cairo_pattern_t* gradient;
    if (style == 0)
        gradient = cairo_pattern_create_linear(0, height / 2, width, height / 2);
    else if (style == 1)
        gradient = cairo_pattern_create_radial(width / 2, height / 2, 0, width / 2, height / 2, static_cast<float>(std::min(width, height)));
    else
        gradient = cairo_pattern_create_linear(width / 2, 0, width / 2, height);
    for (std::size_t i = 0; i < colors.size(); ++i) {
        CGFloat r = 0, g = 0, b = 0, a = colors[i]->alpha();
        colors[i]->getRed(&r, &g, &b, &a);
        double offset = colors.size() == 1 ? 0 : static_cast<double>(i) / static_cast<double>(colors.size() - 1);
        cairo_pattern_add_color_stop_rgba(gradient, offset, r, g, b, a);
    }
    // The last colour goes on beyond the end, as the draw-after-end option asks.
    cairo_pattern_set_extend(gradient, CAIRO_EXTEND_PAD);
    cairo_set_source(context->cairo, gradient);
    cairo_paint(context->cairo);
    cairo_pattern_destroy(gradient);
    RefPtr<UIImage> image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    if (!image)
        return nullptr;
    setGradientImage(image);
    return UIColor::colorWithPatternImage(*image);
}

RefPtr<UIColor> colorWithAverageColorFromImage(const UIImage* image, CGFloat alpha)
{
    if (!image)
        return nullptr;
    PixelBytes average = averagePixel(*image);
    if (average.alpha == 0)
        return colorWithMinimumSaturation(UIColor::colorWithRed(0, 0, 0, 0).ptr(), 0.15);
    auto color = UIColor::colorWithRed(average.red / 255.0, average.green / 255.0, average.blue / 255.0, alpha);
    return colorWithMinimumSaturation(color.ptr(), 0.15);
}

RefPtr<UIColor> colorWithAverageColorFromImage(const UIImage* image)
{
    return colorWithAverageColorFromImage(image, 1.0);
}

namespace {

RefPtr<UIColor> withBrightnessChangedBy(const UIColor* color, CGFloat change)
{
    CGFloat hue, saturation, brightness, alpha;
    if (!color || !color->getHue(&hue, &saturation, &brightness, &alpha))
        return nullptr;
    return UIColor::colorWithHue(hue, saturation, std::clamp(brightness + change, 0.0, 1.0), alpha);
}

}

RefPtr<UIColor> darkenByPercentage(const UIColor* color, CGFloat amount)
{
    return withBrightnessChangedBy(color, amount > 0 ? -amount : 0);
}

RefPtr<UIColor> lightenByPercentage(const UIColor* color, CGFloat amount)
{
    return withBrightnessChangedBy(color, amount > 0 ? amount : 0);
}

bool isEqualToColor(const UIColor* color, const UIColor* other)
{
    if (!color)
        return false;
    if (isMonochromeOrRGB(color) && isMonochromeOrRGB(other))
        return RGBAValue(color) == RGBAValue(other);
    return color->isEqual(other);
}

unsigned hexValueToUnsigned(std::string_view text)
{
    unsigned value = 0;
    NSScanner::scannerWithString(std::string(text)).scanHexInt(&value);
    return value;
}

RefPtr<UIColor> colorWithHexString(std::string_view text, CGFloat alpha)
{
    if (text.empty())
        return nullptr;
    // Lengths and positions count UTF-16 units, as the platform's strings do.
    std::u16string hex = foundation::utf16FromUTF8(text);
    if (hex.front() != u'#')
        hex.insert(hex.begin(), u'#');
    if (hex.size() != 7 && hex.size() != 4) {
        NSLog("Unsupported string format: " + foundation::utf8FromUTF16(hex));
        return nullptr;
    }
    if (hex.size() == 4)
        hex = { u'#', hex[1], hex[1], hex[2], hex[2], hex[3], hex[3] };
    auto channel = [&](std::size_t start) {
        unsigned value = hexValueToUnsigned("0x" + foundation::utf8FromUTF16(hex.substr(start, 2)));
        return static_cast<CGFloat>(static_cast<float>(value) / 255.0f);
    };
    return UIColor::colorWithRed(channel(1), channel(3), channel(5), alpha);
}

RefPtr<UIColor> colorWithHexString(std::string_view text)
{
    return colorWithHexString(text, 1.0);
}

std::uint32_t generateRandomNumberWithMax(std::int64_t max)
{
    return ::arc4random_uniform(static_cast<std::uint32_t>(max));
}

namespace {

constexpr const char* previousRandomNumberKey = "previousRandomNumber";

// A position in 0..count-1 other than the stored previous pick; a stored 0
// reads as no pick at all.
std::int64_t pickAvoidingPrevious(std::int64_t count)
{
    auto& defaults = NSUserDefaults::standardUserDefaults();
    std::int64_t pick = generateRandomNumberWithMax(count);
    std::int64_t previous = defaults.integerForKey(previousRandomNumberKey);
    if (previous != 0) {
        while (pick == previous)
            pick = generateRandomNumberWithMax(count);
    }
    defaults.setInteger(pick, previousRandomNumberKey);
    defaults.synchronize();
    return pick;
}

}

Ref<UIColor> randomFlatColor()
{
    return flatPaletteColor(static_cast<std::size_t>(pickAvoidingPrevious(flatPaletteSize)));
}

Ref<UIColor> colorWithRandomFlatColorOfShadeStyle(std::int64_t shadeStyle, CGFloat alpha)
{
    auto pick = static_cast<std::size_t>(pickAvoidingPrevious(flatPaletteSize / 2));
    // Light and dark variants alternate in the list.
    return flatPaletteColor(2 * pick + (shadeStyle == 1 ? 1 : 0))->colorWithAlphaComponent(alpha);
}

Ref<UIColor> colorWithRandomFlatColorOfShadeStyle(std::int64_t shadeStyle)
{
    return colorWithRandomFlatColorOfShadeStyle(shadeStyle, 1.0);
}

}
