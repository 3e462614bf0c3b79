#include <store/SettingsStore.h>

#include <sys/wait.h>
#include <unistd.h>

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

TEST(MenutoneSettings, ReadingEveryKeyAtOnceMatchesNaiveImplementation)
{
    TemporaryRoot root;
    std::vector<std::optional<NSDictionary>> stores;
    for (const char* name : { "settings.xml.plist", "settings.binary.plist" }) {
        std::filesystem::copy_file(fixture(name), root.hostPath(kMenutoneSettingsPath), std::filesystem::copy_options::overwrite_existing);
        stores.push_back(NSDictionary::dictionaryWithContentsOfFile(kMenutoneSettingsPath));
    }
    NSMutableDictionary odd;
    odd.setObject(PropertyListValue::string("NO"), "isEnabled");
    odd.setObject(PropertyListValue::real(25.9), "shortcutTitleColor");
    odd.setObject(PropertyListValue::integer(7), "shortcutTitleFont");
    odd.setObject(PropertyListValue::string(""), "shortcutSubtitleFont");
    odd.setObject(PropertyListValue::boolean(true), "shortcutTitlePresetColor");
    stores.push_back(NSDictionary(odd));
    stores.push_back(std::nullopt);

    auto sameColor = [](const RefPtr<UIColor>& read, const RefPtr<NSObject>& naive) {
        auto* color = objc_dynamicCast<UIColor>(naive.get());
        return read ? color && read->isEqual(color) : !color;
    };
    for (auto& store : stores) {
        const NSDictionary* dictionary = store ? &*store : nullptr;
        auto settings = MenutoneSettings::read(dictionary);
        // The defaults as the shipped tweak reads them: enabled, everything else off or 0.
        EXPECT_EQ(settings.isEnabled, boolPref(dictionary, "isEnabled", true));
        EXPECT_EQ(settings.isShortcutBorder, boolPref(dictionary, "isShortcutBorder", false));
        EXPECT_EQ(settings.isHideShortcutBlur, boolPref(dictionary, "isHideShortcutBlur", false));
        EXPECT_EQ(settings.isShortcutPreset, boolPref(dictionary, "isShortcutPreset", false));
        EXPECT_EQ(settings.shortcutTitleColor, intPref(dictionary, "shortcutTitleColor", 0));
        EXPECT_EQ(settings.shortcutSubtitleColor, intPref(dictionary, "shortcutSubtitleColor", 0));
        EXPECT_EQ(settings.shortcutIconColor, intPref(dictionary, "shortcutIconColor", 0));
        EXPECT_EQ(settings.shortcutBackgroundColor, intPref(dictionary, "shortcutBackgroundColor", 0));
        EXPECT_EQ(settings.shortcutBorderColor, intPref(dictionary, "shortcutBorderColor", 0));
        EXPECT_EQ(settings.shortcutBlurStyle, intPref(dictionary, "shortcutBlurStyle", 0));
        EXPECT_EQ(settings.shortcutPresetColorScheme, intPref(dictionary, "shortcutPresetColorScheme", 0));
        EXPECT_EQ(settings.shortcutTitleFont.value_or("<none>"), stringPref(dictionary, "shortcutTitleFont", "<none>"));
        EXPECT_EQ(settings.shortcutSubtitleFont.value_or("<none>"), stringPref(dictionary, "shortcutSubtitleFont", "<none>"));
        EXPECT_TRUE(sameColor(settings.shortcutTitlePresetColor, objectPref(dictionary, "shortcutTitlePresetColor")));
        EXPECT_TRUE(sameColor(settings.shortcutSubtitlePresetColor, objectPref(dictionary, "shortcuSubtitlePresetColor")));
        EXPECT_TRUE(sameColor(settings.shortcutIconPresetColor, objectPref(dictionary, "shortcutIconPresetColor")));
        EXPECT_TRUE(sameColor(settings.shortcutBackgroundPresetColor, objectPref(dictionary, "shortcutBackgroundPresetColor")));
        EXPECT_TRUE(sameColor(settings.shortcutBorderPresetColor, objectPref(dictionary, "shortcutBorderPresetColor")));
    }
    EXPECT_EQ(std::string(MenutoneKey::shortcutSubtitlePresetColor), "shortcuSubtitlePresetColor");
}

TEST(SettingsStore, AChangeKeepsTheOtherKeysWritesThenPostsAndRemovesForNone)
{
    TemporaryRoot root;
    SettingsStore::change(MenutoneKey::shortcutTitleColor, PropertyListValue::integer(25));
    EXPECT_TRUE(root.takePost(kMenutoneSettingsChangedNotification));
    SettingsStore::change(MenutoneKey::shortcutBlurStyle, PropertyListValue::integer(9), SettingsStore::AfterWrite::Nothing);
    EXPECT_FALSE(root.takePost(kMenutoneSettingsChangedNotification));
    auto stored = SettingsStore::read();
    ASSERT_TRUE(stored);
    EXPECT_EQ(intPref(&*stored, "shortcutTitleColor", 0), 25);
    EXPECT_EQ(intPref(&*stored, "shortcutBlurStyle", 0), 9);

    auto written = SettingsStore::change(MenutoneKey::shortcutTitleColor, std::nullopt);
    EXPECT_FALSE(written.objectForKey("shortcutTitleColor"));
    EXPECT_EQ(MenutoneSettings::stored().shortcutTitleColor, 0);
    EXPECT_EQ(MenutoneSettings::stored().shortcutBlurStyle, 9);
}

TEST(SettingsStore, ChangesFromTwoProcessesAtOnceAllLand)
{
    TemporaryRoot root;
    constexpr int keysEach = 40;
    pid_t child = fork();
    ASSERT_GE(child, 0);
    int offset = child == 0 ? keysEach : 0;
    for (int i = 0; i < keysEach; ++i)
        SettingsStore::change("key" + std::to_string(offset + i), PropertyListValue::integer(i), SettingsStore::AfterWrite::Nothing);
    if (child == 0)
        _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    auto stored = SettingsStore::read();
    ASSERT_TRUE(stored);
    for (int i = 0; i < 2 * keysEach; ++i)
        EXPECT_TRUE(stored->objectForKey("key" + std::to_string(i))) << i;
}
