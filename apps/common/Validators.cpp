#include "Validators.h"

#include <store/PaletteIndex.h>

#include <charconv>
#include <cstdint>
#include <string>

CLI::Validator wholeNumber()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            std::int64_t value;
            auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
            if (text.empty() || error != std::errc() || end != text.data() + text.size())
                return "\"" + text + "\" is not a whole number from " + std::to_string(INT64_MIN) + " to " + std::to_string(INT64_MAX);
            return {};
        },
        "INTEGER");
}

CLI::Validator paletteIndex()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            constexpr auto last = static_cast<std::int64_t>(kColorNames.size()) - 1;
            std::int64_t value;
            auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
            if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0 || value > last)
                return "\"" + text + "\" is not a palette index (a whole number from 0 to " + std::to_string(last) + ")";
            return {};
        },
        "INDEX");
}
