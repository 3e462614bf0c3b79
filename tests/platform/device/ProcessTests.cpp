#include <gtest/gtest.h>

#include <signal.h>

#include <fstream>

#include <device/Process.h>

#include "TestSupport.h"

namespace {

// The respring signal, held pending instead of delivered, for the test to look at.
class BlockedRespringSignal {
public:
    BlockedRespringSignal()
    {
        sigemptyset(&m_set);
        sigaddset(&m_set, device::respringSignal());
        ::sigprocmask(SIG_BLOCK, &m_set, &m_previous);
    }
    ~BlockedRespringSignal()
    {
        takePending();
        ::sigprocmask(SIG_SETMASK, &m_previous, nullptr);
    }
    bool takePending()
    {
        sigset_t pending;
        ::sigpending(&pending);
        if (!sigismember(&pending, device::respringSignal()))
            return false;
        timespec none {};
        ::sigtimedwait(&m_set, nullptr, &none);
        return true;
    }

private:
    sigset_t m_set;
    sigset_t m_previous;
};

}

TEST(DeviceProcess, OnlyTheRespringCommandsRunAndNothingReachesTheShell)
{
    TemporaryRoot root;
    auto marker = root.path() / "ran";
    EXPECT_EQ(device::system("touch " + marker.string()), 127);
    EXPECT_EQ(device::system("killall backboardd; touch " + marker.string()), 127);
    EXPECT_EQ(device::system(""), 127);
    EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST(DeviceProcess, RespringWithoutAHomeScreenReportsNoProcess)
{
    TemporaryRoot root;
    BlockedRespringSignal signal;
    EXPECT_EQ(device::system("killall backboardd"), 1);
    // A pid file nobody holds is left from a home screen that died; its pid may be anyone's now.
    std::ofstream(root.hostPath("/var/run/SpringBoard.pid")) << ::getpid() << "\n";
    EXPECT_EQ(device::system("killall backboardd"), 1);
    EXPECT_FALSE(signal.takePending());
}

TEST(DeviceProcess, RespringSignalsTheRegisteredHomeScreenOfThisRootOnly)
{
    TemporaryRoot root;
    BlockedRespringSignal signal;
    ASSERT_TRUE(device::registerHomeScreen());
    EXPECT_FALSE(device::registerHomeScreen()) << "one home screen per root";
    EXPECT_EQ(device::system("killall backboardd"), 0);
    EXPECT_TRUE(signal.takePending());
    EXPECT_EQ(device::system("killall SpringBoard"), 0);
    EXPECT_TRUE(signal.takePending());

    TemporaryRoot otherRoot; // now current
    EXPECT_EQ(device::system("killall backboardd"), 1);
    EXPECT_FALSE(signal.takePending());

    DeviceRoot::setCurrent(root.path());
    device::unregisterHomeScreen();
    EXPECT_FALSE(std::filesystem::exists(root.hostPath("/var/run/SpringBoard.pid")));
    EXPECT_EQ(device::system("killall backboardd"), 1);
}

TEST(DeviceProcess, OnlyTheListingCommandStartsAndItReadsTheRootsOwnDatabase)
{
    TemporaryRoot root;
    EXPECT_EQ(device::popen("/usr/bin/dpkg -l; touch x", "r"), nullptr);
    EXPECT_EQ(device::popen("/usr/bin/dpkg -l", "w"), nullptr);
    EXPECT_EQ(device::popen("ls", "r"), nullptr);
    EXPECT_EQ(device::pclose(stdin), -1) << "a stream popen did not open";

    std::filesystem::create_directories(root.hostPath("/var/lib/dpkg"));
    writeBytes(root.hostPath("/var/lib/dpkg/status"),
        "Package: com.example.only\nStatus: install ok installed\nArchitecture: all\nVersion: 2.0\n"
        "Maintainer: Example <e@example.com>\nDescription: the one package\n\n");
    FILE* listing = device::popen("/usr/bin/dpkg -l", "r");
    ASSERT_TRUE(listing);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, listing))
        output += buffer;
    EXPECT_EQ(device::pclose(listing), 0);
    EXPECT_NE(output.find("com.example.only"), std::string::npos) << output;
    EXPECT_EQ(output.find("dpkg "), std::string::npos) << "only the root's packages, not the host's";
}
