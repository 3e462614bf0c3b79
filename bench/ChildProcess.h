#pragma once

// A helper process for a benchmark that crosses processes: started with its
// standard output on a pipe read line by line, and ended (SIGTERM, then
// reaped) when the object goes.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

class ChildProcess {
public:
    explicit ChildProcess(std::vector<std::string> arguments)
    {
        int pipeEnds[2];
        if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
            std::abort();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        std::vector<char*> argv;
        for (auto& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        if (::posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            std::abort();
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeEnds[1]);
        m_output = ::fdopen(pipeEnds[0], "r");
    }
    ~ChildProcess()
    {
        ::kill(m_pid, SIGTERM);
        int status;
        ::waitpid(m_pid, &status, 0);
        std::fclose(m_output);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line the process prints; aborts the benchmark if it ends instead.
    void waitForLine()
    {
        char line[256];
        if (!std::fgets(line, sizeof line, m_output))
            std::abort();
    }

private:
    pid_t m_pid { -1 };
    std::FILE* m_output { nullptr };
};
