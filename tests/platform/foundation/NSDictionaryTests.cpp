#include <foundation/NSDictionary.h>

#include <gtest/gtest.h>

#include <foundation/PropertyListSerialization.h>

#include "TestSupport.h"

namespace {
constexpr const char* storePath = "/var/mobile/Library/Preferences/com.harbrook.Menutone.plist";
}

TEST(NSDictionary, ContentsOfAFileAreNoneForMissingMalformedAndNonDictionaryFiles)
{
    TemporaryRoot root;
    EXPECT_FALSE(NSDictionary::dictionaryWithContentsOfFile(storePath));
    writeBytes(root.hostPath(storePath), "<plist><dict><key>a</key>");
    EXPECT_FALSE(NSDictionary::dictionaryWithContentsOfFile(storePath));
    std::filesystem::copy_file(fixture("array-root.plist"), root.hostPath(storePath), std::filesystem::copy_options::overwrite_existing);
    EXPECT_FALSE(NSDictionary::dictionaryWithContentsOfFile(storePath));
    EXPECT_FALSE(NSDictionary::dictionaryWithContentsOfFile("/../outside.plist"));
    std::filesystem::copy_file(fixture("settings.binary.plist"), root.hostPath(storePath), std::filesystem::copy_options::overwrite_existing);
    auto dictionary = NSDictionary::dictionaryWithContentsOfFile(storePath);
    ASSERT_TRUE(dictionary);
    EXPECT_EQ(dictionary->count(), 18u);
}

TEST(NSDictionary, WriteToFileAtomicallyWritesXMLThatReadsBackWhole)
{
    TemporaryRoot root;
    NSMutableDictionary dictionary;
    dictionary.setObject(PropertyListValue::integer(25), "shortcutTitleColor");
    dictionary.setObject(PropertyListValue::boolean(true), "isShortcutBorder");
    ASSERT_TRUE(dictionary.writeToFile(storePath, Atomically::Yes));
    auto result = PropertyListSerialization::readFile(root.hostPath(storePath));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->format, PropertyListFormat::XML);
    EXPECT_EQ(NSDictionary::dictionaryWithContentsOfFile(storePath), dictionary);

    dictionary.removeObjectForKey("isShortcutBorder");
    dictionary.removeObjectForKey("neverThere");
    ASSERT_TRUE(dictionary.writeToFile(storePath, Atomically::No));
    EXPECT_EQ(NSDictionary::dictionaryWithContentsOfFile(storePath)->count(), 1u);
    EXPECT_FALSE(dictionary.writeToFile("/../escape.plist", Atomically::Yes));
    EXPECT_FALSE(dictionary.writeToFile("/var/missing-folder/x.plist", Atomically::Yes));
}

TEST(NSDictionary, ChangingACopyLeavesTheOriginalAlone)
{
    NSMutableDictionary original;
    original.setObject(PropertyListValue::integer(1), "a");
    NSMutableDictionary copy = original;
    copy.setObject(PropertyListValue::integer(2), "a");
    EXPECT_EQ(original.objectForKey("a")->asInteger(), 1);
    EXPECT_EQ(copy.objectForKey("a")->asInteger(), 2);
}

TEST(NSFileManager, RemovingKeepsToTheRootAndNeverTheRootItself)
{
    TemporaryRoot root;
    writeBytes(root.hostPath(storePath), "x");
    auto& manager = NSFileManager::defaultManager();
    EXPECT_TRUE(manager.fileExistsAtPath(storePath));
    EXPECT_TRUE(manager.removeItemAtPath(storePath));
    EXPECT_FALSE(manager.fileExistsAtPath(storePath));
    EXPECT_FALSE(manager.removeItemAtPath(storePath));
    EXPECT_FALSE(manager.removeItemAtPath("/"));
    EXPECT_FALSE(manager.removeItemAtPath("/.."));
    EXPECT_TRUE(std::filesystem::exists(root.path() / "var"));
}
