#include "Validators.h"

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
