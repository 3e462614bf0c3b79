#pragma once

// `menutone app`: installing apps into the root's Applications folder, as
// the device's installer does, from an .app folder or an .ipa archive (a zip
// holding Payload/NAME.app); listing and removing them. A running home
// screen hears of each change by the installer's notifications.

#include <string>

#include "ExitStatus.h"

// Bounds on what an app may bring: no real app comes near them, and an
// archive must not be made to fill the disk.
inline constexpr std::uintmax_t maximumAppBytes = 512 * 1024 * 1024;
inline constexpr std::size_t maximumAppEntries = 20000;

ExitStatus appInstall(const std::string& hostPath);
ExitStatus appList(bool isJSON);
ExitStatus appRemove(const std::string& bundleIdentifier);
