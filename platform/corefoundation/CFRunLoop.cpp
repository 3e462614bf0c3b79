#include "CFRunLoop.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <objc/AutoreleasePool.h>

CFRunLoop& CFRunLoop::main()
{
    static CFRunLoop* loop = new CFRunLoop; // outlives static destructors that may still post
    return *loop;
}

CFRunLoop::CFRunLoop()
    : m_wakeFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (m_wakeFd < 0) {
        std::perror("CFRunLoop: eventfd");
        std::abort();
    }
}

CFRunLoop::~CFRunLoop()
{
    ::close(m_wakeFd);
}

CFRunLoop::SourceID CFRunLoop::addFileDescriptorSource(int fd, Callback callback)
{
    std::lock_guard guard(m_lock);
    SourceID id = m_nextID++;
    m_sources.emplace(id, std::make_pair(fd, std::move(callback)));
    return id;
}

void CFRunLoop::removeSource(SourceID id)
{
    std::lock_guard guard(m_lock);
    m_sources.erase(id);
}

CFRunLoop::SourceID CFRunLoop::addTimer(Nanoseconds fireTime, Callback callback)
{
    SourceID id;
    {
        std::lock_guard guard(m_lock);
        id = m_nextID++;
        m_timers.emplace(fireTime, Timer { id, std::move(callback) });
    }
    wake();
    return id;
}

void CFRunLoop::cancelTimer(SourceID id)
{
    std::lock_guard guard(m_lock);
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        if (it->second.id == id) {
            m_timers.erase(it);
            return;
        }
    }
}

void CFRunLoop::performAsync(Callback block)
{
    {
        std::lock_guard guard(m_lock);
        m_asyncBlocks.push_back(std::move(block));
    }
    wake();
}

Nanoseconds CFRunLoop::now() const
{
    std::lock_guard guard(m_lock);
    if (m_manualNow)
        return *m_manualNow;
    return std::chrono::duration_cast<Nanoseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

void CFRunLoop::wake()
{
    std::uint64_t one = 1;
    [[maybe_unused]] auto written = ::write(m_wakeFd, &one, sizeof one);
}

void CFRunLoop::run()
{
    {
        std::lock_guard guard(m_lock);
        m_isStopped = false;
    }
    while (true) {
        {
            std::lock_guard guard(m_lock);
            if (m_isStopped)
                return;
        }
        runOnce(Nanoseconds::max());
    }
}

void CFRunLoop::stop()
{
    {
        std::lock_guard guard(m_lock);
        m_isStopped = true;
    }
    wake();
}

std::size_t CFRunLoop::runAsyncBlocks()
{
    // Only the blocks queued so far: one queued by a block runs on the next pass.
    std::deque<Callback> blocks;
    {
        std::lock_guard guard(m_lock);
        blocks.swap(m_asyncBlocks);
    }
    for (auto& block : blocks) {
        // As the device's run loop does: what a callback autoreleases goes with it.
        AutoreleasePool pool;
        block();
    }
    return blocks.size();
}

std::size_t CFRunLoop::fireDueTimers()
{
    std::vector<Callback> due;
    Nanoseconds current = now();
    {
        std::lock_guard guard(m_lock);
        while (!m_timers.empty() && m_timers.begin()->first <= current) {
            due.push_back(std::move(m_timers.begin()->second.callback));
            m_timers.erase(m_timers.begin());
        }
    }
    for (auto& callback : due) {
        AutoreleasePool pool;
        callback();
    }
    return due.size();
}

std::size_t CFRunLoop::runOnce(Nanoseconds timeout)
{
    std::size_t ran = runAsyncBlocks() + fireDueTimers();

    std::vector<pollfd> descriptors { { m_wakeFd, POLLIN, 0 } };
    std::vector<SourceID> ids { 0 };
    int waitMilliseconds = 0;
    {
        std::lock_guard guard(m_lock);
        for (auto& [id, source] : m_sources) {
            if (m_runningSources.contains(id))
                continue;
            descriptors.push_back({ source.first, POLLIN, 0 });
            ids.push_back(id);
        }
        if (ran == 0 && m_asyncBlocks.empty() && timeout > Nanoseconds(0)) {
            Nanoseconds wait = timeout;
            if (!m_timers.empty()) {
                Nanoseconds current = m_manualNow ? *m_manualNow : std::chrono::duration_cast<Nanoseconds>(std::chrono::steady_clock::now().time_since_epoch());
                // A manual clock only moves when a test moves it: never wait for it.
                wait = m_manualNow ? Nanoseconds(0) : std::min(wait, std::max(Nanoseconds(0), m_timers.begin()->first - current));
            }
            waitMilliseconds = wait == Nanoseconds::max() ? -1 : static_cast<int>(std::min<std::int64_t>((wait.count() + 999999) / 1000000, 1 << 30));
        }
    }

    int ready = ::poll(descriptors.data(), descriptors.size(), waitMilliseconds);
    if (ready < 0 && errno != EINTR) {
        std::perror("CFRunLoop: poll");
        return ran;
    }
    if (ready > 0 && descriptors[0].revents) {
        std::uint64_t count;
        [[maybe_unused]] auto read = ::read(m_wakeFd, &count, sizeof count);
    }
    for (std::size_t i = 1; ready > 0 && i < descriptors.size(); ++i) {
        if (!descriptors[i].revents)
            continue;
        Callback callback;
        {
            std::lock_guard guard(m_lock);
            auto it = m_sources.find(ids[i]);
            if (it == m_sources.end())
                continue; // removed by an earlier callback of this pass
            callback = it->second.second;
            m_runningSources.insert(ids[i]);
        }
        {
            AutoreleasePool pool;
            callback();
        }
        {
            std::lock_guard guard(m_lock);
            m_runningSources.erase(ids[i]);
        }
        ++ran;
    }
    return ran + fireDueTimers();
}

std::size_t CFRunLoop::runUntilIdle()
{
    std::size_t total = 0;
    while (std::size_t ran = runOnce(Nanoseconds(0)))
        total += ran;
    return total;
}

void CFRunLoop::useManualClock(Nanoseconds start)
{
    std::lock_guard guard(m_lock);
    m_manualNow = start;
}

void CFRunLoop::advanceClock(Nanoseconds delta)
{
    std::lock_guard guard(m_lock);
    if (!m_manualNow)
        m_manualNow = Nanoseconds(0);
    *m_manualNow += delta;
}

std::size_t CFRunLoop::pendingTimerCountForTesting() const
{
    std::lock_guard guard(m_lock);
    return m_timers.size();
}
