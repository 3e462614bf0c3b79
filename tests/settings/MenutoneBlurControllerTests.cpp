#include "SettingsTestSupport.h"

namespace {

class BlurScreen : public SettingsScreenTest {
protected:
    void openBlur()
    {
        if (!m_app)
            openSettings();
        // Back to Menutone's first screen, over the Settings list.
        while (m_app->topViewController() && m_app->navigationController().viewControllers().size() > 2)
            EXPECT_TRUE(succeeded(m_app->goBack()));
        ASSERT_TRUE(succeeded(m_app->tapRow("Configuration")));
        ASSERT_TRUE(succeeded(m_app->tapRow("Blur")));
        ASSERT_EQ(object_getClassName(m_app->topViewController()), std::string("MenutoneBlurController"));
    }

    // The rows that carry a checkmark.
    std::string checkmarked()
    {
        std::string rows;
        for (long index = 0; index < table().numberOfRowsInSection(0); ++index) {
            if (row(0, index).accessoryType() == UITableViewCellAccessoryType::Checkmark)
                rows += (rows.empty() ? "" : ",") + row(0, index).textLabel()->text();
        }
        return rows;
    }

    // The style remembered by the bundle lives as long as the process:
    // choosing "Default" brings it back to "read the file".
    void forgetRememberedStyle()
    {
        openBlur();
        ASSERT_TRUE(succeeded(m_app->tapRow("Default")));
        NSFileManager::defaultManager().removeItemAtPath(kMenutoneSettingsPath);
        m_posts.clear();
    }
};

}

TEST_F(BlurScreen, TenStylesUnderOneHeaderWithTheStoredOneCheckmarked)
{
    forgetRememberedStyle();
    writeStore({ { "shortcutBlurStyle", PropertyListValue::integer(5) } });
    openBlur();
    EXPECT_EQ(table().numberOfSections(), 1);
    EXPECT_EQ(table().headerTitle(0), "Blur");
    EXPECT_EQ(m_app->topViewController()->title(), "Blur");
    std::string names;
    for (long index = 0; index < table().numberOfRowsInSection(0); ++index)
        names += row(0, index).textLabel()->text() + "|";
    EXPECT_EQ(names, "Default|Blur|Light|Light Low|Semi Light|Adaptive Light|Ultra Light|Dark|Dark Low|Ultra Dark|");
    EXPECT_EQ(checkmarked(), "Adaptive Light");
}

TEST_F(BlurScreen, AStoredStyleOutsideTheListCheckmarksNothing)
{
    forgetRememberedStyle();
    writeStore({ { "shortcutBlurStyle", PropertyListValue::integer(12) } });
    openBlur();
    EXPECT_EQ(checkmarked(), "");
    forgetRememberedStyle();
    openBlur();
    EXPECT_EQ(checkmarked(), "Default") << "no store";
}

TEST_F(BlurScreen, ChoosingDarkStoresSevenMovesTheCheckmarkAndPostsOnce)
{
    forgetRememberedStyle();
    writeStore({ { "isShortcutBorder", PropertyListValue::boolean(true) } });
    openBlur();
    table().clearEventLogForTesting();
    ASSERT_TRUE(succeeded(m_app->tapRow("Dark")));
    EXPECT_EQ(table().eventLogForTesting(),
        "highlight(0:7) select(0:7) deselect(0:7 animated) reloadSections(0) cell(0:0) cell(0:1) cell(0:2) cell(0:3) cell(0:4) cell(0:5) cell(0:6) "
        "cell(0:7) cell(0:8) cell(0:9)");
    EXPECT_EQ(checkmarked(), "Dark");
    EXPECT_EQ(m_posts, "com.harbrook.Menutone.notify(isShortcutBorder=true shortcutBlurStyle=7) ");
}

TEST_F(BlurScreen, TheRememberedStyleIsNotReadAgainUntilDefaultIsChosen)
{
    forgetRememberedStyle();
    openBlur();
    ASSERT_TRUE(succeeded(m_app->tapRow("Dark")));
    writeStore({ { "shortcutBlurStyle", PropertyListValue::integer(2) } }); // changed elsewhere
    openBlur();
    EXPECT_EQ(checkmarked(), "Dark");

    ASSERT_TRUE(succeeded(m_app->tapRow("Default")));
    EXPECT_EQ(storeText(), "shortcutBlurStyle=0") << "the key stays, with 0";
    writeStore({ { "shortcutBlurStyle", PropertyListValue::integer(3) } });
    openBlur();
    EXPECT_EQ(checkmarked(), "Light Low");
}
