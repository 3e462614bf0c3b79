// Files of a root are opened beneath it at use: a link out of the root, or a
// folder swapped for one while a write runs, never lets a byte land outside.

#include <device/Beneath.h>
#include <device/DeviceRoot.h>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <atomic>
#include <random>
#include <thread>

#include "TestSupport.h"

// Each case runs with openat2 and with the walk used where the kernel lacks it.
enum class Resolution { Openat2, WalkWithoutLinks };

class RootConfinement : public testing::TestWithParam<Resolution> {
protected:
    void SetUp() override { device::avoidOpenat2ForTesting(GetParam() == Resolution::WalkWithoutLinks); }
    void TearDown() override { device::avoidOpenat2ForTesting(false); }
    bool isFollowingLinks() const { return GetParam() == Resolution::Openat2; }
};

INSTANTIATE_TEST_SUITE_P(BothResolutions, RootConfinement, testing::Values(Resolution::Openat2, Resolution::WalkWithoutLinks),
    [](const testing::TestParamInfo<Resolution>& info) { return info.param == Resolution::Openat2 ? "Openat2" : "WalkWithoutLinks"; });

TEST_P(RootConfinement, ALinkOutOfTheRootIsNeitherReadNorWrittenNorCreatedThrough)
{
    TemporaryFolder outside;
    writeBytes(outside.path() / "secret", "host file");
    TemporaryRoot temporary;
    DeviceRoot root(temporary.path());
    std::filesystem::create_directory_symlink(outside.path(), temporary.path() / "var/escape");
    std::filesystem::create_symlink(outside.path() / "secret", temporary.path() / "var/secret");

    EXPECT_FALSE(root.readFile("/var/escape/secret"));
    EXPECT_FALSE(root.readFile("/var/secret"));
    EXPECT_FALSE(root.fileExists("/var/escape/secret"));
    EXPECT_FALSE(root.writeFile("/var/escape/new", bytesOf("x"), device::WriteMode::Atomic));
    EXPECT_FALSE(root.writeFile("/var/escape/secret", bytesOf("x"), device::WriteMode::Direct));
    EXPECT_FALSE(root.createFolders("/var/escape/made/here"));
    EXPECT_FALSE(root.removeItem("/var/escape/secret"));
    EXPECT_EQ(root.linkLeavingRoot("/var/escape/new"), "/var/escape");
    EXPECT_EQ(root.linkLeavingRoot("/var/secret"), "/var/secret");
    EXPECT_EQ(root.linkLeavingRoot("/var/mobile/Library"), std::nullopt);

    // An atomic write replaces the link itself; it never writes through it.
    ASSERT_TRUE(root.writeFile("/var/secret", bytesOf("inside"), device::WriteMode::Atomic));
    EXPECT_FALSE(std::filesystem::is_symlink(temporary.path() / "var/secret"));
    // Removing the folder link removes the link, not what it points to.
    EXPECT_TRUE(root.removeItem("/var/escape"));

    auto secret = readBytes(outside.path() / "secret");
    EXPECT_EQ(std::string(secret.begin(), secret.end()), "host file");
    EXPECT_EQ(entryCount(outside.path()), 1u);
}

TEST_P(RootConfinement, LinksThatStayInsideTheRootAreFollowedWhereTheKernelCanCheckThem)
{
    TemporaryRoot temporary;
    DeviceRoot root(temporary.path());
    std::filesystem::create_directory_symlink("mobile/Library", temporary.path() / "var/Library");
    std::filesystem::create_symlink("a.plist", temporary.path() / "var/mobile/Library/Preferences/b.plist");
    EXPECT_EQ(root.writeFile("/var/Library/Preferences/a.plist", bytesOf("a"), device::WriteMode::Atomic), isFollowingLinks());
    ASSERT_TRUE(root.writeFile("/var/mobile/Library/Preferences/a.plist", bytesOf("a"), device::WriteMode::Atomic));
    EXPECT_EQ(root.readFile("/var/mobile/Library/Preferences/a.plist"), std::vector<std::uint8_t>({ 'a' }));
    EXPECT_EQ(root.namesWithExtension("/var/Library/Preferences", ".plist").size(), isFollowingLinks() ? 2u : 0u);
    // Without openat2 every link is refused, the last component's too.
    EXPECT_EQ(root.readFile("/var/mobile/Library/Preferences/b.plist").hasValue(), isFollowingLinks());
    EXPECT_EQ(root.fileExists("/var/mobile/Library/Preferences/b.plist"), isFollowingLinks());
    EXPECT_FALSE(root.readFile("/../etc/passwd"));
    EXPECT_FALSE(root.removeItem("/")) << "never the root itself";
}

