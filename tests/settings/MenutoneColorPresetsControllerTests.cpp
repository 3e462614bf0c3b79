#include <foundation/NSKeyedArchiver.h>
#include <settingsapp/ScreenSnapshot.h>
#include <store/PaletteIndex.h>
#include <tincture/NSArray+Tincture.h>
#include <tincture/UIColor+Tincture.h>

#include "SettingsTestSupport.h"

namespace {

constexpr const char* presetKeys[]
    = { "shortcutTitlePresetColor", "shortcuSubtitlePresetColor", "shortcutIconPresetColor", "shortcutBackgroundPresetColor", "shortcutBorderPresetColor" };

class PresetsScreen : public SettingsScreenTest {
protected:
    void openPresets()
    {
        auto& app = openSettings();
        ASSERT_TRUE(succeeded(app.tapRow("Configuration")));
        ASSERT_TRUE(succeeded(app.setSwitch("Use preset", true)));
        ASSERT_TRUE(succeeded(app.tapRow("Preset color")));
        ASSERT_EQ(object_getClassName(app.topViewController()), std::string("MenutoneColorPresetsController"));
        m_posts.clear();
    }

    UISegmentedControl* segments() const { return objc_dynamicCast<UISegmentedControl>(row(0, 0).accessoryView()); }

    UIColor* barSwatchColor() const
    {
        auto* item = m_app->topViewController()->navigationItem()->rightBarButtonItem();
        return item && item->customView() ? item->customView()->backgroundColor() : nullptr;
    }

    static std::vector<RefPtr<UIColor>> storedPresets()
    {
        auto stored = store();
        std::vector<RefPtr<UIColor>> colors;
        for (auto* key : presetKeys)
            colors.push_back(objc_dynamicCast<UIColor>(objectPref(stored ? &*stored : nullptr, key)));
        return colors;
    }

    static void expectPresets(const std::vector<Ref<UIColor>>& expected)
    {
        auto stored = storedPresets();
        ASSERT_EQ(expected.size(), 5u);
        for (std::size_t i = 0; i < 5; ++i) {
            SCOPED_TRACE(presetKeys[i]);
            ASSERT_TRUE(stored[i]);
            EXPECT_TRUE(stored[i]->isEqual(expected[i].ptr())) << stored[i]->description() << " != " << expected[i]->description();
            EXPECT_EQ(stored[i]->alpha(), 1.0);
        }
    }
};

}

TEST_F(PresetsScreen, ASchemeRowThenThePaletteUnderOneHeader)
{
    openPresets();
    m_app->runFor(std::chrono::milliseconds(200));
    auto screen = ScreenSnapshot::capture(*m_app);
    EXPECT_EQ(screen.title, "Color presets");
    EXPECT_EQ(screen.titleImage->name, "presetColor.png");
    ASSERT_EQ(screen.sections.size(), 2u);
    EXPECT_EQ(screen.sections[0].header, "Color preset");
    EXPECT_EQ(screen.sections[1].header, std::nullopt);
    ASSERT_EQ(screen.sections[0].rows.size(), 1u);
    EXPECT_EQ(screen.sections[0].rows[0].text, "");
    EXPECT_EQ(screen.sections[0].rows[0].image->name, "opacity.png");
    EXPECT_EQ(screen.sections[0].rows[0].accessory.segments, (std::vector<std::string> { "Analogous", "Complementary", "Triadic" }));
    EXPECT_EQ(screen.sections[0].rows[0].accessory.selectedSegment, 0) << "no store: Analogous";
    ASSERT_EQ(screen.sections[1].rows.size(), 49u);
    EXPECT_EQ(screen.sections[1].rows[1].text, "Red");
    EXPECT_TRUE(screen.sections[1].rows[0].accessory.color->isEqual(UIColor::blackColor().ptr()));
    EXPECT_TRUE(barSwatchColor()->isEqual(UIColor::blackColor().ptr())) << "no preset stored yet";

    table().clearEventLogForTesting();
    table().tapRowByUser(0, 0);
    EXPECT_EQ(table().eventLogForTesting(), "") << "the scheme row only works its control";
}

