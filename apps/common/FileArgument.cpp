#include "FileArgument.h"

#include <unistd.h>

#include <iostream>

#include <device/FileSystem.h>

Expected<std::vector<std::uint8_t>> readFileArgument(const std::string& path)
{
    auto bytes = path == "-" ? device::readStream(STDIN_FILENO) : device::readFile(path);
    if (!bytes && bytes.error().kind == ErrorKind::TooLarge)
        return makeError(ErrorKind::TooLarge, "is larger than 64 MiB");
    if (!bytes)
        return makeError(bytes.error().kind, "cannot be read (missing, unreadable or not a file)");
    return bytes;
}

bool writeFileArgument(const std::string& path, std::span<const std::uint8_t> bytes)
{
    if (path != "-")
        return device::writeFile(path, bytes, device::WriteMode::Atomic);
    std::cout.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(std::cout.flush());
}
