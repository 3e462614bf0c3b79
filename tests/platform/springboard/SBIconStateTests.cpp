// Where the home screen puts each installed app: as the icon state names
// them, the rest in the next free cells, pages added as they fill.

#include <gtest/gtest.h>

#include <foundation/NSDictionary.h>
#include <springboard/SBIconState.h>

#include "TestSupport.h"

namespace {

using Identifiers = std::vector<std::string>;

std::string pagesText(const SBIconPlacement& placement)
{
    std::string text = "dock:";
    for (auto& identifier : placement.dock)
        text += " " + identifier;
    for (auto& page : placement.pages) {
        text += " |";
        for (auto& identifier : page)
            text += " " + identifier;
    }
    return text;
}

}

TEST(SBIconState, AppsGoWhereTheStateNamesThemAndTheRestFillTheNextFreeCells)
{
    SBIconState state { { "phone", "gone" }, { { "a", "b", "gone" }, { "c" } } };
    // Installed in the order the folder lists them.
    Identifiers installed { "x", "c", "phone", "b", "a", "y", "z", "w" };
    EXPECT_EQ(pagesText(placeIcons(state, installed, 3, 4)), "dock: phone | a b | c x y | z w") << "an app not installed leaves no hole";
    EXPECT_EQ(pagesText(placeIcons(std::nullopt, { "a", "b" }, 3, 4)), "dock: | a b") << "no state: every app on the pages";
    EXPECT_EQ(pagesText(placeIcons(std::nullopt, {}, 3, 4)), "dock: |") << "an empty home screen still has its first page";
}

TEST(SBIconState, AStateThatNamesAnAppTwiceOrOverfillsPlacesEachAppOnce)
{
    SBIconState state { { "a", "a", "b", "c" }, { { "b", "d", "e", "f", "g" }, {}, { "d" } } };
    EXPECT_EQ(pagesText(placeIcons(state, { "a", "b", "c", "d", "e", "f", "g" }, 3, 2)), "dock: a b | d e f | c g")
        << "the dock holds two, a page three; what did not fit goes to the next free cells";
}

TEST(SBIconState, TheFileReadsBackAndItsOddEntriesAreLeftOut)
{
    TemporaryRoot root;
    SBIconState state { { "phone" }, { { "a", "b" }, { "c" } } };
    std::filesystem::create_directories(root.hostPath(kIconStatePath).parent_path());
    ASSERT_TRUE(NSDictionary(*state.propertyList().asDictionary()).writeToFile(kIconStatePath, Atomically::Yes));
    auto read = SBIconState::read();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->buttonBar, Identifiers { "phone" });
    EXPECT_EQ(read->iconLists, (std::vector<Identifiers> { { "a", "b" }, { "c" } }));

    // A folder (a dictionary), a number and an empty name are not apps.
    writeBytes(root.hostPath(kIconStatePath),
        "<?xml version=\"1.0\"?>\n<plist version=\"1.0\"><dict><key>buttonBar</key><string>not a list</string>"
        "<key>iconLists</key><array><array><string>a</string><dict><key>displayName</key><string>Folder</string></dict><integer>3</integer>"
        "<string></string></array></array></dict></plist>\n");
    read = SBIconState::read();
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->buttonBar.empty());
    EXPECT_EQ(read->iconLists, (std::vector<Identifiers> { { "a" } }));
    writeBytes(root.hostPath(kIconStatePath), "garbage");
    EXPECT_FALSE(SBIconState::read());
}
