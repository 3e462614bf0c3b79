#pragma once

// Icon files an app's bundle names, read as SpringBoard draws them: at the
// size they are drawn, never larger, and each file decoded once a process.

#include <string>

#include <uikit/UIImage.h>

// Files declaring more than this are far beyond any icon and are refused
// before decoding: an app must not be able to make the home screen hold
// hundreds of megabytes per shortcut item.
inline constexpr unsigned maximumIconFileSide = 4096;
inline constexpr double maximumIconFilePixelCount = 4e6;

// The image file `fileName` read beneath the bundle's folder (a link out of
// it is not followed), decoded no larger than `drawnPoints` at the screen's
// scale; none for a missing or malformed file, or one declaring too many
// pixels (said on stderr with the app's identifier).
RefPtr<UIImage> iconFileImage(const std::string& bundleFolder, const std::string& fileName, CGFloat drawnPoints, const std::string& identifier);
