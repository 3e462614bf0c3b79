#include "DarwinNotify.h"

#include <fcntl.h>

#include <cstdint>
#include <cstdio>

#include "DeviceRoot.h"

namespace device {

std::string notificationFileName(std::string_view name)
{
    constexpr std::size_t maximumLength = 200;
    auto isSafe = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-'; };
    std::string fileName;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (isSafe(c) && !(i == 0 && c == '.'))
            fileName += c;
        else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            fileName += escaped;
        }
    }
    if (fileName.empty())
        fileName.push_back('%'); // the empty name
    if (fileName.size() > maximumLength) {
        // FNV-1a keeps long names apart; a rare collision only over-delivers.
        std::uint64_t hash = 14695981039346656037ull;
        for (char c : name)
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, "~%016llx", static_cast<unsigned long long>(hash));
        fileName = fileName.substr(0, 160) + suffix;
    }
    return fileName;
}

FileDescriptor openNotifyFolder()
{
    DeviceRoot root = DeviceRoot::current();
    FileDescriptor folder = root.open(kNotifyFolder, O_RDONLY | O_DIRECTORY);
    if (folder.isValid() || errno != ENOENT)
        return folder;
    // Private to the processes of the root's user, as notifyd's are.
    root.createFolders(kNotifyFolder, 0700);
    return root.open(kNotifyFolder, O_RDONLY | O_DIRECTORY);
}

void postNotification(std::string_view name)
{
    FileDescriptor folder = openNotifyFolder();
    if (!folder.isValid())
        return;
    FileDescriptor file(::openat(folder.get(), notificationFileName(name).c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0600));
}

}
