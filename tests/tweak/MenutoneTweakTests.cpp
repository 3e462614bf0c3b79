// The tweak injected into the simulated SpringBoard: every test writes the
// store, posts the change notification as the settings screens do, lets the
// run loop deliver it, and presses an icon.

#include <gtest/gtest.h>

#include <corefoundation/CFNotificationCenter.h>
#include <corefoundation/CFRunLoop.h>
#include <foundation/NSKeyedArchiver.h>
#include <homescreen/SpringBoard.h>
#include <objc/MessageSend.h>
#include <store/PaletteIndex.h>
#include <store/SettingsStore.h>
#include <tincture/UIColor+Tincture.h>

#include "TestSupport.h"

namespace {

class MenutoneTweak : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // One root for the process, removed as it exits: the tweak's observer watches the root it loaded in.
        static TemporaryRoot root;
        static bool isLaidOut = [] {
            s_root = &root;
            return createSampleApps();
        }();
        ASSERT_TRUE(isLaidOut);
        DeviceRoot::setCurrent(root.path());
        // The loader injects the tweak as SpringBoard starts, as on the device.
        auto& loaded = SpringBoard::launch().loadedLibraries();
        ASSERT_EQ(loaded.size(), 1u);
        EXPECT_EQ(loaded[0].name, "Menutone");
        EXPECT_TRUE(loaded[0].isLoaded) << loaded[0].reason;
    }

    static bool createSampleApps()
    {
        return std::system((std::string(MENUTONE_COMMAND) + " root create '" + s_root->path().string() + "' > /dev/null").c_str()) == 0;
    }

    // Writes the store (none: deletes it), posts the change and lets the tweak reload.
    void applySettings(std::optional<NSDictionary> settings)
    {
        if (settings)
            ASSERT_TRUE(settings->writeToFile(kMenutoneSettingsPath, Atomically::Yes));
        else
            NSFileManager::defaultManager().removeItemAtPath(kMenutoneSettingsPath);
        CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), CFSTR("com.harbrook.Menutone.notify"), nullptr, nullptr, true);
        CFRunLoop::main().runUntilIdle();
    }

    static NSDictionary settings(PropertyListValue::Dictionary entries) { return NSDictionary(std::move(entries)); }

    Ref<SBApplicationShortcutMenu> press(const char* identifier, double depth = 1)
    {
        auto application = SpringBoard::launch().applicationWithIdentifier(identifier);
        EXPECT_TRUE(application) << identifier;
        return SpringBoard::launch().pressIcon(*application, depth);
    }

    static inline TemporaryRoot* s_root;
};

using V = PropertyListValue;

PropertyListValue archived(const Ref<UIColor>& color)
{
    return V::data(NSKeyedArchiver::archivedDataWithRootObject(color.ptr()));
}

bool isColor(const UIColor* color, const Ref<UIColor>& expected)
{
    return color && color->isEqual(expected.ptr());
}

SBApplicationShortcutMenuItemView& itemOfType(const SBApplicationShortcutMenu& menu, const std::string& type)
{
    for (auto& item : menu.itemViews()) {
        if (item->shortcutItem()->type() == type)
            return item.get();
    }
    ADD_FAILURE() << "no item of type " << type;
    return menu.itemViews().front().get();
}

}

TEST_F(MenutoneTweak, WithoutAFileTheDefaultsTemplateIconsAndKeepHostColoursAndFontNamesAtHostSizes)
{
    applySettings(std::nullopt);
    auto menu = press("com.apple.weather");
    auto& city = itemOfType(menu, "com.apple.weather.add-city");
    EXPECT_TRUE(isColor(city.titleLabel()->textColor(), UIColor::colorWithWhite(0, 1)));
    EXPECT_TRUE(isColor(city.subtitleLabel()->textColor(), UIColor::colorWithWhite(0.43, 1)));
    EXPECT_TRUE(isColor(city.iconView()->tintColor(), UIColor::colorWithWhite(0, 1)));
    EXPECT_EQ(city.iconView()->image()->renderingMode(), UIImageRenderingMode::AlwaysTemplate);
    EXPECT_EQ(city.titleLabel()->font()->fontName(), UIFont::systemFontOfSize(city.titleFontSize())->fontName());
    EXPECT_EQ(city.titleLabel()->font()->pointSize(), city.titleFontSize());
    EXPECT_EQ(city.subtitleLabel()->font()->pointSize(), 13);

    auto& temperature = itemOfType(menu, "weatherIconTemp");
    EXPECT_EQ(temperature.iconView()->image()->renderingMode(), UIImageRenderingMode::Automatic) << "the weather temperature keeps its icon";

    auto photos = press("com.apple.mobileslideshow");
    EXPECT_EQ(itemOfType(photos, "com.apple.photos.memories").iconView()->image()->renderingMode(), UIImageRenderingMode::AlwaysOriginal);

    EXPECT_TRUE(menu->isBlurSettingsHostMade());
    EXPECT_EQ(menu->backgroundView()->layer()->borderWidth(), 0.0);
    EXPECT_TRUE(isColor(UIColor::colorWithCGColor(*menu->backgroundView()->layer()->borderColor()).ptr(), UIColor::blackColor()));
    EXPECT_EQ(menu->backgroundView()->backgroundColor(), nullptr);
}

