#include "DeviceRoot.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <vector>

#include "DevicePath.h"
#include "InstallLayout.h"

namespace fs = std::filesystem;

namespace device {

std::optional<std::vector<std::string>> devicePathComponents(std::string_view devicePath)
{
    if (devicePath.empty() || devicePath.front() != '/' || devicePath.find('\0') != std::string_view::npos)
        return std::nullopt;
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= devicePath.size()) {
        std::size_t end = devicePath.find('/', start);
        if (end == std::string_view::npos)
            end = devicePath.size();
        std::string_view component = devicePath.substr(start, end - start);
        if (component == "..") {
            if (components.empty())
                return std::nullopt;
            components.pop_back();
        } else if (!component.empty() && component != ".")
            components.emplace_back(component);
        start = end + 1;
    }
    return components;
}

std::string relativePath(const std::vector<std::string>& components, std::size_t count)
{
    std::string path;
    for (std::size_t i = 0; i < count && i < components.size(); ++i)
        path += (i ? "/" : "") + components[i];
    return path.empty() ? "." : path;
}

}

namespace {

std::mutex rootLock;
std::optional<fs::path> chosenRoot;

bool isWithin(const fs::path& path, const fs::path& folder)
{
    auto [folderEnd, pathIt] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return folderEnd == folder.end();
}

}

DeviceRoot::DeviceRoot(fs::path hostFolder)
    : m_hostFolder(fs::absolute(hostFolder).lexically_normal())
{
    if (!m_hostFolder.has_filename() && m_hostFolder != m_hostFolder.root_path())
        m_hostFolder = m_hostFolder.parent_path();
}

fs::path DeviceRoot::defaultHostFolder()
{
    if (const char* fromEnvironment = std::getenv("MENUTONE_ROOT"); fromEnvironment && *fromEnvironment)
        return fromEnvironment;
    return device::defaultRootFolder();
}

DeviceRoot DeviceRoot::current()
{
    std::lock_guard guard(rootLock);
    if (!chosenRoot)
        chosenRoot = defaultHostFolder();
    return DeviceRoot(*chosenRoot);
}

void DeviceRoot::setCurrent(const fs::path& hostFolder)
{
    std::lock_guard guard(rootLock);
    chosenRoot = hostFolder;
}

std::optional<fs::path> DeviceRoot::hostPath(std::string_view devicePath) const
{
    auto components = device::devicePathComponents(devicePath);
    if (!components)
        return std::nullopt;

    fs::path result = m_hostFolder;
    for (auto& component : *components)
        result /= fs::path(component);

    // A symbolic link inside the root may point anywhere; follow what exists.
    std::error_code error;
    if (fs::exists(m_hostFolder, error)) {
        fs::path canonicalRoot = fs::canonical(m_hostFolder, error);
        if (error)
            return std::nullopt;
        fs::path resolved = fs::weakly_canonical(result, error);
        if (error || !isWithin(resolved, canonicalRoot))
            return std::nullopt;
    }
    return result;
}

bool DeviceRoot::exists() const
{
    struct stat status { };
    return ::stat(m_hostFolder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool DeviceRoot::createStandardFolders() const
{
    std::error_code error;
    fs::create_directories(m_hostFolder, error);
    if (error)
        return false;
    for (const char* folder : standardFolders) {
        if (!createFolders(folder))
            return false;
    }
    return markAsDeviceRoot();
}

bool DeviceRoot::markAsDeviceRoot() const
{
    static const char marker[] = "A device root laid out by menutone root create.\n";
    return isDeviceRoot()
        || writeFile(markerDevicePath, std::span(reinterpret_cast<const std::uint8_t*>(marker), sizeof marker - 1), device::WriteMode::Atomic);
}

bool DeviceRoot::isDeviceRoot() const
{
    return open(markerDevicePath, O_PATH | O_NOFOLLOW).isValid();
}
