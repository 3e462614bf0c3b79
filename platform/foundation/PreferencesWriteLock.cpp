#include "PreferencesWriteLock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <mutex>

#include <device/DeviceRoot.h>

namespace {

std::recursive_mutex processLock;
int depth = 0;
device::FileDescriptor lockFile;

}

PreferencesWriteLock::PreferencesWriteLock()
{
    processLock.lock();
    if (depth++ > 0)
        return;
    DeviceRoot root = DeviceRoot::current();
    lockFile = root.open(devicePath, O_RDWR | O_CREAT | O_NOFOLLOW, 0644);
    if (!lockFile.isValid() && errno == ENOENT && root.createFolders("/var/run"))
        lockFile = root.open(devicePath, O_RDWR | O_CREAT | O_NOFOLLOW, 0644);
    // A root that cannot hold the lock file is written without it, as before.
    while (lockFile.isValid() && ::flock(lockFile.get(), LOCK_EX) != 0 && errno == EINTR) { }
}

PreferencesWriteLock::~PreferencesWriteLock()
{
    if (--depth == 0)
        lockFile = device::FileDescriptor();
    processLock.unlock();
}