TEST_F(MenutoneTweak, CustomModeTakesPaletteIndicesAndAnIndexOutOfRangeGivesNone)
{
    applySettings(settings({ { "shortcutTitleColor", V::integer(25) }, { "shortcutSubtitleColor", V::integer(60) }, { "shortcutIconColor", V::integer(9) },
        { "shortcutBackgroundColor", V::integer(5) }, { "isShortcutBorder", V::boolean(true) }, { "shortcutBorderColor", V::integer(0) },
        { "shortcutTitleFont", V::string("DejaVuSerif-Bold") }, { "shortcutSubtitleFont", V::string("NoSuchFont-Regular") } }));
    auto menu = press("com.apple.mobilemail");
    for (auto& item : menu->itemViews()) {
        EXPECT_TRUE(isColor(item->titleLabel()->textColor(), tincture::flatRedColorDark()));
        EXPECT_EQ(item->subtitleLabel()->textColor(), nullptr) << "index 60 is none";
        EXPECT_TRUE(isColor(item->iconView()->tintColor(), tincture::flatSkyBlueColor()));
        EXPECT_EQ(item->titleLabel()->font()->fontName(), "DejaVuSerif-Bold");
        EXPECT_EQ(item->titleLabel()->font()->pointSize(), item->titleFontSize()) << "the size stays the item's own";
        EXPECT_EQ(item->subtitleLabel()->font(), nullptr) << "a font no installed face has";
    }
    auto* plate = menu->backgroundView();
    EXPECT_EQ(plate->layer()->borderWidth(), 1.0);
    EXPECT_TRUE(isColor(UIColor::colorWithCGColor(*plate->layer()->borderColor()).ptr(), UIColor::blackColor())) << "index 0 is a black border";
    EXPECT_TRUE(isColor(plate->backgroundColor(), tincture::flatNavyBlueColor()));
}

TEST_F(MenutoneTweak, PresetModeTakesTheArchivedColoursAndNoneWhereNoneIsStored)
{
    applySettings(settings({ { "isShortcutPreset", V::boolean(true) }, { "shortcutTitleColor", V::integer(25) },
        { "shortcutTitlePresetColor", archived(tincture::flatMintColor()) }, { "shortcuSubtitlePresetColor", archived(tincture::flatPinkColor()) },
        { "shortcutSubtitlePresetColor", archived(tincture::flatLimeColor()) }, { "shortcutBackgroundPresetColor", archived(tincture::flatPlumColor()) },
        { "isShortcutBorder", V::boolean(true) } }));
    auto menu = press("com.apple.mobilemail");
    auto& inbox = itemOfType(menu, "com.apple.mobilemail.inbox");
    EXPECT_TRUE(isColor(inbox.titleLabel()->textColor(), tincture::flatMintColor()));
    EXPECT_TRUE(isColor(inbox.subtitleLabel()->textColor(), tincture::flatPinkColor())) << "the key spelled shortcuSubtitlePresetColor";
    EXPECT_EQ(inbox.iconView()->tintColor(), nullptr) << "no icon preset stored";
    EXPECT_TRUE(isColor(menu->backgroundView()->backgroundColor(), tincture::flatPlumColor()));
    EXPECT_EQ(menu->backgroundView()->layer()->borderWidth(), 1.0);
    EXPECT_EQ(menu->backgroundView()->layer()->borderColor(), nullptr) << "a border of width 1 without a colour";
}

TEST_F(MenutoneTweak, BlurStylesOneToNineReplaceTheHostsSettingsAndOthersKeepThem)
{
    for (std::int64_t style : { 0, 10, -1 }) {
        applySettings(settings({ { "shortcutBlurStyle", V::integer(style) } }));
        auto menu = press("com.apple.weather");
        EXPECT_TRUE(menu->isBlurSettingsHostMade()) << style;
    }
    applySettings(settings({ { "shortcutBlurStyle", V::integer(9) } }));
    auto menu = press("com.apple.weather");
    EXPECT_FALSE(menu->isBlurSettingsHostMade());
    EXPECT_STREQ(object_getClassName(menu->blurSettings()), "_UIBackdropViewSettingsUltraDark");
    auto* settings = objc_dynamicCast<_UIBackdropViewSettings>(menu->blurSettings());
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->blurRadius(), 30) << "made with its default values";
    EXPECT_EQ(menu->blurSettings()->retainCountForTesting(), 1u) << "only the menu keeps it";
}

