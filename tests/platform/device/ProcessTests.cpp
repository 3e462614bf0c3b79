#include <gtest/gtest.h>

#include <fstream>

#include <device/Process.h>

#include "TestSupport.h"

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
    EXPECT_EQ(device::system("killall backboardd"), 1);
    // A pid file nobody holds is left from a home screen that died; its pid may be anyone's now.
    std::ofstream(root.hostPath("/var/run/SpringBoard.pid")) << ::getpid() << "\n";
    EXPECT_EQ(device::system("killall backboardd"), 1);
    EXPECT_FALSE(root.takePost(device::kRespringNotification));
}

TEST(DeviceProcess, RespringIsAPrivateNotificationToTheRegisteredHomeScreenOfThisRootOnly)
{
    TemporaryRoot root;
    ASSERT_EQ(device::registerHomeScreen(), device::HomeScreenRegistration::Registered);
    EXPECT_EQ(device::registerHomeScreen(), device::HomeScreenRegistration::AnotherRuns) << "one home screen per root";
    EXPECT_EQ(device::system("killall backboardd"), 0);
    EXPECT_TRUE(root.takePost(device::kRespringNotification));
    EXPECT_EQ(device::system("killall SpringBoard"), 0);
    EXPECT_TRUE(root.takePost(device::kRespringNotification));

    {
        TemporaryRoot otherRoot; // now current
        EXPECT_EQ(device::system("killall backboardd"), 1);
        EXPECT_FALSE(otherRoot.takePost(device::kRespringNotification));
    }
    DeviceRoot::setCurrent(root.path());
    EXPECT_FALSE(root.takePost(device::kRespringNotification));
    device::unregisterHomeScreen();
    EXPECT_FALSE(std::filesystem::exists(root.hostPath("/var/run/SpringBoard.pid")));
    EXPECT_EQ(device::system("killall backboardd"), 1);
}

TEST(DeviceProcess, ARootWithoutItsRunFolderHasNoHomeScreen)
{
    TemporaryRoot root;
    std::filesystem::remove_all(root.path() / "var/run");
    EXPECT_EQ(device::registerHomeScreen(), device::HomeScreenRegistration::NoRunFolder);
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
