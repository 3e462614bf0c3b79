// Times a command end to end, from its start to its exit, as a lighter
// parent than a shell or Node would be (their own forks and threads would
// be counted against it): the median wall time of RUNS runs and what the
// last run printed, as one JSON object.
//   time-command RUNS COMMAND [ARGUMENT...]

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

std::string jsonString(const std::string& text)
{
    std::string quoted = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\')
            quoted += { '\\', static_cast<char>(c) };
        else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            quoted += escaped;
        } else
            quoted += static_cast<char>(c);
    }
    return quoted + "\"";
}

}

int main(int argc, char** argv)
{
    int runs = argc >= 3 ? std::atoi(argv[1]) : 0;
    if (runs < 1) {
        std::fputs("usage: time-command RUNS COMMAND [ARGUMENT...]\n", stderr);
        return 2;
    }
    std::vector<double> milliseconds;
    std::string output;
    for (int run = 0; run < runs; ++run) {
        int ends[2];
        if (::pipe(ends) != 0)
            return 1;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, ends[0]);
        auto start = std::chrono::steady_clock::now();
        pid_t pid;
        if (::posix_spawnp(&pid, argv[2], &actions, nullptr, argv + 2, environ) != 0) {
            std::fprintf(stderr, "time-command: cannot start %s\n", argv[2]);
            return 1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(ends[1]);
        output.clear();
        char buffer[4096];
        for (ssize_t count; (count = ::read(ends[0], buffer, sizeof buffer)) > 0;)
            output.append(buffer, static_cast<std::size_t>(count));
        int status;
        ::waitpid(pid, &status, 0);
        milliseconds.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        ::close(ends[0]);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "time-command: %s failed\n", argv[2]);
            return 1;
        }
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("{\"median\":%.3f,\"output\":%s}\n", milliseconds[milliseconds.size() / 2], jsonString(output).c_str());
}
