#include "FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FileDescriptor.h"

namespace device {

namespace {

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

// Temporary names say whose they are: ".NAME.PID-N.tmp". A name whose process
// is gone was left by a writer killed between link and rename.
const char* const temporarySuffix = ".tmp";

std::string temporaryName(const std::string& name)
{
    static std::atomic<unsigned> counter { 0 };
    return "." + name + "." + std::to_string(::getpid()) + "-" + std::to_string(counter++) + temporarySuffix;
}

void removeAbandonedTemporaries(int folderFd, const std::string& name)
{
    std::string prefix = "." + name + ".";
    std::vector<std::string> abandoned;
    for (auto& listed : folderEntries(folderFd)) {
        std::string_view entryName = listed;
        if (!entryName.starts_with(prefix) || !entryName.ends_with(temporarySuffix))
            continue;
        std::string owner(entryName.substr(prefix.size()));
        char* end = nullptr;
        long pid = std::strtol(owner.c_str(), &end, 10);
        if (end == owner.c_str() || *end != '-' || pid <= 0)
            continue;
        if (hasProcessEnded(pid))
            abandoned.emplace_back(entryName);
    }
    for (auto& entry : abandoned)
        ::unlinkat(folderFd, entry.c_str(), 0);
}

// A file to write that has no name yet: O_TMPFILE where the file system has
// it, else a temporary name created at once.
struct UnnamedFile {
    FileDescriptor file;
    std::string temporary; // set when the fallback named it already
};

UnnamedFile createUnnamedFile(int folderFd, const std::string& name)
{
    UnnamedFile result;
    result.file = FileDescriptor(::openat(folderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644));
    if (result.file.isValid())
        return result;
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return result;
    result.temporary = temporaryName(name);
    result.file = FileDescriptor(::openat(folderFd, result.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!result.file.isValid())
        result.temporary.clear();
    return result;
}

bool giveName(int folderFd, int fd, std::string& temporary, const std::string& name)
{
    if (temporary.empty()) {
        temporary = temporaryName(name);
        std::string self = "/proc/self/fd/" + std::to_string(fd);
        if (::linkat(AT_FDCWD, self.c_str(), folderFd, temporary.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            temporary.clear();
            return false;
        }
    }
    return ::renameat(folderFd, temporary.c_str(), folderFd, name.c_str()) == 0;
}

bool isOneComponent(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

// Non-blocking so that a FIFO left in the way cannot hang the reader.
FileDescriptor openForReading(const std::filesystem::path& path)
{
    return FileDescriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
}

Error readError(ErrorKind kind, int savedErrno = 0)
{
    switch (kind) {
    case ErrorKind::NotFound:
        return { kind, "no such file" };
    case ErrorKind::TooLarge:
        return { kind, "too large to read (over " + std::to_string(maximumReadSize / (1024 * 1024)) + " MiB)" };
    default:
        return { kind, savedErrno ? std::string("cannot be read (") + std::strerror(savedErrno) + ")" : std::string("not a regular file") };
    }
}

// Why an open file is not to be read, if it is not: missing, not a regular
// file, or already past the limit.
std::optional<Error> refusalOf(int fd, struct stat& status)
{
    if (fd < 0)
        return errno == ENOENT ? readError(ErrorKind::NotFound) : readError(ErrorKind::Unreadable, errno);
    if (::fstat(fd, &status) != 0)
        return readError(ErrorKind::Unreadable, errno);
    if (!S_ISREG(status.st_mode))
        return readError(ErrorKind::Unreadable);
    if (static_cast<std::uintmax_t>(status.st_size) > maximumReadSize)
        return readError(ErrorKind::TooLarge);
    return std::nullopt;
}

}

Expected<Bytes> readOpenFile(int fd)
{
    struct stat status { };
    if (auto refusal = refusalOf(fd, status))
        return makeUnexpected(std::move(*refusal));
    return readStream(fd);
}

Expected<Bytes> readStream(int fd)
{
    Bytes contents;
    std::uint8_t buffer[16384];
    while (true) {
        ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return makeUnexpected(readError(ErrorKind::Unreadable, errno));
        }
        if (count == 0)
            break;
        if (contents.size() + static_cast<std::size_t>(count) > maximumReadSize)
            return makeUnexpected(readError(ErrorKind::TooLarge));
        contents.insert(contents.end(), buffer, buffer + count);
    }
    return contents;
}

Expected<Bytes> readFile(const std::filesystem::path& path)
{
    FileDescriptor file = openForReading(path);
    return readOpenFile(file.get());
}

Expected<FileBlockReader> FileBlockReader::open(const std::filesystem::path& path)
{
    FileDescriptor file = openForReading(path);
    struct stat status { };
    if (auto refusal = refusalOf(file.get(), status))
        return makeUnexpected(std::move(*refusal));
    return FileBlockReader(std::move(file), static_cast<std::uintmax_t>(status.st_size));
}

FileBlockReader::FileBlockReader(FileDescriptor file, std::uintmax_t fileSize)
    : m_file(std::move(file))
    , m_buffer(64 * 1024)
    , m_fileSize(fileSize)
{
}

std::span<const std::uint8_t> FileBlockReader::nextBlock()
{
    if (m_failure)
        return {};
    while (true) {
        ssize_t count = ::read(m_file.get(), m_buffer.data(), m_buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 || m_total + static_cast<std::uintmax_t>(count) > maximumReadSize) {
            m_failure = count < 0 ? readError(ErrorKind::Unreadable, errno) : readError(ErrorKind::TooLarge);
            return {};
        }
        m_total += static_cast<std::uintmax_t>(count);
        return { m_buffer.data(), static_cast<std::size_t>(count) };
    }
}

bool writeFileInFolder(int folderFd, const std::string& name, std::span<const std::uint8_t> bytes, WriteMode mode)
{
    if (folderFd < 0 || !isOneComponent(name))
        return false;
    if (mode == WriteMode::Direct) {
        FileDescriptor file(::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644));
        return file.isValid() && writeAll(file.get(), bytes) && file.close();
    }

    removeAbandonedTemporaries(folderFd, name);
    UnnamedFile unnamed = createUnnamedFile(folderFd, name);
    if (!unnamed.file.isValid())
        return false;
    bool isWritten = ::fchmod(unnamed.file.get(), 0644) == 0 && writeAll(unnamed.file.get(), bytes) && ::fsync(unnamed.file.get()) == 0;
    if (!isWritten || !giveName(folderFd, unnamed.file.get(), unnamed.temporary, name)) {
        if (!unnamed.temporary.empty())
            ::unlinkat(folderFd, unnamed.temporary.c_str(), 0);
        return false;
    }
    // Make the rename itself durable.
    ::fsync(folderFd);
    return unnamed.file.close();
}

bool writeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, WriteMode mode)
{
    std::filesystem::path folderPath = path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
    FileDescriptor folder(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return folder.isValid() && writeFileInFolder(folder.get(), path.filename().string(), bytes, mode);
}

bool hasProcessEnded(long pid)
{
    return pid > 0 && pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

bool removeFile(const std::filesystem::path& path)
{
    return ::unlink(path.c_str()) == 0;
}

std::vector<std::string> folderEntries(int folderFd)
{
    std::vector<std::string> names;
    int listingFd = folderFd < 0 ? -1 : ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listingFd < 0)
        return names;
    DIR* folder = ::fdopendir(listingFd);
    if (!folder) {
        ::close(listingFd);
        return names;
    }
    while (dirent* entry = ::readdir(folder)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(std::move(name));
    }
    ::closedir(folder);
    return names;
}

std::vector<std::string> namesWithExtensionInFolder(int folderFd, const std::string& extension)
{
    std::vector<std::string> names;
    for (auto& name : folderEntries(folderFd)) {
        if (name.size() > extension.size() && name.ends_with(extension))
            names.push_back(name.substr(0, name.size() - extension.size()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> namesWithExtension(const std::filesystem::path& folder, const std::string& extension)
{
    FileDescriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return namesWithExtensionInFolder(folderFd.get(), extension);
}

}
