#include <corefoundation/CFRunLoop.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>
#include <string>

#include <corefoundation/Dispatch.h>
#include <objc/AutoreleasePool.h>
#include <objc/NSObject.h>

namespace {

class MainQueue : public ::testing::Test {
protected:
    void SetUp() override
    {
        CFRunLoop::main().useManualClock();
        CFRunLoop::main().runUntilIdle();
    }
    std::string m_log;
};

}

TEST_F(MainQueue, AsyncBlocksRunInOrderAndABlockQueuedByABlockRunsOnALaterPass)
{
    dispatch_async(dispatch_get_main_queue(), [&] {
        m_log += "a ";
        dispatch_async(dispatch_get_main_queue(), [&] { m_log += "c "; });
    });
    dispatch_async(dispatch_get_main_queue(), [&] { m_log += "b "; });
    EXPECT_EQ(m_log, "");
    EXPECT_EQ(CFRunLoop::main().runOnce(Nanoseconds(0)), 2u);
    EXPECT_EQ(m_log, "a b ");
    CFRunLoop::main().runUntilIdle();
    EXPECT_EQ(m_log, "a b c ");
}

TEST_F(MainQueue, DelayedBlocksRunWhenTheClockReachesThemInTimeOrder)
{
    auto& loop = CFRunLoop::main();
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 200000000), dispatch_get_main_queue(), [&] { m_log += "tint "; });
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 100000000), dispatch_get_main_queue(), [&] { m_log += "reload "; });
    dispatch_after(DISPATCH_TIME_FOREVER, dispatch_get_main_queue(), [&] { m_log += "never "; });
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 0), dispatch_get_main_queue(), [&] { m_log += "now "; });
    loop.runUntilIdle();
    EXPECT_EQ(m_log, "now ");
    loop.advanceClock(std::chrono::milliseconds(99));
    loop.runUntilIdle();
    EXPECT_EQ(m_log, "now ");
    loop.advanceClock(std::chrono::milliseconds(1));
    loop.runUntilIdle();
    EXPECT_EQ(m_log, "now reload ");
    loop.advanceClock(std::chrono::seconds(10));
    loop.runUntilIdle();
    EXPECT_EQ(m_log, "now reload tint ");
    EXPECT_EQ(loop.pendingTimerCountForTesting(), 0u);
}

TEST(CFRunLoop, AReadableDescriptorCallsItsSourceUntilRemoved)
{
    CFRunLoop loop;
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    int calls = 0;
    auto source = loop.addFileDescriptorSource(fds[0], [&] {
        char byte;
        [[maybe_unused]] auto count = ::read(fds[0], &byte, 1);
        ++calls;
    });
    EXPECT_EQ(loop.runUntilIdle(), 0u);
    ASSERT_EQ(::write(fds[1], "x", 1), 1);
    loop.runUntilIdle();
    EXPECT_EQ(calls, 1);
    loop.removeSource(source);
    ASSERT_EQ(::write(fds[1], "y", 1), 1);
    loop.runUntilIdle();
    EXPECT_EQ(calls, 1);
    ::close(fds[0]);
    ::close(fds[1]);
}

TEST(CFRunLoop, ASourceThatRunsTheLoopIsNotCalledAgainInsideItself)
{
    // A line handler that runs the loop while its input has ended: the end
    // stays readable, so a loop that re-entered the source would never idle.
    CFRunLoop loop;
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::close(fds[1]);
    std::string log;
    std::optional<CFRunLoop::SourceID> source;
    source = loop.addFileDescriptorSource(fds[0], [&] {
        log += "enter ";
        if (log.size() > 60) {
            loop.removeSource(*source); // the fault, shown as a log rather than a hang
            return;
        }
        loop.performAsync([&] { log += "block "; });
        loop.runUntilIdle();
        log += "leave ";
        loop.removeSource(*source);
    });
    loop.runUntilIdle();
    EXPECT_EQ(log, "enter block leave ");
    ::close(fds[0]);
}

TEST(CFRunLoop, RunReturnsWhenStoppedFromABlock)
{
    CFRunLoop loop;
    int passes = 0;
    loop.performAsync([&] { ++passes; });
    loop.performAsync([&] { loop.stop(); });
    loop.run();
    EXPECT_EQ(passes, 1);
}

TEST(CFRunLoop, WhatACallbackAutoreleasesGoesWhenTheCallbackEnds)
{
    CFRunLoop loop;
    loop.useManualClock();
    std::size_t pendingBefore = AutoreleasePool::pendingObjectCountForTesting();
    std::size_t pendingInBlock = 0, pendingInTimer = 0;
    // Our objc_autorelease retains what it is given, so the callers' own references can go.
    loop.performAsync([&] {
        objc_autorelease(NSObject::create().ptr());
        pendingInBlock = AutoreleasePool::pendingObjectCountForTesting();
    });
    loop.addTimer(std::chrono::milliseconds(5), [&] {
        objc_autorelease(NSObject::create().ptr());
        pendingInTimer = AutoreleasePool::pendingObjectCountForTesting();
    });
    loop.runUntilIdle();
    loop.advanceClock(std::chrono::milliseconds(10));
    loop.runUntilIdle();
    EXPECT_EQ(pendingInBlock, pendingBefore + 1);
    EXPECT_EQ(pendingInTimer, pendingBefore + 1);
    EXPECT_EQ(AutoreleasePool::pendingObjectCountForTesting(), pendingBefore) << "no pool outside the loop was needed";
}
