#pragma once

// The device root: a host folder that stands for the device's file system.
// Product code names device paths ("/var/mobile/Library/Preferences/...");
// the platform maps them under the root and refuses any that would leave it.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "FileDescriptor.h"
#include "FileSystem.h"

class DeviceRoot {
public:
    explicit DeviceRoot(std::filesystem::path hostFolder);

    // The root of this process: set by --root, else MENUTONE_ROOT, else the
    // default one (device::defaultRootFolder).
    static DeviceRoot current();
    static void setCurrent(const std::filesystem::path& hostFolder);
    static std::filesystem::path defaultHostFolder();

    const std::filesystem::path& hostFolder() const { return m_hostFolder; }

    // The host path of an absolute device path, or none when the path is not
    // absolute, holds a NUL, climbs above "/" or leads out of the root
    // through a symbolic link.
    std::optional<std::filesystem::path> hostPath(std::string_view devicePath) const;

    // Whether the root's folder exists.
    bool exists() const;
    // Whether the folder is a device root: laid out by createStandardFolders,
    // which leaves this marker. A mistyped --root, or "/", is no root.
    bool isDeviceRoot() const;
    static constexpr const char* markerDevicePath = "/.menutone-root";
    static constexpr const char* standardFolders[] = { "/var/mobile/Library/Preferences", "/var/run", "/Library/MobileSubstrate/DynamicLibraries",
        "/Library/PreferenceBundles", "/Library/PreferenceLoader/Preferences", "/Applications" };

    // The folders a fresh device has and the platform writes into, and the marker.
    bool createStandardFolders() const;
    // Leaves the marker that makes the folder a device root.
    bool markAsDeviceRoot() const;

    // File access at the moment of use: each opens the device path beneath
    // the root's folder (openat2 with RESOLVE_BENEATH), so a link inside the
    // root that leads out of it, or a folder swapped for one mid-way, makes
    // the operation fail instead of being followed. Links that stay inside
    // the root are followed. Every step of an atomic write stays in the
    // folder opened this way.
    device::FileDescriptor open(std::string_view devicePath, int flags, mode_t = 0) const;
    Expected<device::Bytes> readFile(std::string_view devicePath) const;
    bool writeFile(std::string_view devicePath, std::span<const std::uint8_t>, device::WriteMode) const;
    bool fileExists(std::string_view devicePath) const;
    bool isFolder(std::string_view devicePath) const;
    // Removes a file, or a folder with everything in it; never the root itself.
    bool removeItem(std::string_view devicePath) const;
    // Renames a file or folder within the root (both ends beneath it),
    // replacing an empty folder or a file at the destination.
    bool moveItem(std::string_view fromDevicePath, std::string_view toDevicePath) const;
    // Swaps two entries of the root in one step (renameat2 RENAME_EXCHANGE):
    // a kill at any moment leaves each path holding one of them, whole.
    bool exchangeItems(std::string_view firstDevicePath, std::string_view secondDevicePath) const;
    // Reads `relative` beneath the root's folder `deviceFolder`: a link that
    // leads out of that folder is not followed, though it stays in the root.
    Expected<device::Bytes> readFileInFolder(std::string_view deviceFolder, const std::string& relative) const;
    // Scratch entries of a folder are named PREFIX-PID while their process
    // works on them; removes those whose process is gone (killed midway).
    void removeAbandonedScratch(std::string_view deviceFolder, std::string_view prefix) const;
    static std::string scratchName(std::string_view prefix);
    // Creates the folder and any missing parents, each beneath the root.
    bool createFolders(std::string_view devicePath, mode_t = 0755) const;
    std::vector<std::string> namesWithExtension(std::string_view deviceFolder, const std::string& extension) const;

    // The first symbolic link along the path that leads out of the root (a
    // device path), or none; says why an operation above was refused.
    std::optional<std::string> linkLeavingRoot(std::string_view devicePath) const;

private:
    std::filesystem::path m_hostFolder;
};
