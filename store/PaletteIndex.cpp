#include <store/PaletteIndex.h>

#include <string>

#include <tincture/FlatPalette.h>

namespace {

using tincture::FlatColor;
using tincture::Shade;

// The order the settings screens list the colours in, light shades first
// (indices 1 to 24), then the dark ones in the same order (25 to 48).
constexpr std::array<FlatColor, 24> lightOrder { FlatColor::Red, FlatColor::Orange, FlatColor::Yellow, FlatColor::Sand, FlatColor::NavyBlue, FlatColor::Black,
    FlatColor::Magenta, FlatColor::Teal, FlatColor::SkyBlue, FlatColor::Green, FlatColor::Mint, FlatColor::White, FlatColor::Gray, FlatColor::ForestGreen,
    FlatColor::Purple, FlatColor::Brown, FlatColor::Plum, FlatColor::Watermelon, FlatColor::Lime, FlatColor::Pink, FlatColor::Maroon, FlatColor::Coffee,
    FlatColor::PowderBlue, FlatColor::Blue };

// Index 31 ("Dark Magenta") is the dark maroon and 34 ("Dark Green") the dark
// forest green, as they have always been; stored choices depend on it.
constexpr std::array<FlatColor, 24> darkOrder = [] {
    auto order = lightOrder;
    order[31 - 25] = FlatColor::Maroon;
    order[34 - 25] = FlatColor::ForestGreen;
    return order;
}();

const char* labelOf(FlatColor color)
{
    return tincture::flatPalette[tincture::flatPalettePosition(color, Shade::Light)].label;
}

std::array<const char*, 49> colorNames()
{
    static const std::array<std::string, 24> darkLabels = [] {
        std::array<std::string, 24> labels;
        for (std::size_t i = 0; i < lightOrder.size(); ++i)
            labels[i] = std::string("Dark ") + labelOf(lightOrder[i]);
        return labels;
    }();
    std::array<const char*, 49> names { "Default" };
    for (std::size_t i = 0; i < lightOrder.size(); ++i) {
        names[1 + i] = labelOf(lightOrder[i]);
        names[25 + i] = darkLabels[i].c_str();
    }
    return names;
}

}

const std::array<const char*, 49> kColorNames = colorNames();

RefPtr<UIColor> colorInt(std::int64_t index, RefPtr<UIColor> systemColor)
{
    if (index == 0)
        return systemColor;
    if (index < 1 || index > 48)
        return nullptr;
    auto position = static_cast<std::size_t>(index - 1);
    return position < 24 ? tincture::flatPaletteColor(lightOrder[position], Shade::Light) : tincture::flatPaletteColor(darkOrder[position - 24], Shade::Dark);
}