TEST_F(MenutoneTweak, HidingTheBlurFeedsZeroToTheHostAndAReloadReachesAnOpenMenu)
{
    applySettings(settings({}));
    auto menu = press("com.apple.weather", 0.5);
    EXPECT_EQ(menu->updateBlurFractions().back(), 0.5);

    applySettings(settings({ { "isHideShortcutBlur", V::boolean(true) } }));
    objc_msgSend<void(double, double)>(menu.ptr(), sel_registerName(peekSelector), 0.7, 0.7);
    objc_msgSend<void(double)>(menu.ptr(), sel_registerName(updateBackgroundSelector), 0.7);
    EXPECT_EQ(menu->contentFractions().back(), 0.7) << "the content fraction passes through";
    EXPECT_EQ(menu->peekBlurFractions().back(), 0.0);
    EXPECT_EQ(menu->updateBlurFractions().back(), 0.0);

    applySettings(settings({ { "isHideShortcutBlur", V::boolean(true) }, { "isEnabled", V::boolean(false) } }));
    auto passedThrough = press("com.apple.weather", 1);
    EXPECT_EQ(passedThrough->updateBlurFractions(), (std::vector<double> { 0.2, 0.4, 0.6, 0.8, 1.0 }));
    EXPECT_EQ(passedThrough->peekBlurFractions(), (std::vector<double> { 0.2, 0.4, 0.6, 0.8, 1.0 }));
}

TEST_F(MenutoneTweak, DisabledLeavesEveryPropertyAsTheHostBuiltIt)
{
    applySettings(settings({ { "isEnabled", V::boolean(false) }, { "shortcutTitleColor", V::integer(25) }, { "isShortcutBorder", V::boolean(true) },
        { "shortcutBlurStyle", V::integer(9) }, { "shortcutTitleFont", V::string("DejaVuSerif-Bold") } }));
    auto menu = press("com.apple.mobilemail");
    EXPECT_TRUE(menu->isBlurSettingsHostMade());
    EXPECT_EQ(menu->backgroundView()->layer()->borderColor(), nullptr);
    for (auto& item : menu->itemViews()) {
        EXPECT_TRUE(isColor(item->titleLabel()->textColor(), UIColor::colorWithWhite(0, 1)));
        EXPECT_EQ(item->titleLabel()->font()->fontName(), UIFont::systemFontOfSize(item->titleFontSize())->fontName());
        EXPECT_EQ(item->iconView()->image()->renderingMode(), UIImageRenderingMode::Automatic);
    }
}

TEST_F(MenutoneTweak, AResetBringsEveryValueBackToItsDefault)
{
    applySettings(settings({ { "shortcutTitleColor", V::integer(5) } }));
    EXPECT_TRUE(isColor(press("com.apple.mobilemail")->itemViews().front()->titleLabel()->textColor(), tincture::flatNavyBlueColor()));
    applySettings(settings({}));
    EXPECT_TRUE(isColor(press("com.apple.mobilemail")->itemViews().front()->titleLabel()->textColor(), UIColor::colorWithWhite(0, 1)));
}

TEST(MenutoneTweakEntry, AHostWithoutTheBackgroundClassStillGetsTheOtherFourRowsTheObserverAndTheSettings)
{
    TemporaryRoot root;
    ASSERT_EQ(std::system((std::string(MENUTONE_COMMAND) + " root create '" + root.path().string() + "' > /dev/null").c_str()), 0);
    NSDictionary({ { "shortcutTitleColor", PropertyListValue::integer(25) }, { "shortcutBlurStyle", PropertyListValue::integer(9) },
                     { "isHideShortcutBlur", PropertyListValue::boolean(true) } })
        .writeToFile(kMenutoneSettingsPath, Atomically::Yes);
    auto result = runCommand(std::string(PARTIAL_HOST) + " '" + root.path().string() + "'");
    EXPECT_EQ(result.status, 0);
    auto red = tincture::flatRedColorDark();
    EXPECT_EQ(result.output,
        "loaded Menutone yes\n"
        "background class absent\n"
        "title colour "
            + red->description()
            + "\n"
              "blur settings _UIBackdropViewSettingsUltraDark\n"
              "fractions 0 0\n");
}
