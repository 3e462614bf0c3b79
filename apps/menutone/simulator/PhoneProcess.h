#pragma once

// One of the simulator's phones: a `menutone` host process on the root,
// commands written to its stdin, each line it prints handed to a callback
// on a reader thread.

#include <sys/types.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class PhoneProcess {
public:
    using LineHandler = std::function<void(const std::string&)>;

    // Starts this program again with the arguments. Answers an error message, or empty.
    std::string start(const std::vector<std::string>& arguments, LineHandler);
    ~PhoneProcess();

    // Called on the reader thread when the phone ends without being asked to
    // (it crashed or was killed).
    void setExitHandler(std::function<void()> handler) { m_exitHandler = std::move(handler); }
    // After the phone ended: reaps it and starts it again as before. Answers
    // an error message, or empty.
    std::string restart();
    // Stops the phone and starts it with other arguments (another device).
    std::string restartWith(const std::vector<std::string>& arguments);

    void send(const std::string& line);
    // Asks it to quit, then waits (killing it if it does not go).
    void stop();

private:
    std::string startLocked(const std::vector<std::string>& arguments, LineHandler);
    void stopLocked();

    // Held while the process starts, stops or restarts: the restarter's
    // thread and a request's may both try.
    std::mutex m_lifecycleLock;
    std::vector<std::string> m_arguments;
    LineHandler m_handler;
    std::function<void()> m_exitHandler;
    std::atomic<bool> m_isStopping { false };
    std::atomic<bool> m_hasEnded { false }; // its output closed
    pid_t m_pid { -1 };
    int m_input { -1 };
    int m_output { -1 };
    std::mutex m_inputLock;
    std::thread m_reader;
};
