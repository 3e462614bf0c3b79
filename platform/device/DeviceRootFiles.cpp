// The device root's file access at the moment of use. A path is resolved by
// the kernel beneath the root's folder descriptor (openat2, Linux 5.6), never
// checked first and opened by name after, which a swapped folder could race.

#include "DeviceRoot.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

#include "Beneath.h"
#include "DevicePath.h"

using device::FileDescriptor;
using device::openBeneath;

namespace {

bool removeContents(int folderFd)
{
    bool isRemoved = true;
    for (auto& name : device::folderEntries(folderFd)) {
        struct stat status { };
        if (::fstatat(folderFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(status.st_mode)) {
            FileDescriptor child(::openat(folderFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            isRemoved = child.isValid() && removeContents(child.get()) && ::unlinkat(folderFd, name.c_str(), AT_REMOVEDIR) == 0 && isRemoved;
        } else
            isRemoved = ::unlinkat(folderFd, name.c_str(), 0) == 0 && isRemoved;
    }
    return isRemoved;
}

// The folder that holds the path's last component, opened beneath the root.
FileDescriptor openParentBeneath(const std::filesystem::path& rootFolder, const std::vector<std::string>& components, int flags)
{
    FileDescriptor root(::open(rootFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!root.isValid() || components.empty())
        return FileDescriptor();
    return FileDescriptor(openBeneath(root.get(), device::relativePath(components, components.size() - 1), flags | O_DIRECTORY, 0));
}

}

FileDescriptor DeviceRoot::open(std::string_view devicePath, int flags, mode_t mode) const
{
    auto components = device::devicePathComponents(devicePath);
    if (!components) {
        errno = EXDEV;
        return FileDescriptor();
    }
    FileDescriptor root(::open(m_hostFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!root.isValid())
        return FileDescriptor();
    return FileDescriptor(openBeneath(root.get(), device::relativePath(*components, components->size()), flags, mode));
}

Expected<device::Bytes> DeviceRoot::readFile(std::string_view devicePath) const
{
    // Non-blocking so that a FIFO left in the way cannot hang the reader.
    FileDescriptor file = open(devicePath, O_RDONLY | O_NONBLOCK);
    return device::readOpenFile(file.get());
}

bool DeviceRoot::writeFile(std::string_view devicePath, std::span<const std::uint8_t> bytes, device::WriteMode mode) const
{
    auto components = device::devicePathComponents(devicePath);
    if (!components || components->empty())
        return false;
    FileDescriptor folder = openParentBeneath(m_hostFolder, *components, O_RDONLY);
    return folder.isValid() && device::writeFileInFolder(folder.get(), components->back(), bytes, mode);
}

bool DeviceRoot::fileExists(std::string_view devicePath) const
{
    return open(devicePath, O_PATH).isValid();
}

bool DeviceRoot::isFolder(std::string_view devicePath) const
{
    return open(devicePath, O_PATH | O_DIRECTORY).isValid();
}

bool DeviceRoot::removeItem(std::string_view devicePath) const
{
    auto components = device::devicePathComponents(devicePath);
    if (!components || components->empty())
        return false;
    FileDescriptor folder = openParentBeneath(m_hostFolder, *components, O_PATH);
    if (!folder.isValid())
        return false;
    const std::string& name = components->back();
    struct stat status { };
    if (::fstatat(folder.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (!S_ISDIR(status.st_mode))
        return ::unlinkat(folder.get(), name.c_str(), 0) == 0;
    FileDescriptor item(::openat(folder.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    return item.isValid() && removeContents(item.get()) && ::unlinkat(folder.get(), name.c_str(), AT_REMOVEDIR) == 0;
}

namespace {

// renameat2 between two entries of the root, each end's folder opened beneath it.
bool renameBeneath(const std::filesystem::path& rootFolder, std::string_view fromDevicePath, std::string_view toDevicePath, unsigned flags)
{
    auto from = device::devicePathComponents(fromDevicePath);
    auto to = device::devicePathComponents(toDevicePath);
    if (!from || !to || from->empty() || to->empty())
        return false;
    FileDescriptor fromFolder = openParentBeneath(rootFolder, *from, O_PATH);
    FileDescriptor toFolder = openParentBeneath(rootFolder, *to, O_PATH);
    return fromFolder.isValid() && toFolder.isValid() && ::renameat2(fromFolder.get(), from->back().c_str(), toFolder.get(), to->back().c_str(), flags) == 0;
}

}

bool DeviceRoot::moveItem(std::string_view fromDevicePath, std::string_view toDevicePath) const
{
    return renameBeneath(m_hostFolder, fromDevicePath, toDevicePath, 0);
}

bool DeviceRoot::createFolders(std::string_view devicePath, mode_t mode) const
{
    auto components = device::devicePathComponents(devicePath);
    if (!components)
        return false;
    FileDescriptor root(::open(m_hostFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    return root.isValid() && device::createFoldersBeneath(root.get(), *components, mode);
}

std::vector<std::string> DeviceRoot::namesWithExtension(std::string_view deviceFolder, const std::string& extension) const
{
    FileDescriptor folder = open(deviceFolder, O_RDONLY | O_DIRECTORY);
    return device::namesWithExtensionInFolder(folder.get(), extension);
}

std::optional<std::string> DeviceRoot::linkLeavingRoot(std::string_view devicePath) const
{
    auto components = device::devicePathComponents(devicePath);
    if (!components)
        return std::nullopt;
    FileDescriptor root(::open(m_hostFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!root.isValid())
        return std::nullopt;
    for (std::size_t count = 1; count <= components->size(); ++count) {
        std::string relative = device::relativePath(*components, count);
        FileDescriptor parent(openBeneath(root.get(), device::relativePath(*components, count - 1), O_PATH | O_DIRECTORY));
        struct stat status { };
        if (!parent.isValid() || ::fstatat(parent.get(), (*components)[count - 1].c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
            return std::nullopt;
        if (!S_ISLNK(status.st_mode))
            continue;
        if (!FileDescriptor(openBeneath(root.get(), relative, O_PATH, 0)).isValid() && (errno == EXDEV || errno == ELOOP))
            return "/" + relative;
    }
    return std::nullopt;
}

bool DeviceRoot::exchangeItems(std::string_view firstDevicePath, std::string_view secondDevicePath) const
{
    return renameBeneath(m_hostFolder, firstDevicePath, secondDevicePath, RENAME_EXCHANGE);
}

Expected<device::Bytes> DeviceRoot::readFileInFolder(std::string_view deviceFolder, const std::string& relative) const
{
    FileDescriptor folder = open(deviceFolder, O_PATH | O_DIRECTORY);
    FileDescriptor file(folder.isValid() ? openBeneath(folder.get(), relative, O_RDONLY | O_NONBLOCK) : -1);
    return device::readOpenFile(file.get());
}

std::string DeviceRoot::scratchName(std::string_view prefix)
{
    return std::string(prefix) + "-" + std::to_string(::getpid());
}

void DeviceRoot::removeAbandonedScratch(std::string_view deviceFolder, std::string_view prefix) const
{
    FileDescriptor folder = open(deviceFolder, O_RDONLY | O_DIRECTORY);
    std::string start = std::string(prefix) + "-";
    for (auto& name : device::folderEntries(folder.get())) {
        if (!name.starts_with(start))
            continue;
        long pid = 0;
        const char* digits = name.data() + start.size();
        auto [end, error] = std::from_chars(digits, name.data() + name.size(), pid);
        if (error == std::errc() && end == name.data() + name.size() && device::hasProcessEnded(pid))
            removeItem(std::string(deviceFolder) + "/" + name);
    }
}
