#pragma once

// How the simulator's server holds its connections: a thread for each, so
// that pages listening to events or clients that send slowly never keep a
// page from loading; a bound on how many; and a stop that ends every
// connection at once, whatever its client is doing.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include <httplib.h>

class ConnectionThreads final : public httplib::TaskQueue {
public:
    // Connections served at once; more wait for one of them to end.
    static constexpr std::size_t maximumConnections = 128;

    explicit ConnectionThreads(int port)
        : m_port(port)
        , m_state(std::make_shared<State>())
    {
    }

    void enqueue(std::function<void()>) override;
    // Shuts down every connection's socket, so blocked reads return, and
    // waits for their threads (two seconds at most).
    void shutdown() override;

private:
    // Shared with the threads, which may outlive the queue if a stop times out.
    struct State {
        std::mutex lock;
        std::condition_variable ended;
        std::size_t running { 0 };
        std::deque<std::function<void()>> waiting;
        bool isStopping { false };
    };
    static void startLocked(const std::shared_ptr<State>&, std::function<void()>);

    int m_port;
    std::shared_ptr<State> m_state;
};

// The server's listening socket on 127.0.0.1:port (0 for any free port),
// bound without SO_REUSEPORT so that a second server cannot share it.
// Answers the port bound, or 0 (errno says why).
int bindExclusively(httplib::Server&, int port);
