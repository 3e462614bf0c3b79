#include "FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

namespace device {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    bool close()
    {
        int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

}

std::optional<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path)
{
    // Non-blocking so that a FIFO left in the way cannot hang the reader.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0)
        return std::nullopt;
    struct stat status { };
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) || static_cast<std::uintmax_t>(status.st_size) > maximumReadSize)
        return std::nullopt;

    std::vector<std::uint8_t> contents;
    contents.reserve(static_cast<std::size_t>(status.st_size));
    std::uint8_t buffer[16384];
    while (true) {
        ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (count == 0)
            break;
        if (contents.size() + static_cast<std::size_t>(count) > maximumReadSize)
            return std::nullopt;
        contents.insert(contents.end(), buffer, buffer + count);
    }
    return contents;
}

bool writeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, WriteMode mode)
{
    if (mode == WriteMode::Direct) {
        FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        return file.get() >= 0 && writeAll(file.get(), bytes) && file.close();
    }

    std::filesystem::path folder = path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
    std::string temporary = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    FileDescriptor file(::mkstemp(temporary.data()));
    if (file.get() < 0)
        return false;
    bool isWritten = ::fchmod(file.get(), 0644) == 0 && writeAll(file.get(), bytes) && ::fsync(file.get()) == 0 && file.close();
    if (!isWritten || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable.
    FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0)
        ::fsync(directory.get());
    return true;
}

bool removeFile(const std::filesystem::path& path)
{
    return ::unlink(path.c_str()) == 0;
}

std::vector<std::string> namesWithExtension(const std::filesystem::path& folder, const std::string& extension)
{
    std::vector<std::string> names;
    std::error_code error;
    for (auto it = std::filesystem::directory_iterator(folder, error); !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (it->path().extension() == extension)
            names.push_back(it->path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}
