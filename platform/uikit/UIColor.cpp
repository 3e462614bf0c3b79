#include "UIColor.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string_view>
#include <vector>

#include <foundation/NSCoder.h>
#include <objc/ClassBuilder.h>

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

void encodeWithCoder(id self, SEL, NSCoder* coder)
{
    auto* color = static_cast<UIColor*>(self);
    double red, green, blue, alpha;
    if (color->getWhite(&red, &alpha)) {
        coder->encodeInteger(2, "UIColorComponentCount");
        encodeComponent(coder, red, "UIWhite");
        encodeComponent(coder, alpha, "UIAlpha");
        coder->encodeInteger(4, "NSColorSpace");
        std::string text = shortDecimal(red) + (alpha != 1 ? " " + shortDecimal(alpha) : "");
        coder->encodeBytes(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), "NSWhite");
        return;
    }
    color->getRed(&red, &green, &blue, &alpha);
    coder->encodeInteger(4, "UIColorComponentCount");
    encodeComponent(coder, red, "UIRed");
    encodeComponent(coder, green, "UIGreen");
    encodeComponent(coder, blue, "UIBlue");
    encodeComponent(coder, alpha, "UIAlpha");
    coder->encodeInteger(2, "NSColorSpace");
    std::string text = shortDecimal(red) + " " + shortDecimal(green) + " " + shortDecimal(blue) + (alpha != 1 ? " " + shortDecimal(alpha) : "");
    coder->encodeBytes(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), "NSRGB");
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
    } else
        return nullptr;

    double r, g, b, a;
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
    static_cast<UIColor*>(self)->setComponents(*decoded);
    return self;
}

void UIColor::setComponents(const UIColor& other)
{
    m_model = other.m_model;
    std::copy(std::begin(other.m_components), std::end(other.m_components), std::begin(m_components));
    m_alpha = other.m_alpha;
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

Ref<UIColor> UIColor::colorWithRed(double red, double green, double blue, double alpha)
{
    auto color = adoptRef(*new UIColor);
    color->m_model = CGColorSpaceModel::RGB;
    color->m_components[0] = red;
    color->m_components[1] = green;
    color->m_components[2] = blue;
    color->m_alpha = alpha;
    return color;
}

Ref<UIColor> UIColor::colorWithWhite(double white, double alpha)
{
    auto color = adoptRef(*new UIColor);
    color->m_model = CGColorSpaceModel::Monochrome;
    color->m_components[0] = white;
    color->m_alpha = alpha;
    return color;
}

bool UIColor::getRed(double* red, double* green, double* blue, double* alpha) const
{
    double r, g, b;
    if (m_model == CGColorSpaceModel::RGB) {
        r = m_components[0];
        g = m_components[1];
        b = m_components[2];
    } else if (m_model == CGColorSpaceModel::Monochrome)
        r = g = b = m_components[0];
    else
        return false;
    if (red)
        *red = r;
    if (green)
        *green = g;
    if (blue)
        *blue = b;
    if (alpha)
        *alpha = m_alpha;
    return true;
}

bool UIColor::getWhite(double* white, double* alpha) const
{
    if (m_model != CGColorSpaceModel::Monochrome)
        return false;
    if (white)
        *white = m_components[0];
    if (alpha)
        *alpha = m_alpha;
    return true;
}

bool UIColor::isEqual(const NSObject* other) const
{
    auto* color = objc_dynamicCast<UIColor>(const_cast<NSObject*>(other));
    if (!color || color->m_model != m_model || color->m_alpha != m_alpha)
        return false;
    return std::equal(std::begin(m_components), std::end(m_components), std::begin(color->m_components));
}

std::string UIColor::description() const
{
    char text[128];
    if (m_model == CGColorSpaceModel::Monochrome)
        std::snprintf(text, sizeof text, "UIExtendedGrayColorSpace %g %g", m_components[0], m_alpha);
    else
        std::snprintf(text, sizeof text, "UIExtendedSRGBColorSpace %g %g %g %g", m_components[0], m_components[1], m_components[2], m_alpha);
    return text;
}
