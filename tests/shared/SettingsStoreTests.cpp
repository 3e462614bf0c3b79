#include <shared/SettingsStore.h>

#include <gtest/gtest.h>

#include <uikit/UIColor.h>

#include "TestSupport.h"

namespace {

// The eighteen keys and what each reads as when the file has no value for it.
void expectEveryDefault(const NSDictionary* dictionary)
{
    EXPECT_TRUE(boolPref(dictionary, "isEnabled", true));
    for (const char* key : { "isShortcutBorder", "isHideShortcutBlur", "isShortcutPreset" })
        EXPECT_FALSE(boolPref(dictionary, key, false)) << key;
    for (const char* key : { "shortcutTitleColor", "shortcutSubtitleColor", "shortcutIconColor", "shortcutBackgroundColor", "shortcutBorderColor",
             "shortcutBlurStyle", "shortcutPresetColorScheme" })
        EXPECT_EQ(intPref(dictionary, key, 0), 0) << key;
    EXPECT_EQ(stringPref(dictionary, "shortcutTitleFont", "Helvetica"), "Helvetica");
    EXPECT_EQ(stringPref(dictionary, "shortcutSubtitleFont", ""), "");
    for (const char* key :
        { "shortcutTitlePresetColor", "shortcuSubtitlePresetColor", "shortcutIconPresetColor", "shortcutBackgroundPresetColor", "shortcutBorderPresetColor" })
        EXPECT_FALSE(objectPref(dictionary, key)) << key;
}

}

TEST(SettingsStore, EveryKeyFallsBackToItsDefaultWithNoFileAnEmptyFileOrOtherKeys)
{
    TemporaryRoot root;
    auto noFile = NSDictionary::dictionaryWithContentsOfFile(kMenutoneSettingsPath);
    EXPECT_FALSE(noFile);
    expectEveryDefault(noFile ? &*noFile : nullptr);
    NSDictionary empty;
    expectEveryDefault(&empty);
    NSMutableDictionary others;
    others.setObject(PropertyListValue::integer(5), "someOtherKey");
    others.setObject(PropertyListValue::data({ 1, 2 }), "shortcutSubtitlePresetColor"); // with the t: not the subtitle preset key
    expectEveryDefault(&others);

    EXPECT_EQ(kMenutoneSettingsKeys.size(), 18u);
    for (auto& key : kMenutoneSettingsKeys)
        EXPECT_EQ(settingsKeyNamed(key.name), &key);
    EXPECT_TRUE(settingsKeyNamed("shortcuSubtitlePresetColor"));
    EXPECT_FALSE(settingsKeyNamed("shortcutSubtitlePresetColor"));
}

TEST(SettingsStore, AFileWrittenByAnotherToolReadsAsTheTweakWillReadItInBothFormats)
{
    TemporaryRoot root;
    for (const char* name : { "settings.xml.plist", "settings.binary.plist" }) {
        std::filesystem::copy_file(fixture(name), root.hostPath(kMenutoneSettingsPath), std::filesystem::copy_options::overwrite_existing);
        auto pref = NSDictionary::dictionaryWithContentsOfFile(kMenutoneSettingsPath);
        ASSERT_TRUE(pref) << name;
        EXPECT_TRUE(boolPref(&*pref, "isEnabled", true));
        EXPECT_EQ(intPref(&*pref, "shortcutTitleColor", 0), 25);
        EXPECT_EQ(intPref(&*pref, "shortcutSubtitleColor", 0), 48);
        EXPECT_EQ(intPref(&*pref, "shortcutBackgroundColor", 0), 12);
        EXPECT_EQ(intPref(&*pref, "shortcutBlurStyle", 0), 9);
        EXPECT_EQ(intPref(&*pref, "shortcutPresetColorScheme", 0), 2);
        EXPECT_EQ(stringPref(&*pref, "shortcutTitleFont", "label's own"), "DejaVuSans-Bold");
        EXPECT_TRUE(boolPref(&*pref, "isShortcutBorder", false));
        EXPECT_FALSE(boolPref(&*pref, "isHideShortcutBlur", true));
        EXPECT_TRUE(boolPref(&*pref, "isShortcutPreset", false));

        auto title = objc_dynamicCast<UIColor>(objectPref(&*pref, "shortcutTitlePresetColor"));
        ASSERT_TRUE(title);
        EXPECT_TRUE(title->isEqual(UIColor::colorWithRed(0.1, 0.5, 0.7, 1).ptr()));
        EXPECT_TRUE(objc_dynamicCast<UIColor>(objectPref(&*pref, "shortcuSubtitlePresetColor")));
        EXPECT_TRUE(objectPref(&*pref, "shortcutIconPresetColor"));
        EXPECT_FALSE(objectPref(&*pref, "shortcutBackgroundPresetColor")) << "an archive of another class";
        EXPECT_FALSE(objectPref(&*pref, "shortcutBorderPresetColor")) << "data that is not an archive";
    }
}

TEST(SettingsStore, AValueOfAnotherTypeNeverFailsAReader)
{
    NSMutableDictionary odd;
    odd.setObject(PropertyListValue::data({ 1 }), "isEnabled");
    odd.setObject(PropertyListValue::string("YES"), "isShortcutBorder");
    odd.setObject(PropertyListValue::integer(2), "isShortcutPreset");
    odd.setObject(PropertyListValue::real(25.9), "shortcutTitleColor");
    odd.setObject(PropertyListValue::string("31 please"), "shortcutIconColor");
    odd.setObject(PropertyListValue::array({}), "shortcutBlurStyle");
    odd.setObject(PropertyListValue::integer(7), "shortcutTitleFont");
    odd.setObject(PropertyListValue::boolean(true), "shortcutTitlePresetColor");
    EXPECT_FALSE(boolPref(&odd, "isEnabled", false));
    EXPECT_TRUE(boolPref(&odd, "isEnabled", true)) << "data has no boolValue: the default";
    EXPECT_TRUE(boolPref(&odd, "isShortcutBorder", false));
    EXPECT_TRUE(boolPref(&odd, "isShortcutPreset", false));
    EXPECT_EQ(intPref(&odd, "shortcutTitleColor", 0), 25);
    EXPECT_EQ(intPref(&odd, "shortcutIconColor", 0), 31);
    EXPECT_EQ(intPref(&odd, "shortcutBlurStyle", 3), 3);
    EXPECT_EQ(stringPref(&odd, "shortcutTitleFont", "own"), "own");
    EXPECT_FALSE(objectPref(&odd, "shortcutTitlePresetColor"));
}
