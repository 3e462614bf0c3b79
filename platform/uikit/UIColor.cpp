#include "UIColor.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

#include <foundation/NSCoder.h>
#include <objc/ClassBuilder.h>

#include "HSB.h"
#include "UIImage.h"

namespace {

// "%.3g", without depending on the process's locale.
std::string shortDecimal(double value)
{
    char buffer[32];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 3);
    return std::string(buffer, end);
}

std::vector<double> parseNumbers(std::span<const std::uint8_t> bytes)
{
    std::vector<double> numbers;
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    while (!text.empty() && text.back() == '\0')
        text.remove_suffix(1);
    while (!text.empty()) {
        while (!text.empty() && text.front() == ' ')
            text.remove_prefix(1);
        if (text.empty())
            break;
        double value;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc())
            return {};
        numbers.push_back(value);
        text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    }
    return numbers;
}

// Single-precision components as the device writes them, with the exact
// double beside each one that single precision would change.
void encodeComponent(NSCoder* coder, double value, const char* key)
{
    auto single = static_cast<float>(value);
    coder->encodeFloat(single, key);
    if (static_cast<double>(single) != value)
        coder->encodeDouble(value, std::string(key) + "-Double");
}

std::optional<double> decodeComponent(NSCoder* coder, const char* key)
{
    if (auto exact = coder->decodeNumberForKey(std::string(key) + "-Double"))
        return exact;
    return coder->decodeNumberForKey(key);
}

void encodeText(NSCoder* coder, const std::string& text, const char* key)
{
    coder->encodeBytes(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), key);
}

void encodeWithCoder(id self, SEL, NSCoder* coder)
{
    auto* color = static_cast<UIColor*>(self);
    CGFloat red, green, blue, alpha;
    if (color->getWhite(&red, &alpha)) {
        coder->encodeInteger(2, "UIColorComponentCount");
        encodeComponent(coder, red, "UIWhite");
        encodeComponent(coder, alpha, "UIAlpha");
        coder->encodeInteger(4, "NSColorSpace");
        std::string text = shortDecimal(red) + (alpha != 1 ? " " + shortDecimal(alpha) : "");
        encodeText(coder, text, "NSWhite");
        return;
    }
    if (!color->getRed(&red, &green, &blue, &alpha)) {
        // CMYK, as NSColor archives it: NSColorSpace 5 and the components as text.
        if (color->model() != CGColorSpaceModel::CMYK)
            return;
        coder->encodeInteger(5, "NSColorSpace");
        std::string text;
        for (CGFloat component : color->CGColor()->components())
            text += (text.empty() ? "" : " ") + shortDecimal(component);
        encodeText(coder, text, "NSCMYK");
        return;
    }
    coder->encodeInteger(4, "UIColorComponentCount");
    encodeComponent(coder, red, "UIRed");
    encodeComponent(coder, green, "UIGreen");
    encodeComponent(coder, blue, "UIBlue");
    encodeComponent(coder, alpha, "UIAlpha");
    coder->encodeInteger(2, "NSColorSpace");
    std::string text = shortDecimal(red) + " " + shortDecimal(green) + " " + shortDecimal(blue) + (alpha != 1 ? " " + shortDecimal(alpha) : "");
    encodeText(coder, text, "NSRGB");
}

bool isFinite(std::initializer_list<double> values)
{
    for (double value : values) {
        if (!std::isfinite(value))
            return false;
    }
    return true;
}

