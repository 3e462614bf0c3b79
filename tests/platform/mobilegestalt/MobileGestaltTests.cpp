#include <gtest/gtest.h>

#include <foundation/NSDictionary.h>
#include <mobilegestalt/MobileGestalt.h>

#include "TestSupport.h"

TEST(MobileGestalt, AnswersComeFromTheRootsSystemFilesAndAreNoneWithoutThem)
{
    TemporaryRoot root;
    EXPECT_EQ(MGCopyAnswer("ProductVersion"), std::nullopt);
    NSFileManager::defaultManager().createDirectoryAtPath("/System/Library/CoreServices");
    NSDictionary({ { "ProductVersion", PropertyListValue::string("9.3.3") }, { "ProductBuildVersion", PropertyListValue::string("13G34") } })
        .writeToFile(kMGSystemVersionPath, Atomically::Yes);
    NSDictionary({ { "ProductType", PropertyListValue::integer(8) } }).writeToFile(kMGDeviceModelPath, Atomically::Yes);
    EXPECT_EQ(MGCopyAnswer("ProductVersion"), "9.3.3");
    EXPECT_EQ(MGCopyAnswer("BuildVersion"), "13G34");
    EXPECT_EQ(MGCopyAnswer("ProductType"), std::nullopt) << "a model that is not a string";
    EXPECT_EQ(MGCopyAnswer("UniqueDeviceID"), std::nullopt) << "nothing this platform answers";
}
