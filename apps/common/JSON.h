#pragma once

// The little JSON the commands print: strings escaped, doubles in their
// shortest form that reads back to the same value.

#include <string>
#include <string_view>

std::string jsonString(std::string_view);
std::string jsonNumber(double); // null for infinities and NaN, which JSON lacks
std::string shortestDecimal(double);
