#include <device/FileSystem.h>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "TestSupport.h"

namespace {

std::optional<ErrorKind> readErrorKind(const std::filesystem::path& path)
{
    auto bytes = device::readFile(path);
    return bytes ? std::nullopt : std::optional(bytes.error().kind);
}

}

TEST(FileSystem, ReadingSaysWhyThereIsNoFileToRead)
{
    TemporaryRoot root;
    EXPECT_EQ(readErrorKind(root.path() / "missing"), ErrorKind::NotFound);
    EXPECT_EQ(readErrorKind(root.path()), ErrorKind::Unreadable);
    auto fifo = root.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(readErrorKind(fifo), ErrorKind::Unreadable) << "and does not hang";
    // Sparse: the size is past the limit, though nothing is stored.
    auto large = root.path() / "large";
    writeBytes(large, "");
    std::filesystem::resize_file(large, device::maximumReadSize + 1);
    EXPECT_EQ(readErrorKind(large), ErrorKind::TooLarge);
    auto blocks = device::FileBlockReader::open(large);
    ASSERT_FALSE(blocks);
    EXPECT_EQ(blocks.error().kind, ErrorKind::TooLarge);
    EXPECT_EQ(blocks.error().message, "too large to read (over 64 MiB)");
    writeBytes(root.path() / "empty", "");
    EXPECT_EQ(device::readFile(root.path() / "empty"), std::vector<std::uint8_t>());
}

TEST(FileSystem, AnAtomicWriteReplacesTheFileWhole)
{
    TemporaryRoot root;
    auto path = root.path() / "store.plist";
    writeBytes(path, "old contents");
    std::size_t before = entryCount(root.path());
    ASSERT_TRUE(device::writeFile(path, bytesOf("new"), device::WriteMode::Atomic));
    EXPECT_EQ(readBytes(path), std::vector<std::uint8_t>({ 'n', 'e', 'w' }));
    EXPECT_EQ(entryCount(root.path()), before) << "no temporary file left behind";
}

TEST(FileSystem, AFailedAtomicWriteLeavesTheOldFileWholeAndNoTemporary)
{
    TemporaryRoot root;
    auto path = root.path() / "store.plist";
    std::string old(300, 'o');
    writeBytes(path, old);
    std::size_t before = entryCount(root.path());

    // A file-size limit makes write() fail part way, as a full disk would.
    struct rlimit saved { };
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool isWritten = device::writeFile(path, bytesOf(std::string(1000, 'n')), device::WriteMode::Atomic);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(isWritten);
    auto contents = readBytes(path);
    EXPECT_EQ(std::string(contents.begin(), contents.end()), old);
    EXPECT_EQ(entryCount(root.path()), before);

    // A folder that does not exist fails cleanly too.
    EXPECT_FALSE(device::writeFile(root.path() / "no-folder/store.plist", bytesOf("x"), device::WriteMode::Atomic));
}
