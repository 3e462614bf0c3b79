#include "InstallLayout.h"

#include <dlfcn.h>

#include <cstdlib>

namespace fs = std::filesystem;

namespace device {

namespace {

// PREFIX, from this library's own folder and the layout the build chose
// (MENUTONE_PREFIX_FROM_LIBRARIES is relative, such as "../..").
fs::path prefixFolder()
{
    static const fs::path prefix = [] {
        Dl_info self {};
        if (!::dladdr(reinterpret_cast<void*>(&prefixFolder), &self) || !self.dli_fname)
            return fs::current_path();
        auto library = fs::weakly_canonical(fs::absolute(self.dli_fname));
        return (library.parent_path() / MENUTONE_PREFIX_FROM_LIBRARIES).lexically_normal();
    }();
    return prefix;
}

}

fs::path libraryFolder()
{
    return (prefixFolder() / MENUTONE_LIBRARY_FOLDER).lexically_normal();
}

fs::path dataFolder()
{
    return (prefixFolder() / MENUTONE_DATA_FOLDER).lexically_normal();
}

bool isBuildTree()
{
    std::error_code error;
    return fs::exists(prefixFolder() / "MenutoneBuildTree.txt", error);
}

fs::path defaultRootFolder()
{
    if (isBuildTree())
        return prefixFolder() / "root";
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        return fs::path(data) / "menutone" / "root";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/") / ".local" / "share" / "menutone" / "root";
}

}
