#pragma once

// The run loop: one poll()-based loop per process that owns the main thread's
// work: file-descriptor sources, timers and blocks handed to the main queue.
// Tests and the headless apps drive it without sleeping: runUntilIdle() runs
// whatever is ready, and a manual clock lets them move time forward.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>

using Nanoseconds = std::chrono::nanoseconds;

class CFRunLoop {
public:
    using SourceID = std::uint64_t;
    using Callback = std::function<void()>;

    // CFRunLoopGetMain(): the loop of this process's main thread.
    static CFRunLoop& main();

    CFRunLoop();
    ~CFRunLoop();
    CFRunLoop(const CFRunLoop&) = delete;
    CFRunLoop& operator=(const CFRunLoop&) = delete;

    // Calls the callback on the loop whenever the descriptor is readable (or
    // has hung up). The loop does not own the descriptor. A callback that
    // runs the loop itself is not called again for its own source meanwhile.
    SourceID addFileDescriptorSource(int fd, Callback);
    void removeSource(SourceID);

    // A one-shot timer at an absolute time on this loop's clock.
    SourceID addTimer(Nanoseconds fireTime, Callback);
    void cancelTimer(SourceID);

    // Runs the block on the loop, after blocks queued before it. Safe from any thread.
    void performAsync(Callback);

    Nanoseconds now() const;

    // Runs until stop(), waiting in poll() between passes.
    void run();
    void stop();

    // Runs one pass: queued blocks, due timers and readable sources, waiting
    // at most the timeout for something to become ready. Answers how many
    // callbacks ran.
    std::size_t runOnce(Nanoseconds timeout);

    // Runs every pass that has work ready now, without waiting, until none has.
    std::size_t runUntilIdle();
    // Time stands still until advanced; timers fire as it passes them (on the next pass).
    void useManualClock(Nanoseconds start = std::chrono::seconds(1));
    void advanceClock(Nanoseconds);
    std::size_t pendingTimerCountForTesting() const;

private:
    struct Timer {
        SourceID id;
        Callback callback;
    };
    void wake();
    std::size_t runAsyncBlocks();
    std::size_t fireDueTimers();

    mutable std::mutex m_lock;
    std::deque<Callback> m_asyncBlocks;
    std::multimap<Nanoseconds, Timer> m_timers;
    std::map<SourceID, std::pair<int, Callback>> m_sources;
    std::set<SourceID> m_runningSources;
    SourceID m_nextID { 1 };
    std::optional<Nanoseconds> m_manualNow;
    bool m_isStopped { false };
    int m_wakeFd { -1 };
};
