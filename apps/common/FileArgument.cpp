#include "FileArgument.h"

#include <unistd.h>

#include <iostream>

#include <device/FileSystem.h>

std::optional<std::vector<std::uint8_t>> readFileArgument(const std::string& path, std::string& reason)
{
    device::ReadFailure failure = device::ReadFailure::Unreadable;
    auto bytes = path == "-" ? device::readStream(STDIN_FILENO, &failure) : device::readFile(path, &failure);
    if (!bytes)
        reason = failure == device::ReadFailure::TooLarge ? "is larger than 64 MiB" : "cannot be read (missing, unreadable or not a file)";
    return bytes;
}

bool writeFileArgument(const std::string& path, std::span<const std::uint8_t> bytes)
{
    if (path != "-")
        return device::writeFile(path, bytes, device::WriteMode::Atomic);
    std::cout.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(std::cout.flush());
}
