#include <settingsapp/ScreenSnapshot.h>
#include <store/PaletteIndex.h>
#include <tincture/UIColor+Tincture.h>

#include "SettingsTestSupport.h"

namespace {

class ConfigurationScreen : public SettingsScreenTest {
protected:
    SettingsApp& openConfiguration()
    {
        auto& app = openSettings();
        EXPECT_TRUE(succeeded(app.tapRow("Configuration")));
        EXPECT_EQ(object_getClassName(app.topViewController()), std::string("MenutoneConfigurationController"));
        return app;
    }

    // One letter per row: E enabled, D dimmed (alpha 0.2, no touches, no accessory).
    std::string rowStates()
    {
        std::string states;
        for (long s = 0; s < table().numberOfSections(); ++s) {
            for (long r = 0; r < table().numberOfRowsInSection(s); ++r) {
                auto& cell = row(s, r);
                bool isDimmed = cell.contentView()->alpha() == 0.2 && !cell.isUserInteractionEnabled() && !cell.accessoryView();
                bool isEnabled = cell.contentView()->alpha() == 1.0 && cell.isUserInteractionEnabled() && cell.accessoryView();
                states += isDimmed ? "D" : isEnabled ? "E" : "?";
            }
            states += s + 1 < table().numberOfSections() ? " " : "";
        }
        return states;
    }

    std::string labelText(long section, long index) { return static_cast<UILabel*>(row(section, index).accessoryView())->text(); }
};

}

TEST_F(ConfigurationScreen, ListsEveryOptionWithTitlesIconsAndFooters)
{
    auto& app = openConfiguration();
    app.runFor(std::chrono::milliseconds(200));
    auto screen = ScreenSnapshot::capture(app);
    EXPECT_EQ(screen.title, "Configuration");
    EXPECT_EQ(screen.titleImage->name, "configuration.png");
    EXPECT_TRUE(screen.titleImage->isTemplate);
    ASSERT_EQ(screen.sections.size(), 5u);
    std::string titles;
    for (auto& section : screen.sections) {
        for (auto& row : section.rows)
            titles += row.text + " (" + row.image->name + ") ";
        EXPECT_EQ(section.footerAlignment, NSTextAlignment::Center);
        EXPECT_EQ(section.headerAlignment, NSTextAlignment::Center);
    }
    EXPECT_EQ(titles,
        "Use preset (preset.png) Preset color (presetColor.png) Title color (color.png) Title font (font.png) Subtitle color (color.png) "
        "Subtitle font (font.png) Icon color (iconColor.png) Border (border.png) Border color (borderColor.png) Background color (bgColor.png) "
        "Hide blur (hideBlur.png) Blur (blur.png) ");
    EXPECT_EQ(screen.sections[0].header, "Configuration");
    EXPECT_EQ(screen.sections[1].header, std::nullopt);
    EXPECT_EQ(screen.sections[3].footer, "Choose shortcut icon color, add border, and set border color.");
    EXPECT_TRUE(screen.barTint->isEqual(expectedSettingsTint().ptr()));
}

TEST_F(ConfigurationScreen, UsePresetDimsTheCustomColourRowsAndRebuildsExactlySixRows)
{
    openConfiguration();
    EXPECT_EQ(rowStates(), "ED EE EE EED EEE") << "no store: preset off, no border";
    table().clearEventLogForTesting();
    EXPECT_TRUE(succeeded(m_app->setSwitch("Use preset", true)));
    EXPECT_EQ(table().eventLogForTesting(), "reloadRows(0:1 1:0 2:0 3:0 3:2 4:0) cell(0:1) cell(1:0) cell(2:0) cell(3:0) cell(3:2) cell(4:0)");
    EXPECT_EQ(rowStates(), "EE DE DE DED DEE");
    EXPECT_EQ(m_posts, "com.harbrook.Menutone.notify(isShortcutPreset=true) ");

    EXPECT_TRUE(succeeded(m_app->setSwitch("Border", true)));
    EXPECT_EQ(rowStates(), "EE DE DE DED DEE") << "presets still win over the border colour";
    EXPECT_TRUE(succeeded(m_app->setSwitch("Use preset", false)));
    EXPECT_EQ(rowStates(), "ED EE EE EEE EEE");
    EXPECT_EQ(messageOf(m_app->tapRow("Preset color")), "the row \"Preset color\" does not take touches");
}

