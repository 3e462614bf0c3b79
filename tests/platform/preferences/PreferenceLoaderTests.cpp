// PreferenceLoader's entries as the Settings list reads them, including
// entries that try to name files outside their folders.

#include <gtest/gtest.h>

#include <preferences/PreferenceLoader.h>

#include "TestSupport.h"

namespace {

void writeEntry(const TemporaryRoot& root, const std::string& name, const std::string& entryKeys)
{
    std::filesystem::create_directories(root.hostPath(kPreferenceEntriesFolder));
    writeBytes(root.hostPath(std::string(kPreferenceEntriesFolder) + "/" + name + ".plist"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>entry</key><dict>" + entryKeys + "</dict></dict></plist>\n");
}

}

TEST(PreferenceLoader, AnEntryNamesItsBundleAndIconInsideTheBundlesFolder)
{
    TemporaryRoot root;
    writeEntry(
        root, "Menutone", "<key>bundle</key><string>MenutonePrefs</string><key>label</key><string>Menu Tone</string><key>icon</key><string>icon.png</string>");
    auto entry = readPreferenceEntry("Menutone");
    ASSERT_TRUE(entry) << entry.error().message;
    EXPECT_EQ(entry->label, "Menu Tone");
    EXPECT_EQ(entry->path(), "/Library/PreferenceLoader/Preferences/Menutone.plist");
    EXPECT_EQ(entry->bundlePath(), "/Library/PreferenceBundles/MenutonePrefs.bundle");
    EXPECT_EQ(entry->iconPath(), "/Library/PreferenceBundles/MenutonePrefs.bundle/icon.png");
}

TEST(PreferenceLoader, NamesThatLeaveTheirFolderAreReadAsAbsent)
{
    TemporaryRoot root;
    writeEntry(root, "Escaping", "<key>bundle</key><string>../../etc</string><key>icon</key><string>../../../etc/passwd</string>");
    writeEntry(root, "Dots", "<key>bundle</key><string>..</string>");
    writeEntry(root, "IconOnly", "<key>icon</key><string>icon.png</string>");
    for (const char* name : { "Escaping", "Dots", "IconOnly" }) {
        auto entry = readPreferenceEntry(name);
        ASSERT_TRUE(entry) << name;
        EXPECT_EQ(entry->label, name) << "no label: the entry's name";
        EXPECT_FALSE(entry->bundlePath()) << name;
        EXPECT_FALSE(entry->iconPath()) << name;
    }
    for (const char* name : { "", ".", "..", "../Preferences/Dots", "a/b" })
        EXPECT_EQ(readPreferenceEntry(name).error().kind, ErrorKind::NotFound) << name;
}

TEST(PreferenceLoader, TheListSkipsEntriesThatDoNotRead)
{
    TemporaryRoot root;
    writeEntry(root, "B", "<key>label</key><string>Second</string>");
    writeEntry(root, "A", "<key>label</key><string>First</string>");
    writeBytes(root.hostPath(std::string(kPreferenceEntriesFolder) + "/Broken.plist"), "not a property list");
    writeBytes(root.hostPath(std::string(kPreferenceEntriesFolder) + "/NoEntry.plist"),
        "<?xml version=\"1.0\"?>\n<plist version=\"1.0\"><dict><key>entry</key><string>x</string></dict></plist>\n");
    EXPECT_EQ(readPreferenceEntry("Broken").error().kind, ErrorKind::Unreadable);
    EXPECT_EQ(readPreferenceEntry("NoEntry").error().kind, ErrorKind::Malformed);
    std::string labels;
    for (auto& entry : readPreferenceEntries())
        labels += entry.label + " ";
    EXPECT_EQ(labels, "First Second ");
}
