#include "DynamicLibrary.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>

#include "DeviceRoot.h"

namespace device {

void* loadLibrary(std::string_view devicePath, std::string& error)
{
    FileDescriptor file = DeviceRoot::current().open(devicePath, O_RDONLY | O_NONBLOCK);
    if (!file.isValid()) {
        error = errno == EXDEV || errno == ELOOP ? "it lies outside the device root" : std::strerror(errno);
        return nullptr;
    }
    struct stat status { };
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        error = "it is not a regular file";
        return nullptr;
    }
    // The open descriptor names exactly the file that was opened. It stays
    // open while the library is loaded (for good: libraries are never
    // unloaded), since the loader knows a library by the name it was given
    // and a reused descriptor number would name a loaded one.
    std::string self = "/proc/self/fd/" + std::to_string(file.get());
    void* handle = ::dlopen(self.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!handle) {
        const char* reason = ::dlerror();
        error = reason ? reason : "unknown error";
        return nullptr;
    }
    file.release();
    return handle;
}

}