TEST_F(ConfigurationScreen, SwitchRowsNeverHighlightAndPickerRowsDeselectWithAnimation)
{
    openConfiguration();
    table().clearEventLogForTesting();
    table().tapRowByUser(3, 1);
    EXPECT_EQ(table().eventLogForTesting(), "");
    EXPECT_TRUE(succeeded(m_app->goBack()));
    EXPECT_TRUE(succeeded(m_app->tapRow("Configuration")));
    table().clearEventLogForTesting();
    auto* configurationTable = &table();
    EXPECT_TRUE(succeeded(m_app->tapRow("Blur")));
    EXPECT_EQ(configurationTable->eventLogForTesting(), "highlight(4:2) select(4:2) deselect(4:2 animated)");
}

TEST_F(ConfigurationScreen, BlurRowShowsItsStyleLabelUnlessTheBlurIsHidden)
{
    writeStore({ { "shortcutBlurStyle", PropertyListValue::integer(1) }, { "isShortcutBorder", PropertyListValue::boolean(true) } });
    openConfiguration();
    EXPECT_EQ(labelText(4, 2), "Blur");
    EXPECT_EQ(rowStates(), "ED EE EE EEE EEE") << "the border switch enables its colour";
    EXPECT_TRUE(succeeded(m_app->setSwitch("Hide blur", true)));
    EXPECT_EQ(rowStates(), "ED EE EE EEE EED");

    writeStore({ { "shortcutBlurStyle", PropertyListValue::integer(12) } });
    EXPECT_TRUE(succeeded(m_app->goBack()));
    EXPECT_TRUE(succeeded(m_app->tapRow("Configuration")));
    EXPECT_EQ(labelText(4, 2), "") << "a style outside 0 to 9 still builds its row";
    writeStore({});
    EXPECT_TRUE(succeeded(m_app->goBack()));
    EXPECT_TRUE(succeeded(m_app->tapRow("Configuration")));
    EXPECT_EQ(labelText(4, 2), "Default");
}

TEST_F(ConfigurationScreen, FontRowsShowTheStoredNameOrAnEmptyLabelOfNoWidth)
{
    writeStore({ { "shortcutTitleFont", PropertyListValue::string("DejaVuSans-Bold") } });
    openConfiguration();
    auto* title = static_cast<UILabel*>(row(1, 1).accessoryView());
    auto* subtitle = static_cast<UILabel*>(row(2, 1).accessoryView());
    EXPECT_EQ(title->text(), "DejaVuSans-Bold");
    EXPECT_GT(title->frame().size.width, 50);
    EXPECT_EQ(title->frame().size.height, 44);
    EXPECT_TRUE(title->textColor()->isEqual(UIColor::lightGrayColor().ptr()));
    EXPECT_EQ(subtitle->text(), "");
    EXPECT_EQ(subtitle->frame().size.width, 0);
}

TEST_F(ConfigurationScreen, SwatchesShowPaletteColoursAndNoFillOutsideThePalette)
{
    writeStore({ { "shortcutTitleColor", PropertyListValue::integer(25) }, { "shortcutIconColor", PropertyListValue::integer(99) } });
    openConfiguration();
    EXPECT_TRUE(row(1, 0).accessoryView()->backgroundColor()->isEqual(tincture::flatRedColorDark().ptr()));
    EXPECT_TRUE(row(2, 0).accessoryView()->backgroundColor()->isEqual(UIColor::blackColor().ptr())) << "index 0 shows black";
    EXPECT_EQ(row(3, 0).accessoryView()->backgroundColor(), nullptr);
    EXPECT_EQ(row(3, 0).accessoryView()->layer()->cornerRadius(), 10);
    EXPECT_EQ(row(3, 0).accessoryView()->frame().size.width, 20);
}

TEST_F(ConfigurationScreen, AChoiceOnAPickerShowsAsSoonAsTheUserComesBack)
{
    openConfiguration();
    EXPECT_TRUE(succeeded(m_app->tapRow("Subtitle color")));
    EXPECT_TRUE(succeeded(m_app->tapRow("Navy Blue")));
    EXPECT_TRUE(succeeded(m_app->goBack()));
    EXPECT_TRUE(row(2, 0).accessoryView()->backgroundColor()->isEqual(tincture::flatNavyBlueColor().ptr()));
}

TEST_F(ConfigurationScreen, AStoreThatIsNotADictionaryShowsDefaultsAndSwitchesStoreNothingButPost)
{
    NSFileManager::defaultManager().createDirectoryAtPath("/var/mobile/Library/Preferences");
    writeBytes(settingsRoot().hostPath(kMenutoneSettingsPath), "<plist><array/></plist>");
    openConfiguration();
    EXPECT_EQ(rowStates(), "ED EE EE EED EEE");
    EXPECT_TRUE(succeeded(m_app->setSwitch("Border", true)));
    EXPECT_EQ(readBytes(settingsRoot().hostPath(kMenutoneSettingsPath)).size(), 23u) << "the file is left as it was";
    EXPECT_EQ(m_posts, "com.harbrook.Menutone.notify(no file) ");
}