// Prefers the exact "-Double" keys, then the single-precision ones, then the
// NSRGB / NSWhite text; anything else is not a colour and decodes to nil.
RefPtr<UIColor> decodeColor(NSCoder* coder)
{
    auto red = decodeComponent(coder, "UIRed");
    auto green = decodeComponent(coder, "UIGreen");
    auto blue = decodeComponent(coder, "UIBlue");
    auto white = decodeComponent(coder, "UIWhite");
    double alpha = decodeComponent(coder, "UIAlpha").value_or(1);
    Ref<UIColor> decoded = UIColor::colorWithWhite(0, 1);
    if (red && green && blue)
        decoded = UIColor::colorWithRed(*red, *green, *blue, alpha);
    else if (white)
        decoded = UIColor::colorWithWhite(*white, alpha);
    else if (auto rgb = coder->decodeBytesForKey("NSRGB")) {
        auto numbers = parseNumbers(*rgb);
        if (numbers.size() != 3 && numbers.size() != 4)
            return nullptr;
        decoded = UIColor::colorWithRed(numbers[0], numbers[1], numbers[2], numbers.size() == 4 ? numbers[3] : 1);
    } else if (auto grey = coder->decodeBytesForKey("NSWhite")) {
        auto numbers = parseNumbers(*grey);
        if (numbers.size() != 1 && numbers.size() != 2)
            return nullptr;
        decoded = UIColor::colorWithWhite(numbers[0], numbers.size() == 2 ? numbers[1] : 1);
    } else if (auto cmyk = coder->decodeBytesForKey("NSCMYK")) {
        auto numbers = parseNumbers(*cmyk);
        if (numbers.size() != 4 && numbers.size() != 5)
            return nullptr;
        if (numbers.size() == 4)
            numbers.push_back(1);
        for (double number : numbers) {
            if (!std::isfinite(number))
                return nullptr;
        }
        return UIColor::colorWithCGColor(CGColor::create(CGColorSpaceModel::CMYK, std::move(numbers)));
    } else
        return nullptr;

    CGFloat r, g, b, a;
    if (decoded->getRed(&r, &g, &b, &a) && !isFinite({ r, g, b, a }))
        return nullptr;
    if (decoded->getWhite(&r, &a) && !isFinite({ r, a }))
        return nullptr;
    return decoded;
}

}

id initColorWithCoder(id self, SEL, NSCoder* coder)
{
    RefPtr<UIColor> decoded = decodeColor(coder);
    if (!decoded)
        return nullptr;
    static_cast<UIColor*>(self)->m_color = decoded->m_color;
    return self;
}

