#include "ColorDescription.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ColorText.h"

std::string colorDescription(const UIColor* color, SwatchDepth swatches)
{
    if (!color)
        return "none";
    CGFloat r = 0, g = 0, b = 0, a = 0;
    if (!color->getRed(&r, &g, &b, &a))
        return color->description();
    auto byte = [](CGFloat component) { return static_cast<int>(std::lround(std::clamp(component, 0.0, 1.0) * 255)); };
    char text[160];
    std::snprintf(text, sizeof text, "#%02X%02X%02X  r=%.6g g=%.6g b=%.6g a=%.6g", byte(r), byte(g), byte(b), r, g, b, a);
    std::string line = swatch(byte(r), byte(g), byte(b), swatches) + text;
    if (auto name = flatColorName(*color))
        line += "  " + *name;
    return line;
}

JSON namedColorJSON(const UIColor* color)
{
    JSON json = colorJSON(color);
    if (color && json.is_object())
        if (auto name = flatColorName(*color))
            json["name"] = *name;
    return json;
}
