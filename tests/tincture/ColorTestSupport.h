#pragma once

#include <array>

#include <tincture/UIColor+Tincture.h>

// A colour's RGBA, or -1s when it has none.
inline std::array<CGFloat, 4> rgba(const UIColor* color)
{
    std::array<CGFloat, 4> components { -1, -1, -1, -1 };
    color->getRed(&components[0], &components[1], &components[2], &components[3]);
    return components;
}

// The list position of a palette colour with exactly this RGB, or -1.
inline int positionOf(const UIColor* color)
{
    auto palette = tincture::flatColors();
    auto wanted = rgba(color);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        auto candidate = rgba(palette[i].ptr());
        if (candidate[0] == wanted[0] && candidate[1] == wanted[1] && candidate[2] == wanted[2])
            return static_cast<int>(i);
    }
    return -1;
}
