#pragma once

// The ten blur styles' labels, by stored value.

#include <array>
#include <cstdint>
#include <string>

inline constexpr std::array<const char*, 10> kBlurStyleNames { "Default", "Blur", "Light", "Light Low", "Semi Light", "Adaptive Light", "Ultra Light", "Dark",
    "Dark Low", "Ultra Dark" };

// A stored value outside 0..9 has no label of its own; the row shows the
// empty text rather than failing to build.
inline std::string blurStyleName(std::int64_t style)
{
    return style >= 0 && style < static_cast<std::int64_t>(kBlurStyleNames.size()) ? kBlurStyleNames[static_cast<std::size_t>(style)] : "";
}
