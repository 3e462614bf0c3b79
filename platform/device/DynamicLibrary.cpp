#include "DynamicLibrary.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <mutex>

#include "DeviceRoot.h"
#include "InstallLayout.h"

namespace device {

namespace {

// A library loaded from a descriptor has /proc/self/fd as its $ORIGIN, so its
// RUNPATH finds nothing. The platform's libraries are therefore loaded into
// every host first, as the device's shared cache holds its frameworks in
// every process; a library's needs are then met by name.
void loadPlatformLibraries()
{
    static std::once_flag once;
    std::call_once(once, [] {
        std::error_code error;
        for (auto& entry : std::filesystem::directory_iterator(libraryFolder(), error)) {
            std::string name = entry.path().filename().string();
            if (name.starts_with("libplatform_") && name.ends_with(".so"))
                ::dlopen(entry.path().c_str(), RTLD_NOW | RTLD_GLOBAL);
        }
    });
}

}

void* loadLibrary(std::string_view devicePath, std::string& error)
{
    loadPlatformLibraries();
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
