#include <device/DeviceRoot.h>

#include <gtest/gtest.h>

#include "TestSupport.h"

TEST(DeviceRoot, DevicePathsMapUnderTheRoot)
{
    DeviceRoot root("/tmp/some-root/");
    EXPECT_EQ(root.hostFolder(), "/tmp/some-root");
    EXPECT_EQ(root.hostPath("/var/mobile/Library/Preferences/com.harbrook.Menutone.plist"),
        std::filesystem::path("/tmp/some-root/var/mobile/Library/Preferences/com.harbrook.Menutone.plist"));
    EXPECT_EQ(root.hostPath("/"), std::filesystem::path("/tmp/some-root"));
    EXPECT_EQ(root.hostPath("/var/./mobile//x/../y"), std::filesystem::path("/tmp/some-root/var/mobile/y"));
}

TEST(DeviceRoot, PathsThatWouldLeaveTheRootAreRefused)
{
    TemporaryRoot temporary;
    DeviceRoot root(temporary.path());
    EXPECT_FALSE(root.hostPath("/../etc/passwd"));
    EXPECT_FALSE(root.hostPath("/var/../../etc/passwd"));
    EXPECT_FALSE(root.hostPath("relative/path"));
    EXPECT_FALSE(root.hostPath(""));
    EXPECT_FALSE(root.hostPath(std::string_view("/var/\0/x", 8)));

    // A link inside the root that points out of it is refused, one that stays inside is followed.
    std::filesystem::create_directory_symlink("/etc", temporary.path() / "var/escape");
    std::filesystem::create_directory_symlink(temporary.path() / "var/mobile", temporary.path() / "var/inside");
    EXPECT_FALSE(root.hostPath("/var/escape/passwd"));
    EXPECT_TRUE(root.hostPath("/var/inside/Library"));
}

TEST(DeviceRoot, TheCurrentRootIsTheOneSetElseTheEnvironmentsElseTheBuilds)
{
    ::setenv("MENUTONE_ROOT", "/tmp/from-environment", 1);
    EXPECT_EQ(DeviceRoot::defaultHostFolder(), "/tmp/from-environment");
    ::unsetenv("MENUTONE_ROOT");
    EXPECT_EQ(DeviceRoot::defaultHostFolder(), MENUTONE_DEFAULT_ROOT_FOR_TESTING);
    DeviceRoot::setCurrent("/tmp/chosen");
    EXPECT_EQ(DeviceRoot::current().hostFolder(), "/tmp/chosen");
}
