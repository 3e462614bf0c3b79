#pragma once

// `menutone plist`: Apple's plutil on any property-list file (the user's own
// files, not the device root's): -p, -lint, -convert, -extract, -insert,
// -replace, -remove.

#include <string>
#include <vector>

#include "ExitStatus.h"

extern const char* const kPlistHelp;

ExitStatus plistCommand(const std::vector<std::string>& arguments);
