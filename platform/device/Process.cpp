#include "Process.h"

#include <fcntl.h>
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

#include "DarwinNotify.h"
#include "DeviceRoot.h"

extern char** environ;

namespace device {

namespace {

constexpr const char* pidFilePath = "/var/run/SpringBoard.pid";
int registeredFd = -1;

// A respring is asked of the root's own home screen by a notification only it
// observes; no signal goes to a process by a pid read from a file.
int restartHomeScreen()
{
    FileDescriptor file = DeviceRoot::current().open(pidFilePath, O_RDONLY);
    // A file nobody holds locked is left over from a home screen that died.
    if (!file.isValid() || ::flock(file.get(), LOCK_SH | LOCK_NB) == 0)
        return 1;
    postNotification(kRespringNotification);
    return 0;
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

// The child keeps `inheritedFd` (cleared of close-on-exec), for a path that names it.
FILE* spawnReading(std::vector<std::string> arguments, int inheritedFd)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return nullptr;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, inheritedFd, inheritedFd);
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
    // dpkg is handed the database folder opened beneath the root, not its name.
    FileDescriptor database = DeviceRoot::current().open(kPackageDatabasePath, O_PATH | O_DIRECTORY);
    if (!database.isValid())
        return nullptr;
    return spawnReading({ "/usr/bin/dpkg", "--admindir=/proc/self/fd/" + std::to_string(database.get()), "-l" }, database.get());
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

int system(std::string_view command)
{
    if (command == "killall backboardd" || command == "killall SpringBoard" || command == "killall -9 SpringBoard")
        return restartHomeScreen();
    return 127;
}

HomeScreenRegistration registerHomeScreen()
{
    DeviceRoot root = DeviceRoot::current();
    if (!root.isFolder("/var/run"))
        return HomeScreenRegistration::NoRunFolder;
    // Close-on-exec: a home screen that restarts by exec gives the lock up and takes it again.
    FileDescriptor file = root.open(pidFilePath, O_RDWR | O_CREAT | O_NOFOLLOW, 0644);
    if (!file.isValid())
        return HomeScreenRegistration::Unwritable;
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0)
        return HomeScreenRegistration::AnotherRuns;
    std::string pid = std::to_string(::getpid()) + "\n";
    bool isWritten = ::ftruncate(file.get(), 0) == 0 && ::pwrite(file.get(), pid.data(), pid.size(), 0) == static_cast<ssize_t>(pid.size());
    if (!isWritten)
        return HomeScreenRegistration::Unwritable;
    registeredFd = file.release();
    return HomeScreenRegistration::Registered;
}

void unregisterHomeScreen()
{
    if (registeredFd < 0)
        return;
    DeviceRoot::current().removeItem(pidFilePath);
    ::close(registeredFd);
    registeredFd = -1;
}

}
