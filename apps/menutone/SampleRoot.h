#pragma once

#include <filesystem>
#include <string>

// Lays out a device root as the package install does: the standard folders,
// sample apps with shortcut items and icons, and the tweak with its filter
// plist in the loader's folder. Settings already in the root are kept.
bool createRoot(const std::filesystem::path& folder, std::string& error);
