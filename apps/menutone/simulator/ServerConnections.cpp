#include "ServerConnections.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

void ConnectionThreads::enqueue(std::function<void()> task)
{
    std::lock_guard guard(m_state->lock);
    if (m_state->running >= maximumConnections)
        m_state->waiting.push_back(std::move(task));
    else
        startLocked(m_state, std::move(task));
}

void ConnectionThreads::startLocked(const std::shared_ptr<State>& state, std::function<void()> task)
{
    ++state->running;
    std::thread([state, task = std::move(task)]() mutable {
        for (;;) {
            task();
            std::lock_guard guard(state->lock);
            if (state->waiting.empty() || state->isStopping) {
                --state->running;
                state->ended.notify_all();
                return;
            }
            task = std::move(state->waiting.front());
            state->waiting.pop_front();
        }
    }).detach();
}

void ConnectionThreads::shutdown()
{
    {
        std::lock_guard guard(m_state->lock);
        m_state->isStopping = true;
    }
    // The connections' sockets are this process's TCP sockets whose local
    // end is the server's port; shutting them down wakes their reads.
    if (DIR* descriptors = ::opendir("/proc/self/fd")) {
        while (dirent* entry = ::readdir(descriptors)) {
            int fd = std::atoi(entry->d_name);
            sockaddr_in local {};
            socklen_t length = sizeof local;
            if (fd > 2 && fd != ::dirfd(descriptors) && ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) == 0 && local.sin_family == AF_INET
                && ntohs(local.sin_port) == m_port) {
                int isListening = 0;
                socklen_t size = sizeof isListening;
                if (::getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &isListening, &size) == 0 && !isListening)
                    ::shutdown(fd, SHUT_RDWR);
            }
        }
        ::closedir(descriptors);
    }
    std::unique_lock guard(m_state->lock);
    // Tasks that never started own sockets too: httplib closes each in its task.
    while (!m_state->waiting.empty()) {
        auto task = std::move(m_state->waiting.front());
        m_state->waiting.pop_front();
        guard.unlock();
        task(); // its socket was shut down above: it ends at once
        guard.lock();
    }
    m_state->ended.wait_for(guard, std::chrono::seconds(2), [&] { return m_state->running == 0; });
}

int bindExclusively(httplib::Server& server, int port)
{
    server.set_socket_options([](int socket) {
        int yes = 1;
        // Lets a restart bind while old connections linger, but never shares the port.
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    if (port == 0)
        return std::max(0, server.bind_to_any_port("127.0.0.1"));
    return server.bind_to_port("127.0.0.1", port) ? port : 0;
}
