#pragma once

#include <filesystem>
#include <string>

#include <base/Expected.h>

// Lays out a device root as the package install does: the standard folders,
// sample apps with shortcut items and icons, and the tweak with its filter
// plist in the loader's folder. Settings already in the root are kept.
Expected<void> createRoot(const std::filesystem::path& folder);
