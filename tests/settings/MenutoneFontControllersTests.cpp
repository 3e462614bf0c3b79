#include <settingsapp/ScreenSnapshot.h>
#include <uikit/UIFont.h>

#include "SettingsTestSupport.h"

namespace {

class FontScreen : public SettingsScreenTest {
protected:
    void openFonts(const char* row)
    {
        auto& app = openSettings();
        ASSERT_TRUE(succeeded(app.tapRow("Configuration")));
        ASSERT_TRUE(succeeded(app.tapRow(row)));
        m_posts.clear();
    }
};

}

TEST_F(FontScreen, FamiliesAndTheirFontsInCompareOrderEachPreviewedAtSixteenPoints)
{
    openFonts("Title font");
    EXPECT_EQ(object_getClassName(m_app->topViewController()), std::string("MenutoneTitleFontController"));
    auto families = UIFont::familyNames();
    ASSERT_EQ(table().numberOfSections(), static_cast<long>(families.size()));
    std::vector<std::string> headers;
    for (long s = 0; s < table().numberOfSections(); ++s) {
        headers.push_back(*table().headerTitle(s));
        EXPECT_EQ(table().headerAlignment(s), NSTextAlignment::Natural) << "the font screens leave titles where the table puts them";
        auto names = UIFont::fontNamesForFamilyName(headers.back());
        ASSERT_EQ(table().numberOfRowsInSection(s), static_cast<long>(names.size()));
        std::string previous;
        for (long r = 0; r < table().numberOfRowsInSection(s); ++r) {
            auto& cell = row(s, r);
            std::string name = cell.textLabel()->text();
            EXPECT_LT(previous, name) << "rows ascend as -compare: orders them";
            previous = name;
            ASSERT_TRUE(cell.textLabel()->font());
            EXPECT_EQ(cell.textLabel()->font()->fontName(), name);
            EXPECT_EQ(cell.textLabel()->font()->pointSize(), 16);
            EXPECT_EQ(cell.accessoryType(), UITableViewCellAccessoryType::None);
        }
    }
    for (std::size_t i = 1; i < headers.size(); ++i)
        EXPECT_LT(headers[i - 1], headers[i]) << "byte order: upper case before lower case";
    std::sort(families.begin(), families.end());
    EXPECT_EQ(headers, families);
    auto screen = ScreenSnapshot::capture(*m_app);
    EXPECT_EQ(screen.title, "");
    EXPECT_EQ(screen.titleImage->name, "font.png");
    EXPECT_EQ(screen.rightBarButton->title, "Default");
}

TEST_F(FontScreen, AChoiceStoresExactlyTheRowsNameAndNothingElse)
{
    writeStore({ { "shortcutTitleColor", PropertyListValue::integer(3) } });
    openFonts("Subtitle font");
    ASSERT_TRUE(succeeded(m_app->tapRow("DejaVuSans-Bold")));
    auto stored = store();
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->count(), 2u);
    EXPECT_EQ(*stored->objectForKey("shortcutSubtitleFont"), PropertyListValue::string("DejaVuSans-Bold"));
    EXPECT_EQ(m_posts, "com.harbrook.Menutone.notify(shortcutSubtitleFont=string shortcutTitleColor=3) ");
}

TEST_F(FontScreen, DefaultRemovesTheKeyRatherThanStoringAnEmptyString)
{
    writeStore({ { "shortcutTitleFont", PropertyListValue::string("DejaVuSerif") }, { "isShortcutBorder", PropertyListValue::boolean(true) } });
    openFonts("Title font");
    ASSERT_TRUE(succeeded(m_app->tapBarButton(SettingsApp::BarSide::Right)));
    EXPECT_EQ(storeText(), "isShortcutBorder=true");
    EXPECT_EQ(m_posts, "com.harbrook.Menutone.notify(isShortcutBorder=true) ");

    NSFileManager::defaultManager().removeItemAtPath(kMenutoneSettingsPath);
    ASSERT_TRUE(succeeded(m_app->tapBarButton(SettingsApp::BarSide::Right)));
    EXPECT_EQ(storeText(), "") << "without a file, a reset writes one without the key";
    ASSERT_TRUE(succeeded(m_app->goBack()));
    EXPECT_EQ(static_cast<UILabel*>(row(1, 1).accessoryView())->text(), "");
}
