#pragma once

#include <filesystem>

// Writes a natural-looking landscape photo as a JPEG: sky, sun, hills, trees
// and grain, the same every time. Made here, so nothing is downloaded.
bool writeTestPhoto(const std::filesystem::path&, int width = 4032, int height = 3024);
