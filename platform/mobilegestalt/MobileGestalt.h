#pragma once

// libMobileGestalt's device answers, from the device root:
// "ProductVersion" and "BuildVersion" from
// /System/Library/CoreServices/SystemVersion.plist ("ProductVersion",
// "ProductBuildVersion"), "ProductType" from
// /System/Library/CoreServices/DeviceModel.plist ("ProductType").

#include <optional>
#include <string>
#include <string_view>

// None for a key this platform does not answer or a file that is missing.
std::optional<std::string> MGCopyAnswer(std::string_view question);

inline constexpr const char* kMGSystemVersionPath = "/System/Library/CoreServices/SystemVersion.plist";
inline constexpr const char* kMGDeviceModelPath = "/System/Library/CoreServices/DeviceModel.plist";
