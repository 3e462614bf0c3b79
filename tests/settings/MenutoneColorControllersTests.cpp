#include <settingsapp/ScreenSnapshot.h>
#include <store/PaletteIndex.h>
#include <tincture/UIColor+Tincture.h>

#include "SettingsTestSupport.h"

namespace {

struct Picker {
    const char* row;
    const char* className;
    const char* title;
    const char* image;
    const char* key;
};

constexpr Picker pickers[] = {
    { "Title color", "MenutoneTitleColorController", "Title color", "color.png", "shortcutTitleColor" },
    { "Subtitle color", "MenutoneSubtitleColorController", "Subtitle color", "color.png", "shortcutSubtitleColor" },
    { "Icon color", "MenutoneIconColorController", "Icon color", "iconColor.png", "shortcutIconColor" },
    { "Background color", "MenutoneBackgroundColorController", "Background color", "bgColor.png", "shortcutBackgroundColor" },
    { "Border color", "MenutoneBorderColorController", "Border color", "borderColor.png", "shortcutBorderColor" },
};

class ColorPicker : public SettingsScreenTest {
protected:
    void openPicker(const Picker& picker)
    {
        auto& app = openSettings();
        ASSERT_TRUE(succeeded(app.tapRow("Configuration")));
        ASSERT_TRUE(succeeded(app.tapRow(picker.row)));
        ASSERT_EQ(object_getClassName(app.topViewController()), std::string(picker.className));
    }

    UIColor* barSwatchColor() const
    {
        auto* item = m_app->topViewController()->navigationItem()->rightBarButtonItem();
        return item && item->customView() ? item->customView()->backgroundColor() : nullptr;
    }
};

}

TEST_F(ColorPicker, EachScreenListsThePaletteUnderItsOwnTitleAndImage)
{
    writeStore({ { "isShortcutBorder", PropertyListValue::boolean(true) } });
    for (auto& picker : pickers) {
        SCOPED_TRACE(picker.className);
        openPicker(picker);
        m_app->runFor(std::chrono::milliseconds(200));
        auto screen = ScreenSnapshot::capture(*m_app);
        EXPECT_EQ(screen.title, picker.title);
        EXPECT_EQ(screen.titleImage->name, picker.image);
        EXPECT_TRUE(screen.titleImage->isTemplate);
        ASSERT_EQ(screen.sections.size(), 1u);
        EXPECT_EQ(screen.sections[0].header, picker.title);
        EXPECT_EQ(screen.sections[0].headerAlignment, NSTextAlignment::Center);
        ASSERT_EQ(screen.sections[0].rows.size(), 49u);
        for (std::size_t index = 0; index < 49; ++index) {
            auto& row = screen.sections[0].rows[index];
            EXPECT_EQ(row.text, kColorNames[index]);
            EXPECT_EQ(row.height, 44);
            EXPECT_EQ(row.accessory.kind, AccessorySnapshot::Kind::Swatch);
            EXPECT_TRUE(row.accessory.color->isEqual(colorInt(static_cast<std::int64_t>(index), UIColor::blackColor().ptr()).get()));
        }
        EXPECT_EQ(screen.sections[0].rows[48].text, "Dark Blue");
        EXPECT_TRUE(barSwatchColor()->isEqual(UIColor::blackColor().ptr())) << "nothing stored reads as index 0";
        EXPECT_TRUE(screen.barTint->isEqual(expectedSettingsTint().ptr()));
    }
}

TEST_F(ColorPicker, AChoiceStoresItsIndexKeepsEveryOtherKeyAndPostsOnceAfterTheWrite)
{
    writeStore({ { "isShortcutBorder", PropertyListValue::boolean(true) }, { "shortcutBlurStyle", PropertyListValue::integer(3) },
        { "shortcutTitleFont", PropertyListValue::string("DejaVuSans") } });
    for (auto& picker : pickers) {
        SCOPED_TRACE(picker.className);
        m_posts.clear();
        openPicker(picker);
        ASSERT_TRUE(succeeded(m_app->tapRow("Navy Blue")));
        auto stored = store();
        ASSERT_TRUE(stored);
        EXPECT_EQ(*stored->objectForKey(picker.key), PropertyListValue::integer(5));
        EXPECT_EQ(*stored->objectForKey("shortcutTitleFont"), PropertyListValue::string("DejaVuSans"));
        EXPECT_EQ(stored->count(), 3u + static_cast<std::size_t>(&picker - pickers) + 1);
        EXPECT_NE(m_posts.find(std::string(picker.key) + "=5"), std::string::npos) << m_posts;
        EXPECT_EQ(m_posts.find("notify", m_posts.find("notify") + 1), std::string::npos) << "one post: " << m_posts;
        EXPECT_TRUE(barSwatchColor()->isEqual(tincture::flatNavyBlueColor().ptr()));
    }
}

TEST_F(ColorPicker, DefaultStoresZeroAndEmptiesTheBarSwatchUntilTheScreenIsOpenedAgain)
{
    writeStore({ { "shortcutTitleColor", PropertyListValue::integer(25) } });
    openPicker(pickers[0]);
    EXPECT_TRUE(barSwatchColor()->isEqual(tincture::flatRedColorDark().ptr()));
    ASSERT_TRUE(succeeded(m_app->tapRow("Default")));
    EXPECT_EQ(storeText(), "shortcutTitleColor=0");
    EXPECT_EQ(barSwatchColor(), nullptr);
    ASSERT_TRUE(succeeded(m_app->goBack()));
    ASSERT_TRUE(succeeded(m_app->tapRow("Title color")));
    EXPECT_TRUE(barSwatchColor()->isEqual(UIColor::blackColor().ptr()));
}

TEST_F(ColorPicker, AStoredIndexOutsideThePaletteLeavesTheBarSwatchEmpty)
{
    writeStore({ { "shortcutIconColor", PropertyListValue::integer(-1) } });
    openPicker(pickers[2]);
    auto* item = m_app->topViewController()->navigationItem()->rightBarButtonItem();
    ASSERT_TRUE(item && item->customView());
    EXPECT_EQ(item->customView()->backgroundColor(), nullptr);
}
