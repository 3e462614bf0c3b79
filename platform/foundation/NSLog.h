#pragma once

#include <string_view>

// A line on stderr, as the device's console log takes it.
void NSLog(std::string_view message);
