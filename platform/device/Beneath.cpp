#include "Beneath.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>

#include "DevicePath.h"

namespace device {

namespace {

std::atomic<bool> kernelHasOpenat2 { true };
std::atomic<bool> isAvoidingOpenat2 { false };

// O_PATH with O_NOFOLLOW opens a link itself; a link is refused here all the same.
int openLastWithoutLink(int folderFd, const std::string& name, int flags, mode_t mode)
{
    int fd = ::openat(folderFd, name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, mode);
    struct stat status { };
    if (fd >= 0 && (flags & O_PATH) && ::fstat(fd, &status) == 0 && S_ISLNK(status.st_mode)) {
        ::close(fd);
        errno = ELOOP;
        return -1;
    }
    return fd;
}

int openWalkingWithoutLinks(int folderFd, const std::string& relative, int flags, mode_t mode)
{
    if (relative == ".")
        return ::openat(folderFd, ".", flags | O_CLOEXEC, mode);
    FileDescriptor current(::openat(folderFd, ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::size_t start = 0;
    while (current.isValid()) {
        std::size_t end = relative.find('/', start);
        std::string component = relative.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (component == "..") {
            errno = EXDEV;
            return -1;
        }
        if (end == std::string::npos)
            return openLastWithoutLink(current.get(), component, flags, mode);
        current = FileDescriptor(::openat(current.get(), component.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        start = end + 1;
    }
    return -1;
}

}

void avoidOpenat2ForTesting(bool isAvoiding)
{
    isAvoidingOpenat2.store(isAvoiding);
}

int openBeneath(int folderFd, const std::string& relative, int flags, mode_t mode)
{
    bool isCreating = (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE;
    if (!isCreating)
        mode = 0;
    if (kernelHasOpenat2.load(std::memory_order_relaxed) && !isAvoidingOpenat2.load(std::memory_order_relaxed)) {
        open_how how {};
        how.flags = static_cast<std::uint64_t>(flags | O_CLOEXEC);
        how.mode = mode;
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
    return openWalkingWithoutLinks(folderFd, relative, flags, mode);
}

bool createFoldersBeneath(int folderFd, const std::vector<std::string>& components, mode_t mode)
{
    for (std::size_t count = 1; count <= components.size(); ++count) {
        std::string relative = relativePath(components, count);
        if (FileDescriptor(openBeneath(folderFd, relative, O_PATH | O_DIRECTORY)).isValid())
            continue;
        if (errno != ENOENT)
            return false;
        FileDescriptor parent(openBeneath(folderFd, relativePath(components, count - 1), O_PATH | O_DIRECTORY));
        if (!parent.isValid() || (::mkdirat(parent.get(), components[count - 1].c_str(), count == components.size() ? mode : 0755) != 0 && errno != EEXIST))
            return false;
        if (!FileDescriptor(openBeneath(folderFd, relative, O_PATH | O_DIRECTORY)).isValid())
            return false;
    }
    return true;
}

}
