#include "JSON.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include <uikit/UIColor.h>
#include <uikit/UIFont.h>

JSON jsonNumber(double value)
{
    if (!std::isfinite(value))
        return nullptr;
    // Integral values print without a fraction, as the commands always printed them.
    if (value == std::trunc(value) && std::fabs(value) < 9.0e15)
        return static_cast<std::int64_t>(value);
    return value;
}

JSON colorJSON(double red, double green, double blue, double alpha)
{
    return JSON { { "r", jsonNumber(red) }, { "g", jsonNumber(green) }, { "b", jsonNumber(blue) }, { "a", jsonNumber(alpha) } };
}

JSON colorJSON(const UIColor* color)
{
    CGFloat red, green, blue, alpha;
    if (!color || !color->getRed(&red, &green, &blue, &alpha))
        return nullptr;
    return colorJSON(red, green, blue, alpha);
}

JSON fontJSON(const UIFont* font)
{
    if (!font)
        return nullptr;
    return { { "name", font->fontName() }, { "size", jsonNumber(font->pointSize()) } };
}

JSON frameJSON(CGRect frame)
{
    return JSON { { "x", jsonNumber(frame.origin.x) }, { "y", jsonNumber(frame.origin.y) }, { "width", jsonNumber(frame.size.width) },
        { "height", jsonNumber(frame.size.height) } };
}

std::string jsonText(const JSON& json)
{
    return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string shortestDecimal(double value)
{
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end);
}
