#pragma once

// Host file access under the platform's file operations. The functions that
// take a folder descriptor work on one entry of that folder, so a caller that
// opened the folder beneath a root keeps every step beneath it.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <base/Expected.h>

#include "FileDescriptor.h"

namespace device {

// Files larger than this are not read: no settings file comes near it, and a
// reader must not be made to exhaust memory.
constexpr std::uintmax_t maximumReadSize = 64 * 1024 * 1024;

using Bytes = std::vector<std::uint8_t>;

// The contents of a regular file; else an error of kind NotFound (nothing
// there), Unreadable (not a regular file, or a read failed) or TooLarge (over
// maximumReadSize). The message does not name the file: the caller knows it.
Expected<Bytes> readFile(const std::filesystem::path&);
// The same for a file already open for reading (an invalid descriptor: the
// open's errno decides the kind).
Expected<Bytes> readOpenFile(int fd);
// Whatever an open descriptor gives until its end (a pipe, standard input),
// up to maximumReadSize.
Expected<Bytes> readStream(int fd);

// A regular file read a block at a time, for a reader that need not hold the
// whole file (a decoder): nothing past maximumReadSize is handed out.
class FileBlockReader {
public:
    // Opens the file; a reader whose file is missing, unreadable, not regular
    // or already larger than maximumReadSize fails at once, as readFile does.
    static Expected<FileBlockReader> open(const std::filesystem::path&);

    // The next block of the file; empty at its end, after a read error, or
    // once the file has grown past maximumReadSize (then failure() says which).
    std::span<const std::uint8_t> nextBlock();
    const std::optional<Error>& failure() const { return m_failure; }
    // The file's size when it was opened.
    std::uintmax_t fileSize() const { return m_fileSize; }

private:
    FileBlockReader(FileDescriptor, std::uintmax_t fileSize);

    FileDescriptor m_file;
    std::vector<std::uint8_t> m_buffer;
    std::uintmax_t m_total { 0 };
    std::uintmax_t m_fileSize { 0 };
    std::optional<Error> m_failure;
};

enum class WriteMode { Direct, Atomic };

// Atomic: an unnamed file in the same folder (O_TMPFILE), written, flushed to
// disk, given a temporary name and renamed over the target, so a reader sees
// the old file or the new one, and a failure at any step, or a kill, leaves
// the old file whole. A temporary name left by a writer that was killed
// between link and rename is removed by the next write of that file.
bool writeFile(const std::filesystem::path&, std::span<const std::uint8_t>, WriteMode);
// The same for the entry `name` (one path component) of an open folder.
bool writeFileInFolder(int folderFd, const std::string& name, std::span<const std::uint8_t>, WriteMode);

bool removeFile(const std::filesystem::path&);

// Whether the process that named a scratch file or folder after itself is
// gone (killed midway), so that what it left may be removed. Never this one.
bool hasProcessEnded(long pid);

// The names of an open folder's entries, "." and ".." left out, in the order
// the folder gives them; none for a descriptor that cannot be listed.
std::vector<std::string> folderEntries(int folderFd);

// The names (without the extension) of the entries of a folder that end in the
// extension, sorted; none for a folder that is missing or unreadable.
std::vector<std::string> namesWithExtension(const std::filesystem::path& folder, const std::string& extension);
// The same for an open folder (the descriptor is not consumed).
std::vector<std::string> namesWithExtensionInFolder(int folderFd, const std::string& extension);

}