// A folder swapped for a link to outside, back and forth, while writes run:
// checked-then-opened paths let some writes through; opened-beneath ones never do.
TEST_P(RootConfinement, AFolderSwappedForALinkDuringWritesNeverLetsAWriteOut)
{
    TemporaryFolder outside;
    TemporaryRoot temporary;
    DeviceRoot root(temporary.path());
    auto preferences = temporary.path() / "var/mobile/Library/Preferences";
    auto real = temporary.path() / "var/mobile/Library/Preferences.real";
    auto link = temporary.path() / "var/mobile/Library/Preferences.link";
    std::filesystem::create_directory(real);
    std::filesystem::create_directory_symlink(outside.path(), link);

    std::atomic<bool> isDone { false };
    std::thread swapper([&] {
        // rename(2) swaps atomically; each turn puts the other one in place.
        for (unsigned turn = 0; !isDone; ++turn) {
            std::error_code error;
            std::filesystem::rename(preferences, turn % 2 ? link : real, error);
            std::filesystem::rename(turn % 2 ? real : link, preferences, error);
        }
    });
    // At least 3000 writes; on a loaded machine the swapper may keep the
    // folder out of place for that long, so go on until one has landed.
    unsigned writtenCount = 0;
    for (int i = 0; i < 3000 || (writtenCount == 0 && i < 300000); ++i)
        writtenCount += root.writeFile("/var/mobile/Library/Preferences/com.example.plist", bytesOf("value"), device::WriteMode::Atomic);
    isDone = true;
    swapper.join();

    EXPECT_GT(writtenCount, 0u) << "the folder was in place some of the time";
    EXPECT_EQ(entryCount(outside.path()), 0u) << "nothing landed outside the root";
}

// Writers killed at every moment leave the old file or the new one, whole,
// and the next write clears any temporary a kill left.
TEST_P(RootConfinement, AtomicWritesKilledAtAnyMomentLeaveAWholeFileAndNoTemporary)
{
    TemporaryRoot temporary;
    DeviceRoot root(temporary.path());
    const std::string path = "/var/mobile/Library/Preferences/store.plist";
    std::string contents(20000, 'o');
    ASSERT_TRUE(root.writeFile(path, bytesOf(contents), device::WriteMode::Atomic));

    std::mt19937 random(7);
    for (int kill = 0; kill < 60; ++kill) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            std::string mine(20000, static_cast<char>('a' + kill % 26));
            for (;;) {
                root.writeFile(path, bytesOf(mine), device::WriteMode::Atomic);
                if (::write(ready[1], "w", 1) != 1)
                    ::_exit(0);
            }
        }
        ::close(ready[1]);
        // Let it finish a few writes, then kill it wherever it is.
        char token;
        for (unsigned wait = random() % 4 + 1; wait > 0 && ::read(ready[0], &token, 1) == 1; --wait) { }
        for (unsigned spin = random() % 20000; spin > 0; --spin)
            std::atomic_signal_fence(std::memory_order_seq_cst);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        ::close(ready[0]);

        auto now = root.readFile(path);
        ASSERT_TRUE(now);
        ASSERT_EQ(now->size(), 20000u);
        EXPECT_EQ(std::count(now->begin(), now->end(), now->front()), 20000) << "one writer's whole contents";
    }
    ASSERT_TRUE(root.writeFile(path, bytesOf("last"), device::WriteMode::Atomic));
    EXPECT_EQ(entryCount(temporary.path() / "var/mobile/Library/Preferences"), 1u) << "no temporary file left";
}
