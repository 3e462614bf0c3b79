#pragma once

// The device root: a host folder that stands for the device's file system.
// Product code names device paths ("/var/mobile/Library/Preferences/...");
// the platform maps them under the root and refuses any that would leave it.

#include <filesystem>
#include <optional>
#include <string_view>

class DeviceRoot {
public:
    explicit DeviceRoot(std::filesystem::path hostFolder);

    // The root of this process: set by --root, else MENUTONE_ROOT, else the
    // root that the build lays out.
    static DeviceRoot current();
    static void setCurrent(const std::filesystem::path& hostFolder);
    static std::filesystem::path defaultHostFolder();

    const std::filesystem::path& hostFolder() const { return m_hostFolder; }

    // The host path of an absolute device path, or none when the path is not
    // absolute, holds a NUL, climbs above "/" or leads out of the root
    // through a symbolic link.
    std::optional<std::filesystem::path> hostPath(std::string_view devicePath) const;

    // The folders a fresh device has and the platform writes into.
    bool createStandardFolders() const;

private:
    std::filesystem::path m_hostFolder;
};
