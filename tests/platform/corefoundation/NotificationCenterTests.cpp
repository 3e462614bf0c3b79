#include <corefoundation/CFNotificationCenter.h>

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <set>

#include <corefoundation/CFRunLoop.h>

#include "TestSupport.h"

namespace {

struct Delivery {
    CFNotificationCenterRef center;
    void* observer;
    std::string name;
    const void* object;
    CFDictionaryRef userInfo;
};
std::vector<Delivery> deliveries;

void recordDelivery(CFNotificationCenterRef center, void* observer, CFStringRef name, const void* object, CFDictionaryRef userInfo)
{
    deliveries.push_back({ center, observer, CFStringGetCStringPtr(name), object, userInfo });
}

class DarwinNotifyCenter : public ::testing::Test {
protected:
    void SetUp() override
    {
        deliveries.clear();
        CFRunLoop::main().runUntilIdle();
    }
    void TearDown() override
    {
        CFNotificationCenterRemoveEveryObserver(m_center, &m_token);
        CFNotificationCenterRemoveEveryObserver(m_center, nullptr);
    }

    TemporaryRoot m_root;
    CFNotificationCenterRef m_center { CFNotificationCenterGetDarwinNotifyCenter() };
    int m_token { 0 };
};

void post(const char* name)
{
    CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), CFStringMakeConstantString(name), nullptr, nullptr, true);
}

}

TEST_F(DarwinNotifyCenter, SeveralQuickPostsAreDeliveredOnceWithTheFiveCallbackArguments)
{
    CFNotificationCenterAddObserver(
        m_center, &m_token, &recordDelivery, CFSTR("com.harbrook.Menutone.notify"), nullptr, CFNotificationSuspensionBehaviorCoalesce);
    for (int i = 0; i < 5; ++i)
        CFNotificationCenterPostNotification(m_center, CFSTR("com.harbrook.Menutone.notify"), &m_token, nullptr, true);
    EXPECT_TRUE(deliveries.empty()) << "delivered on the run loop, not inside the post";
    CFRunLoop::main().runUntilIdle();
    ASSERT_EQ(deliveries.size(), 1u);
    EXPECT_EQ(deliveries[0].center, m_center);
    EXPECT_EQ(deliveries[0].observer, &m_token);
    EXPECT_EQ(deliveries[0].name, "com.harbrook.Menutone.notify");
    EXPECT_EQ(deliveries[0].object, nullptr);
    EXPECT_EQ(deliveries[0].userInfo, nullptr);

    post("com.harbrook.Menutone.notify");
    CFRunLoop::main().runUntilIdle();
    EXPECT_EQ(deliveries.size(), 2u) << "a later post is delivered again";
}

TEST_F(DarwinNotifyCenter, ObserversHearOnlyTheirNamesAndRemovedObserversNothing)
{
    CFNotificationCenterAddObserver(m_center, &m_token, &recordDelivery, CFSTR("first"), nullptr, CFNotificationSuspensionBehaviorCoalesce);
    CFNotificationCenterAddObserver(m_center, &m_token, &recordDelivery, CFSTR("first"), nullptr, CFNotificationSuspensionBehaviorCoalesce);
    CFNotificationCenterAddObserver(m_center, nullptr, &recordDelivery, CFSTR("second/with ../odd name"), nullptr, CFNotificationSuspensionBehaviorCoalesce);
    post("second/with ../odd name");
    post("unobserved");
    CFRunLoop::main().runUntilIdle();
    ASSERT_EQ(deliveries.size(), 1u);
    EXPECT_EQ(deliveries[0].name, "second/with ../odd name");
    EXPECT_EQ(deliveries[0].observer, nullptr);

    deliveries.clear();
    post("first");
    CFRunLoop::main().runUntilIdle();
    EXPECT_EQ(deliveries.size(), 1u) << "the same registration twice counts once";

    deliveries.clear();
    CFNotificationCenterRemoveObserver(m_center, &m_token, CFSTR("first"), nullptr);
    post("first");
    CFRunLoop::main().runUntilIdle();
    EXPECT_TRUE(deliveries.empty());
}

TEST_F(DarwinNotifyCenter, ObserversKeepHearingAfterTheNotifyFolderIsRemoved)
{
    CFNotificationCenterAddObserver(
        m_center, &m_token, &recordDelivery, CFSTR("com.harbrook.Menutone.notify"), nullptr, CFNotificationSuspensionBehaviorCoalesce);
    std::filesystem::remove_all(m_root.hostPath(corefoundation::notifyFolder));
    CFRunLoop::main().runUntilIdle();
    post("com.harbrook.Menutone.notify");
    CFRunLoop::main().runUntilIdle();
    EXPECT_EQ(deliveries.size(), 1u);
}

TEST_F(DarwinNotifyCenter, APostFromAnotherProcessReachesThisOne)
{
    CFNotificationCenterAddObserver(
        m_center, &m_token, &recordDelivery, CFSTR("com.harbrook.Menutone.notify"), nullptr, CFNotificationSuspensionBehaviorCoalesce);
    std::string command = std::string(NOTIFY_PEER) + " " + m_root.path().string() + " post com.harbrook.Menutone.notify";
    ASSERT_EQ(std::system(command.c_str()), 0);
    CFRunLoop::main().runUntilIdle();
    ASSERT_EQ(deliveries.size(), 1u);
    EXPECT_EQ(deliveries[0].name, "com.harbrook.Menutone.notify");
}

TEST_F(DarwinNotifyCenter, APostFromThisProcessReachesAnObserverInAnother)
{
    std::string command = std::string(NOTIFY_PEER) + " " + m_root.path().string() + " observe com.harbrook.Menutone.notify 1";
    FILE* peer = ::popen(command.c_str(), "r");
    ASSERT_TRUE(peer);
    char line[128] = {};
    ASSERT_TRUE(std::fgets(line, sizeof line, peer));
    EXPECT_STREQ(line, "ready\n");
    post("com.harbrook.Menutone.notify");
    ASSERT_TRUE(std::fgets(line, sizeof line, peer));
    EXPECT_STREQ(line, "delivered com.harbrook.Menutone.notify\n");
    int status = ::pclose(peer);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(DarwinNotifyName, EveryNameBecomesADistinctSafeFileName)
{
    std::set<std::string> fileNames;
    std::vector<std::string> names { "com.harbrook.Menutone.notify", "a/b", "a%2Fb", "..", ".hidden", "", "space name", std::string(300, 'x'),
        std::string(300, 'x') + "y", "\xC3\xA9" };
    for (auto& name : names) {
        std::string fileName = corefoundation::notificationFileName(name);
        EXPECT_FALSE(fileName.empty());
        EXPECT_LE(fileName.size(), 200u);
        EXPECT_EQ(fileName.find('/'), std::string::npos);
        EXPECT_NE(fileName.front(), '.') << name;
        fileNames.insert(fileName);
    }
    EXPECT_EQ(fileNames.size(), names.size());
    EXPECT_EQ(corefoundation::notificationFileName("com.harbrook.Menutone.notify"), "com.harbrook.Menutone.notify");
}
