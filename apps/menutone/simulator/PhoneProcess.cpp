#include "PhoneProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

extern char** environ;

std::string PhoneProcess::start(const std::vector<std::string>& arguments, LineHandler handler)
{
    std::lock_guard guard(m_lifecycleLock);
    return startLocked(arguments, std::move(handler));
}

std::string PhoneProcess::startLocked(const std::vector<std::string>& arguments, LineHandler handler)
{
    m_arguments = arguments;
    m_handler = handler;
    int toChild[2], fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0)
        return std::strerror(errno);
    if (::pipe2(fromChild, O_CLOEXEC) != 0) {
        ::close(toChild[0]);
        ::close(toChild[1]);
        return std::strerror(errno);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    std::vector<std::string> argv { "/proc/self/exe" };
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (auto& argument : argv)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    // A process group of its own: Ctrl-C in the terminal reaches only the
    // simulator, which ends its phones by "quit" (a phone killed mid-start
    // would leave its pid file behind).
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    int status = posix_spawn(&m_pid, "/proc/self/exe", &actions, &attributes, pointers.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    if (status != 0) {
        ::close(toChild[1]);
        ::close(fromChild[0]);
        m_pid = -1;
        return std::strerror(status);
    }
    {
        std::lock_guard guard(m_inputLock);
        m_input = toChild[1];
    }
    m_output = fromChild[0];
    m_hasEnded = false;
    m_reader = std::thread([this, handler = std::move(handler)] {
        std::string pending;
        char buffer[65536];
        while (true) {
            ssize_t count = ::read(m_output, buffer, sizeof buffer);
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                break;
            pending.append(buffer, static_cast<std::size_t>(count));
            for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
                std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                handler(line);
            }
        }
        m_hasEnded = true;
        if (!m_isStopping && m_exitHandler)
            m_exitHandler();
    });
    return {};
}

std::string PhoneProcess::restart()
{
    std::lock_guard guard(m_lifecycleLock);
    if (m_isStopping)
        return "stopping";
    // Started again meanwhile (another device chosen): it runs.
    if (!m_hasEnded)
        return {};
    if (m_reader.joinable())
        m_reader.join();
    if (m_pid > 0) {
        // Its output is closed: it has ended, or is about to; it must not linger.
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    {
        std::lock_guard guard(m_inputLock);
        if (m_input >= 0)
            ::close(m_input);
        m_input = -1;
    }
    if (m_output >= 0) {
        ::close(m_output);
        m_output = -1;
    }
    return startLocked(m_arguments, m_handler);
}

std::string PhoneProcess::restartWith(const std::vector<std::string>& arguments)
{
    std::lock_guard guard(m_lifecycleLock);
    stopLocked();
    m_isStopping = false;
    return startLocked(arguments, m_handler);
}

PhoneProcess::~PhoneProcess()
{
    stop();
}

void PhoneProcess::send(const std::string& line)
{
    std::lock_guard guard(m_inputLock);
    if (m_input < 0)
        return;
    std::string text = line + "\n";
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t written = ::write(m_input, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

void PhoneProcess::stop()
{
    std::lock_guard guard(m_lifecycleLock);
    stopLocked();
}

void PhoneProcess::stopLocked()
{
    m_isStopping = true;
    if (m_pid > 0) {
        send("quit");
        {
            std::lock_guard guard(m_inputLock);
            ::close(m_input);
            m_input = -1;
        }
        // A moment to quit cleanly (the home screen gives back its pid file).
        int status = 0;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (::waitpid(m_pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(m_pid, SIGKILL);
                ::waitpid(m_pid, &status, 0);
                break;
            }
            ::usleep(10000);
        }
        m_pid = -1;
    }
    if (m_reader.joinable())
        m_reader.join();
    if (m_output >= 0) {
        ::close(m_output);
        m_output = -1;
    }
}
