#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <base/Expected.h>
#include <device/DarwinNotify.h>
#include <device/DeviceRoot.h>
#include <device/FileSystem.h>

// A fresh empty folder in the temporary folder, removed with everything in it.
// Its name carries the test process's pid ("menutone-test-PID-XXXXXX"): a
// test killed by a timeout runs no destructor, so the first folder each
// process makes removes those of test processes that are gone.
class TemporaryFolder {
public:
    TemporaryFolder()
    {
        static bool isSwept = (removeFoldersOfEndedTests(), true);
        (void)isSwept;
        std::string pattern = (std::filesystem::temp_directory_path() / (prefix + std::to_string(::getpid()) + "-XXXXXX")).string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TemporaryFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    static inline const std::string prefix = "menutone-test-";

    static void removeFoldersOfEndedTests()
    {
        std::error_code error;
        for (auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path(), error)) {
            std::string name = entry.path().filename().string();
            if (!name.starts_with(prefix))
                continue;
            char* end = nullptr;
            long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
            if (*end == '-' && device::hasProcessEnded(pid))
                std::filesystem::remove_all(entry.path(), error);
        }
    }

    std::filesystem::path m_path;
};

// A fresh device root in a temporary folder, current for the test's lifetime.
class TemporaryRoot {
public:
    TemporaryRoot()
    {
        DeviceRoot(path()).createStandardFolders();
        DeviceRoot::setCurrent(path());
    }

    const std::filesystem::path& path() const { return m_folder.path(); }
    std::filesystem::path hostPath(const std::string& devicePath) const { return *DeviceRoot(path()).hostPath(devicePath); }

    // Whether the notification was posted in this root since the last look
    // (its file is there); takes the post away.
    bool takePost(const std::string& name) const
    {
        std::error_code error;
        return std::filesystem::remove(path() / "var/run/notify" / device::notificationFileName(name), error);
    }

private:
    TemporaryFolder m_folder;
};

inline std::span<const std::uint8_t> bytesOf(const std::string& text)
{
    return { reinterpret_cast<const std::uint8_t*>(text.data()), text.size() };
}

inline std::size_t entryCount(const std::filesystem::path& folder)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

struct CommandResult {
    int status;
    std::string output;
};

// Runs a shell command line; stderr joins stdout unless the command redirects it.
inline CommandResult runCommand(const std::string& commandLine)
{
    FILE* pipe = ::popen((commandLine + " 2>&1").c_str(), "r");
    std::string output;
    char buffer[4096];
    while (std::size_t count = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, count);
    int status = ::pclose(pipe);
    return { WIFEXITED(status) ? WEXITSTATUS(status) : -1, output };
}

inline std::filesystem::path fixture(const std::string& name)
{
    return std::filesystem::path(MENUTONE_FIXTURES_DIR) / name;
}

// Passes for a result that holds a value; else fails with the error's message.
template <typename T>::testing::AssertionResult succeeded(const Expected<T>& result)
{
    if (result)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << result.error().message;
}

// The error's message, or the empty string for a value.
template <typename T> std::string messageOf(const Expected<T>& result)
{
    return result ? std::string() : result.error().message;
}
