// A tweak library for the loader tests: reports its own file when loaded.

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

extern "C" void loaderProbeDidLoad(const char* path);

namespace {

__attribute__((constructor)) void probeLoaded()
{
    Dl_info info {};
    if (!::dladdr(reinterpret_cast<void*>(&probeLoaded), &info) || !info.dli_fname)
        return;
    // Loaded from a descriptor, the library's name is /proc/self/fd/N: the file is what that links to.
    char path[PATH_MAX] = {};
    if (::readlink(info.dli_fname, path, sizeof path - 1) > 0)
        loaderProbeDidLoad(path);
    else
        loaderProbeDidLoad(info.dli_fname);
}

}
