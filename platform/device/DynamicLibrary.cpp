#include "DynamicLibrary.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include "DeviceRoot.h"
#include "InstallLayout.h"

namespace device {

namespace {

// A library loaded from a descriptor has /proc/self/fd as its $ORIGIN, so its
// RUNPATH finds nothing there. A platform library it needs that the host has
// not loaded is the one the loader names as missing; it is loaded from the
// platform's own folder, as the device's shared cache holds its frameworks,
// and the load tried again. Answers whether one was loaded.
bool loadMissingPlatformLibrary(const std::string& loaderError)
{
    static const std::string missing = ": cannot open shared object file";
    auto end = loaderError.find(missing);
    if (end == std::string::npos)
        return false;
    auto start = loaderError.rfind(": ", end - 1);
    std::string name = loaderError.substr(start == std::string::npos ? 0 : start + 2, end - (start == std::string::npos ? 0 : start + 2));
    if (!name.starts_with("libplatform_") || name.find('/') != std::string::npos)
        return false;
    std::filesystem::path path = libraryFolder() / name;
    return std::filesystem::is_regular_file(path) && ::dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
}

}

Expected<void*> loadLibrary(std::string_view devicePath)
{
    FileDescriptor file = DeviceRoot::current().open(devicePath, O_RDONLY | O_NONBLOCK);
    if (!file.isValid()) {
        if (errno == EXDEV || errno == ELOOP)
            return makeError(ErrorKind::Refused, "it lies outside the device root");
        return makeError(errno == ENOENT ? ErrorKind::NotFound : ErrorKind::Unreadable, std::strerror(errno));
    }
    struct stat status { };
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return makeError(ErrorKind::Unreadable, "it is not a regular file");
    // The open descriptor names exactly the file that was opened. It stays
    // open while the library is loaded (for good: libraries are never
    // unloaded), since the loader knows a library by the name it was given
    // and a reused descriptor number would name a loaded one.
    std::string self = "/proc/self/fd/" + std::to_string(file.get());
    void* handle = ::dlopen(self.c_str(), RTLD_NOW | RTLD_GLOBAL);
    for (int attempt = 0; !handle; ++attempt) {
        const char* reason = ::dlerror();
        std::string error = reason ? reason : "unknown error";
        if (attempt == 32 || !loadMissingPlatformLibrary(error))
            return makeError(ErrorKind::Failed, std::move(error));
        handle = ::dlopen(self.c_str(), RTLD_NOW | RTLD_GLOBAL);
    }
    file.release();
    return handle;
}

}