TEST_F(PresetsScreen, RedWithComplementaryStoresTheComplementaryFlatSetWithTheIconFromRedItself)
{
    writeStore({ { "shortcutBlurStyle", PropertyListValue::integer(4) } });
    openPresets();
    ASSERT_TRUE(succeeded(m_app->selectSegment(1)));
    EXPECT_EQ(m_posts, "com.harbrook.Menutone.notify(isShortcutPreset=true shortcutBlurStyle=4 shortcutPresetColorScheme=1) ");
    ASSERT_TRUE(succeeded(m_app->tapRow("Red")));
    expectPresets(
        tincture::array::arrayOfColorsWithColorScheme(tincture::array::ColorSchemeComplementary, tincture::flatRedColor().ptr(), tincture::Flat::Yes));
    EXPECT_TRUE(storedPresets()[2]->isEqual(tincture::flatRedColor().ptr())) << "the icon colour is the base itself";
    CGFloat redHue, oppositeHue, s, b, a;
    tincture::flatRedColor()->getHue(&redHue, &s, &b, &a);
    storedPresets()[3]->getHue(&oppositeHue, &s, &b, &a);
    EXPECT_GT(std::abs(redHue - oppositeHue), 0.3) << "the background comes from the opposite hue";
    EXPECT_EQ(storeText(),
        "isShortcutPreset=true shortcuSubtitlePresetColor=data shortcutBackgroundPresetColor=data shortcutBlurStyle=4 "
        "shortcutBorderPresetColor=data shortcutIconPresetColor=data shortcutPresetColorScheme=1 shortcutTitlePresetColor=data");
    EXPECT_TRUE(barSwatchColor()->isEqual(tincture::flatRedColor().ptr()));
    EXPECT_EQ(m_posts.find("notify", m_posts.find("notify", m_posts.find("notify") + 1) + 1), std::string::npos) << "one post each: " << m_posts;
}

TEST_F(PresetsScreen, ChangingTheSegmentAloneTouchesOnlyTheSchemeKey)
{
    openPresets();
    // The palette's row "Dark Green" is index 34.
    RefPtr<UIColor> darkGreen = colorInt(34, nullptr);
    ASSERT_EQ(std::string(kColorNames[34]), "Dark Green");
    ASSERT_TRUE(succeeded(m_app->tapRow("Dark Green")));
    expectPresets(tincture::array::arrayOfColorsWithColorScheme(tincture::array::ColorSchemeAnalogous, darkGreen.get(), tincture::Flat::Yes));
    auto before = store();
    ASSERT_TRUE(succeeded(m_app->selectSegment(2)));
    auto after = store();
    for (auto* key : presetKeys)
        EXPECT_EQ(*before->objectForKey(key), *after->objectForKey(key)) << key;
    EXPECT_EQ(*after->objectForKey("shortcutPresetColorScheme"), PropertyListValue::integer(2));

    ASSERT_TRUE(succeeded(m_app->tapRow("Dark Green")));
    expectPresets(tincture::array::arrayOfColorsWithColorScheme(tincture::array::ColorSchemeTriadic, darkGreen.get(), tincture::Flat::Yes));
}

TEST_F(PresetsScreen, DefaultDerivesFromBlackAndLeavesTheBarSwatchEmpty)
{
    openPresets();
    ASSERT_TRUE(succeeded(m_app->tapRow("Default")));
    expectPresets(tincture::array::arrayOfColorsWithColorScheme(tincture::array::ColorSchemeAnalogous, UIColor::blackColor().ptr(), tincture::Flat::Yes));
    EXPECT_EQ(barSwatchColor(), nullptr);
    ASSERT_TRUE(succeeded(m_app->goBack()));
    ASSERT_TRUE(succeeded(m_app->tapRow("Preset color")));
    EXPECT_TRUE(barSwatchColor()->isEqual(storedPresets()[2].get())) << "opened again, the bar shows the stored icon preset colour";
}

TEST_F(PresetsScreen, ASchemeTheScreenNeverWritesSelectsNoSegmentAndDerivesAnAnalogousSet)
{
    writeStore({ { "shortcutPresetColorScheme", PropertyListValue::integer(7) } });
    openPresets();
    EXPECT_EQ(segments()->selectedSegmentIndex(), UISegmentedControl::noSegment);
    ASSERT_TRUE(succeeded(m_app->tapRow("Blue")));
    expectPresets(tincture::array::arrayOfColorsWithColorScheme(tincture::array::ColorSchemeAnalogous, tincture::flatBlueColor().ptr(), tincture::Flat::Yes));
}

TEST_F(PresetsScreen, TheConfigurationScreensPresetSwatchShowsTheStoredIconPreset)
{
    openPresets();
    ASSERT_TRUE(succeeded(m_app->tapRow("Orange")));
    ASSERT_TRUE(succeeded(m_app->goBack()));
    EXPECT_TRUE(row(0, 1).accessoryView()->backgroundColor()->isEqual(storedPresets()[2].get()));
    EXPECT_TRUE(storedPresets()[2]->isEqual(tincture::flatOrangeColor().ptr()));
}
