#include "Process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "DeviceRoot.h"

extern char** environ;

namespace device {

namespace {

constexpr const char* pidFilePath = "/var/run/SpringBoard.pid";
int registeredFd = -1;

int restartHomeScreen()
{
    auto path = DeviceRoot::current().hostPath(pidFilePath);
    if (!path)
        return 1;
    int fd = ::open(path->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 1;
    // A file nobody holds locked is left over from a home screen that died.
    bool isHeld = ::flock(fd, LOCK_SH | LOCK_NB) != 0;
    char text[32] = {};
    ssize_t count = isHeld ? ::pread(fd, text, sizeof text - 1, 0) : 0;
    ::close(fd);
    if (count <= 0)
        return 1;
    char* end = nullptr;
    long pid = std::strtol(text, &end, 10);
    if (pid <= 1 || end == text)
        return 1;
    return ::kill(static_cast<pid_t>(pid), respringSignal()) == 0 ? 0 : 1;
}

std::mutex& streamsLock()
{
    static std::mutex lock;
    return lock;
}

// The command behind each stream popen opened.
std::map<FILE*, pid_t>& streams()
{
    static auto* table = new std::map<FILE*, pid_t>;
    return *table;
}

FILE* spawnReading(std::vector<std::string> arguments)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return nullptr;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    int error = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (error != 0) {
        ::close(pipeFds[0]);
        return nullptr;
    }
    FILE* stream = ::fdopen(pipeFds[0], "r");
    if (!stream) {
        ::close(pipeFds[0]);
        ::waitpid(pid, nullptr, 0);
        return nullptr;
    }
    std::lock_guard guard(streamsLock());
    streams()[stream] = pid;
    return stream;
}

}

FILE* popen(std::string_view command, const char* mode)
{
    if (!mode || std::string_view(mode) != "r" || command != "/usr/bin/dpkg -l")
        return nullptr;
    auto database = DeviceRoot::current().hostPath(kPackageDatabasePath);
    if (!database)
        return nullptr;
    return spawnReading({ "/usr/bin/dpkg", "--admindir=" + database->string(), "-l" });
}

int pclose(FILE* stream)
{
    pid_t pid = -1;
    {
        std::lock_guard guard(streamsLock());
        auto found = streams().find(stream);
        if (found == streams().end())
            return -1;
        pid = found->second;
        streams().erase(found);
    }
    std::fclose(stream);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return status;
}

int respringSignal()
{
    return SIGUSR1;
}

int system(std::string_view command)
{
    if (command == "killall backboardd" || command == "killall SpringBoard" || command == "killall -9 SpringBoard")
        return restartHomeScreen();
    return 127;
}

bool registerHomeScreen()
{
    auto path = DeviceRoot::current().hostPath(pidFilePath);
    if (!path)
        return false;
    // Close-on-exec: a home screen that restarts by exec gives the lock up and takes it again.
    int fd = ::open(path->c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    std::string pid = std::to_string(::getpid()) + "\n";
    bool isWritten = ::ftruncate(fd, 0) == 0 && ::pwrite(fd, pid.data(), pid.size(), 0) == static_cast<ssize_t>(pid.size());
    if (!isWritten) {
        ::close(fd);
        return false;
    }
    registeredFd = fd;
    return true;
}

void unregisterHomeScreen()
{
    if (registeredFd < 0)
        return;
    if (auto path = DeviceRoot::current().hostPath(pidFilePath))
        ::unlink(path->c_str());
    ::close(registeredFd);
    registeredFd = -1;
}

}
