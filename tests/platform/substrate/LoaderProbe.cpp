// A tweak library for the loader tests: reports its own file when loaded.

#include <dlfcn.h>

extern "C" void loaderProbeDidLoad(const char* path);

namespace {

__attribute__((constructor)) void probeLoaded()
{
    Dl_info info {};
    if (::dladdr(reinterpret_cast<void*>(&probeLoaded), &info) && info.dli_fname)
        loaderProbeDidLoad(info.dli_fname);
}

}
