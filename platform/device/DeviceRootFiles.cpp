// The device root's file access at the moment of use. A path is resolved by
// the kernel beneath the root's folder descriptor (openat2, Linux 5.6), never
// checked first and opened by name after, which a swapped folder could race.

#include "DeviceRoot.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "DevicePath.h"

using device::FileDescriptor;

namespace {

std::atomic<bool> kernelHasOpenat2 { true };

// Without openat2, a walk of O_NOFOLLOW folder descriptors: safe, but it
// refuses every link, not only those that leave.
int openWalkingWithoutLinks(int folderFd, const std::string& relative, int flags, mode_t mode)
{
    FileDescriptor current(::openat(folderFd, ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::size_t start = 0;
    while (current.isValid()) {
        std::size_t end = relative.find('/', start);
        std::string component = relative.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (end == std::string::npos)
            return ::openat(current.get(), component.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, mode);
        current = FileDescriptor(::openat(current.get(), component.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        start = end + 1;
    }
    return -1;
}

int openBeneath(int folderFd, const std::string& relative, int flags, mode_t mode)
{
    bool isCreating = (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE;
    if (kernelHasOpenat2.load(std::memory_order_relaxed)) {
        open_how how {};
        how.flags = static_cast<std::uint64_t>(flags | O_CLOEXEC);
        how.mode = isCreating ? mode : 0;
        how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
        // EAGAIN: a rename elsewhere raced the walk; the kernel asks to try again.
        for (int attempt = 0; attempt < 64; ++attempt) {
            long fd = ::syscall(SYS_openat2, folderFd, relative.c_str(), &how, sizeof how);
            if (fd >= 0)
                return static_cast<int>(fd);
            if (errno == EAGAIN || errno == EINTR)
                continue;
            if (errno != ENOSYS)
                return -1;
            kernelHasOpenat2.store(false, std::memory_order_relaxed);
            break;
        }
        if (kernelHasOpenat2.load(std::memory_order_relaxed))
            return -1;
    }
    if (relative == ".")
        return ::openat(folderFd, ".", flags | O_CLOEXEC, mode);
    return openWalkingWithoutLinks(folderFd, relative, flags, isCreating ? mode : 0);
}

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

std::optional<std::vector<std::uint8_t>> DeviceRoot::readFile(std::string_view devicePath, device::ReadFailure* failure) const
{
    // Non-blocking so that a FIFO left in the way cannot hang the reader.
    FileDescriptor file = open(devicePath, O_RDONLY | O_NONBLOCK);
    return device::readOpenFile(file.get(), failure);
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

bool DeviceRoot::moveItem(std::string_view fromDevicePath, std::string_view toDevicePath) const
{
    auto from = device::devicePathComponents(fromDevicePath);
    auto to = device::devicePathComponents(toDevicePath);
    if (!from || !to || from->empty() || to->empty())
        return false;
    FileDescriptor fromFolder = openParentBeneath(m_hostFolder, *from, O_PATH);
    FileDescriptor toFolder = openParentBeneath(m_hostFolder, *to, O_PATH);
    return fromFolder.isValid() && toFolder.isValid() && ::renameat(fromFolder.get(), from->back().c_str(), toFolder.get(), to->back().c_str()) == 0;
}

bool DeviceRoot::createFolders(std::string_view devicePath, mode_t mode) const
{
    auto components = device::devicePathComponents(devicePath);
    if (!components)
        return false;
    FileDescriptor root(::open(m_hostFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!root.isValid())
        return false;
    for (std::size_t count = 1; count <= components->size(); ++count) {
        std::string relative = device::relativePath(*components, count);
        if (FileDescriptor(openBeneath(root.get(), relative, O_PATH | O_DIRECTORY, 0)).isValid())
            continue;
        if (errno != ENOENT)
            return false;
        FileDescriptor parent(openBeneath(root.get(), device::relativePath(*components, count - 1), O_PATH | O_DIRECTORY, 0));
        if (!parent.isValid() || (::mkdirat(parent.get(), (*components)[count - 1].c_str(), count == components->size() ? mode : 0755) != 0 && errno != EEXIST))
            return false;
        if (!FileDescriptor(openBeneath(root.get(), relative, O_PATH | O_DIRECTORY, 0)).isValid())
            return false;
    }
    return true;
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
        FileDescriptor parent(openBeneath(root.get(), device::relativePath(*components, count - 1), O_PATH | O_DIRECTORY, 0));
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