Class UIColor::objcClass()
{
    static Class cls = ClassBuilder<UIColor>("UIColor", NSObject::objcClass())
                           .method(encodeWithCoderSelector, &encodeWithCoder)
                           .method(initWithCoderSelector, &initColorWithCoder)
                           .registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredUIColor = UIColor::objcClass();

UIColor::UIColor()
    : m_color(CGColor::create(CGColorSpaceModel::Monochrome, { 0, 1 }))
{
}

Ref<UIColor> UIColor::colorWithCGColor(Ref<class CGColor> color)
{
    auto result = adoptRef(*new UIColor);
    result->m_color = std::move(color);
    return result;
}

Ref<UIColor> UIColor::colorWithPatternImage(Ref<UIImage> image)
{
    auto color = colorWithCGColor(CGColor::create(CGColorSpaceModel::Pattern, { 1 }));
    color->m_patternImage = image.ptr();
    return color;
}

UIImage* UIColor::patternImage() const
{
    return static_cast<UIImage*>(m_patternImage.get());
}

Ref<UIColor> UIColor::colorWithRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
{
    return colorWithCGColor(CGColor::create(CGColorSpaceModel::RGB, { red, green, blue, alpha }));
}

Ref<UIColor> UIColor::colorWithWhite(CGFloat white, CGFloat alpha)
{
    return colorWithCGColor(CGColor::create(CGColorSpaceModel::Monochrome, { white, alpha }));
}

Ref<UIColor> UIColor::colorWithHue(CGFloat hue, CGFloat saturation, CGFloat brightness, CGFloat alpha)
{
    auto rgb = uikit::rgbOfHSB({ hue, saturation, brightness });
    return colorWithRed(rgb.red, rgb.green, rgb.blue, alpha);
}

// The named colours are shared, as UIKit's are: colours never change, and
// SpringBoard asks for them while building every menu.
Ref<UIColor> UIColor::clearColor()
{
    static UIColor* const color = colorWithWhite(0, 0).leakRef();
    return *color;
}
Ref<UIColor> UIColor::blackColor()
{
    static UIColor* const color = colorWithWhite(0, 1).leakRef();
    return *color;
}
Ref<UIColor> UIColor::whiteColor()
{
    static UIColor* const color = colorWithWhite(1, 1).leakRef();
    return *color;
}

Ref<UIColor> UIColor::groupTableViewBackgroundColor()
{
    static UIColor* const color = colorWithRed(239 / 255.0, 239 / 255.0, 244 / 255.0, 1).leakRef();
    return *color;
}
Ref<UIColor> UIColor::lightGrayColor()
{
    static UIColor* const color = colorWithWhite(2.0 / 3.0, 1).leakRef();
    return *color;
}

Ref<UIColor> UIColor::colorWithAlphaComponent(CGFloat alpha) const
{
    std::vector<CGFloat> components = m_color->components();
    if (components.empty())
        components.push_back(alpha);
    else
        components.back() = alpha;
    auto color = colorWithCGColor(CGColor::create(m_color->model(), std::move(components)));
    color->m_patternImage = m_patternImage;
    return color;
}

bool UIColor::getRed(CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) const
{
    auto& components = m_color->components();
    CGFloat r, g, b;
    if (model() == CGColorSpaceModel::RGB && components.size() == 4) {
        r = components[0];
        g = components[1];
        b = components[2];
    } else if (model() == CGColorSpaceModel::Monochrome && components.size() == 2)
        r = g = b = components[0];
    else
        return false;
    if (red)
        *red = r;
    if (green)
        *green = g;
    if (blue)
        *blue = b;
    if (alpha)
        *alpha = m_color->alpha();
    return true;
}

bool UIColor::getHue(CGFloat* hue, CGFloat* saturation, CGFloat* brightness, CGFloat* alpha) const
{
    CGFloat r, g, b, a;
    if (!getRed(&r, &g, &b, &a))
        return false;
    auto hsb = uikit::hsbOfRGB({ r, g, b });
    if (hue)
        *hue = hsb.hue;
    if (saturation)
        *saturation = hsb.saturation;
    if (brightness)
        *brightness = hsb.brightness;
    if (alpha)
        *alpha = a;
    return true;
}

bool UIColor::getWhite(CGFloat* white, CGFloat* alpha) const
{
    if (model() != CGColorSpaceModel::Monochrome || m_color->components().size() != 2)
        return false;
    if (white)
        *white = m_color->components()[0];
    if (alpha)
        *alpha = m_color->alpha();
    return true;
}

bool UIColor::isEqual(const NSObject* other) const
{
    auto* color = objc_dynamicCast<UIColor>(const_cast<NSObject*>(other));
    return color && color->m_color.get() == m_color.get() && color->m_patternImage == m_patternImage;
}

std::size_t UIColor::hash() const
{
    std::size_t value = static_cast<std::size_t>(model()) + reinterpret_cast<std::size_t>(m_patternImage.get());
    for (CGFloat component : m_color->components())
        value = value * 1000003u ^ std::hash<CGFloat>()(component);
    return value;
}

std::string UIColor::description() const
{
    static const char* spaceNames[] = { "UnknownColorSpace", "UIExtendedGrayColorSpace", "UIExtendedSRGBColorSpace", "UIDeviceCMYKColorSpace",
        "UILabColorSpace", "UIDeviceNColorSpace", "UIIndexedColorSpace", "UIPatternColorSpace" };
    std::string text = spaceNames[static_cast<int>(model()) + 1];
    char number[32];
    for (CGFloat component : m_color->components()) {
        std::snprintf(number, sizeof number, " %g", component);
        text += number;
    }
    return text;
}
