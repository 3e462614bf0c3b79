#include <tincture/UIColor+Tincture.h>

#include <gtest/gtest.h>

#include <set>

#include <foundation/NSBundle.h>
#include <foundation/NSUserDefaults.h>

#include "ColorTestSupport.h"
#include "TestSupport.h"

using namespace tincture;

TEST(HexString, ThreeAndSixDigitFormsWithOrWithoutTheNumberSign)
{
    for (const char* white : { "#FFFFFF", "FFFFFF", "#FFF", "FFF", "#ffffff", "fff" })
        EXPECT_EQ(rgba(colorWithHexString(white).get()), (std::array<CGFloat, 4> { 1, 1, 1, 1 })) << white;
    EXPECT_EQ(rgba(colorWithHexString("#F80").get()), rgba(colorWithHexString("FF8800").get()));
    EXPECT_EQ(rgba(colorWithHexString("#336699", 0.5).get())[3], 0.5);
    EXPECT_EQ(rgba(colorWithHexString("#800000").get())[0], static_cast<double>(128.0f / 255.0f));
    // Characters that are not hexadecimal scan as far as they go.
    EXPECT_EQ(rgba(colorWithHexString("#G00000").get())[0], 0.0);
    EXPECT_EQ(rgba(colorWithHexString("#1G0000").get())[0], static_cast<double>(1.0f / 255.0f));

    testing::internal::CaptureStderr();
    EXPECT_FALSE(colorWithHexString("#12345"));
    EXPECT_FALSE(colorWithHexString("#1234567"));
    EXPECT_FALSE(colorWithHexString("12"));
    EXPECT_EQ(
        testing::internal::GetCapturedStderr(), "Unsupported string format: #12345\nUnsupported string format: #1234567\nUnsupported string format: #12\n");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(colorWithHexString(""));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "no log line for the empty string";

    EXPECT_EQ(hexValueToUnsigned("0x1F"), 31u);
    EXPECT_EQ(hexValueToUnsigned("  0XaB"), 171u);
    EXPECT_EQ(hexValueToUnsigned("zz"), 0u);
    EXPECT_EQ(hexValueToUnsigned("FFFFFFFFFF"), 0xFFFFFFFFu);
}

class RandomFlatColor : public ::testing::Test {
protected:
    void SetUp() override
    {
        NSBundle::mainBundle().setBundleIdentifier("com.harbrook.tincture-tests");
        NSUserDefaults::resetStandardUserDefaultsForTesting();
    }
    void TearDown() override { NSUserDefaults::resetStandardUserDefaultsForTesting(); }

    void storePrevious(std::int64_t pick)
    {
        NSUserDefaults::standardUserDefaults().setInteger(pick, "previousRandomNumber");
        ASSERT_TRUE(NSUserDefaults::standardUserDefaults().synchronize());
    }

    TemporaryRoot m_root;
};

TEST_F(RandomFlatColor, APickNeverRepeatsAStoredNonZeroPickEvenAcrossARestart)
{
    for (int round = 0; round < 200; ++round) {
        storePrevious(5);
        NSUserDefaults::resetStandardUserDefaultsForTesting(); // as a new process would start
        EXPECT_NE(positionOf(randomFlatColor().ptr()), 5);
    }
    // Each pick is stored for the next one, in the domain's file in the root.
    NSUserDefaults::resetStandardUserDefaultsForTesting();
    int previous = positionOf(randomFlatColor().ptr());
    for (int round = 0; round < 200; ++round) {
        NSUserDefaults::resetStandardUserDefaultsForTesting();
        int pick = positionOf(randomFlatColor().ptr());
        if (previous != 0) {
            EXPECT_NE(pick, previous);
        }
        previous = pick;
    }
    auto stored = NSDictionary::dictionaryWithContentsOfFile("/var/mobile/Library/Preferences/com.harbrook.tincture-tests.plist");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->objectForKey("previousRandomNumber")->asInteger(), previous);
}

TEST_F(RandomFlatColor, AStoredZeroAllowsAnyPickAndShadeStylesPickTheirHalf)
{
    bool sawZero = false;
    for (int round = 0; round < 2000 && !sawZero; ++round) {
        storePrevious(0);
        sawZero = positionOf(randomFlatColor().ptr()) == 0;
    }
    EXPECT_TRUE(sawZero) << "after a stored 0, position 0 may come again";

    storePrevious(30); // outside 0..23: any of the 24 may come
    std::set<int> darkPositions, lightPositions;
    for (int round = 0; round < 400; ++round) {
        darkPositions.insert(positionOf(colorWithRandomFlatColorOfShadeStyle(1, 1).ptr()));
        lightPositions.insert(positionOf(colorWithRandomFlatColorOfShadeStyle(2).ptr()));
    }
    for (int position : darkPositions)
        EXPECT_EQ(position % 2, 1) << position;
    for (int position : lightPositions)
        EXPECT_EQ(position % 2, 0) << position;
    EXPECT_GT(darkPositions.size(), 20u);
    EXPECT_EQ(rgba(colorWithRandomFlatColorOfShadeStyle(0, 0.25).ptr())[3], 0.25);
}
