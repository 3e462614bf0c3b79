#pragma once

// A program run beside the test with its stdin and stdout on pipes, for
// tests that talk to a long-running command line by line.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class ChildProcess {
public:
    explicit ChildProcess(std::vector<std::string> arguments)
    {
        int input[2], output[2];
        if (::pipe2(input, O_CLOEXEC) || ::pipe2(output, O_CLOEXEC))
            return;
        pid_t test = ::getpid();
        m_pid = ::fork();
        if (m_pid == 0) {
            ::setpgid(0, 0); // a group of its own, so signals reach what it starts too
            // A test killed by a timeout runs no destructor: the program is
            // told to end (SIGTERM, which it handles as Ctrl-C) when the test goes.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (::getppid() != test)
                ::_exit(127);
            ::dup2(input[0], STDIN_FILENO);
            ::dup2(output[1], STDOUT_FILENO);
            std::vector<char*> argv;
            for (auto& argument : arguments)
                argv.push_back(argument.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(input[0]);
        ::close(output[1]);
        m_input = input[1];
        m_output = output[0];
    }
    ~ChildProcess()
    {
        if (m_input >= 0)
            ::close(m_input);
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_output >= 0)
            ::close(m_output);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return m_pid; }

    void send(const std::string& line)
    {
        std::string text = line + "\n";
        [[maybe_unused]] auto written = ::write(m_input, text.data(), text.size());
    }

    // The next line, or none when the program ends or stays silent that long
    // (a guard against a hung test, not a measure of speed).
    std::optional<std::string> readLine(std::chrono::seconds patience = std::chrono::seconds(20))
    {
        auto deadline = std::chrono::steady_clock::now() + patience;
        for (;;) {
            if (auto end = m_pending.find('\n'); end != std::string::npos) {
                std::string line = m_pending.substr(0, end);
                m_pending.erase(0, end + 1);
                return line;
            }
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
            pollfd source { m_output, POLLIN, 0 };
            if (left <= 0 || ::poll(&source, 1, static_cast<int>(left)) <= 0)
                return std::nullopt;
            char buffer[4096];
            ssize_t count = ::read(m_output, buffer, sizeof buffer);
            if (count <= 0) {
                m_isOutputClosed = count == 0;
                return std::nullopt;
            }
            m_pending.append(buffer, static_cast<std::size_t>(count));
        }
    }

    // Reads lines until one starts with the prefix.
    std::optional<std::string> readLineStartingWith(const std::string& prefix)
    {
        while (auto line = readLine()) {
            if (line->starts_with(prefix))
                return line;
        }
        return std::nullopt;
    }

    // Signals the program and what it started, as Ctrl-C in a terminal does.
    void signalGroup(int number) const { ::kill(-m_pid, number); }

    // Reads until the program closes its output, then its exit status (-1
    // when a signal ended it or it went on writing for the whole patience).
    int waitForExit()
    {
        while (readLine()) { }
        if (m_pid <= 0)
            return -1;
        if (!m_isOutputClosed)
            ::kill(m_pid, SIGKILL);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return m_isOutputClosed && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid { -1 };
    int m_input { -1 };
    int m_output { -1 };
    std::string m_pending;
    bool m_isOutputClosed { false };
};
