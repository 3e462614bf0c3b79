#include <tincture/FlatPalette.h>

namespace tincture {

Ref<UIColor> colorWithPaletteValues(int hueDegrees, int saturationPercent, int brightnessPercent, CGFloat alpha)
{
    // The single-precision quotient is the float nearest the exact one: IEEE division rounds correctly.
    float hue = static_cast<float>(hueDegrees) / 360.0f;
    float saturation = static_cast<float>(saturationPercent) / 100.0f;
    float brightness = static_cast<float>(brightnessPercent) / 100.0f;
    return UIColor::colorWithHue(hue, saturation, brightness, alpha);
}

Ref<UIColor> flatPaletteColor(std::size_t position)
{
    auto& entry = flatPalette.at(position);
    return colorWithPaletteValues(entry.hueDegrees, entry.saturationPercent, entry.brightnessPercent, 1.0);
}

std::optional<std::size_t> flatPalettePositionOf(const UIColor& color)
{
    CGFloat red, green, blue;
    if (!color.getRed(&red, &green, &blue, nullptr))
        return std::nullopt;
    for (std::size_t position = 0; position < flatPaletteSize; ++position) {
        CGFloat r, g, b;
        flatPaletteColor(position)->getRed(&r, &g, &b, nullptr);
        if (r == red && g == green && b == blue)
            return position;
    }
    return std::nullopt;
}

}
