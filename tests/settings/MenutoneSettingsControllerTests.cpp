#include <device/Process.h>
#include <objc/MessageSend.h>
#include <preferences/PSListController.h>
#include <preferences/PSTableCell.h>
#include <settingsapp/ScreenSnapshot.h>
#include <social/SLComposeViewController.h>

#include "SettingsTestSupport.h"

namespace {

using RootScreen = SettingsScreenTest;

PSSpecifier* enabledSpecifier(SettingsApp& app)
{
    return static_cast<PSTableCell*>(app.topTable()->cellForRow(0, 0))->specifier();
}

std::optional<PropertyListValue> readValue(SettingsApp& app, PSSpecifier* specifier)
{
    return objc_msgSend<PSListController::ReadPreferenceValue>(app.topViewController(), sel_registerName("readPreferenceValue:"), static_cast<id>(specifier));
}

}

TEST_F(RootScreen, AValueIsTheStoresOrTheRowsDefaultAndOfAnyTypeUnchanged)
{
    auto& app = openSettings();
    EXPECT_EQ(app.topViewController()->title(), "Menutone");
    auto* specifier = enabledSpecifier(app);
    ASSERT_EQ(specifier->stringProperty("key"), "isEnabled");
    EXPECT_EQ(readValue(app, specifier), PropertyListValue::boolean(true)) << "no store: the row's default";

    writeStore({ { "isEnabled", PropertyListValue::string("maybe") } });
    EXPECT_EQ(readValue(app, specifier), PropertyListValue::string("maybe"));
    writeStore({ { "isEnabled", PropertyListValue::data({ 1, 2 }) } });
    EXPECT_EQ(readValue(app, specifier), PropertyListValue::data({ 1, 2 }));
    writeStore({ { "isEnabled", PropertyListValue::boolean(false) } });
    app.runFor(std::chrono::milliseconds(100));
    EXPECT_FALSE(static_cast<PSSwitchTableCell*>(&row(0, 0))->control()->isOn()) << "coming back shows what others stored";
}

TEST_F(RootScreen, AWriteMergesIntoTheStoreAndPostsTheRowsNotificationAfterwards)
{
    writeStore({ { "shortcutTitleColor", PropertyListValue::integer(5) } });
    auto& app = openSettings();
    EXPECT_TRUE(succeeded(app.setSwitch("Enabled", false)));
    EXPECT_EQ(storeText(), "isEnabled=false shortcutTitleColor=5");
    EXPECT_EQ(m_posts, "com.harbrook.Menutone.notify(isEnabled=false shortcutTitleColor=5) ");

    // A row without "PostNotification" is stored and tells nobody.
    auto quiet = PSSpecifier::specifierWithPlistItem(
        PropertyListValue::dictionary({ { "cell", PropertyListValue::string("PSSwitchCell") }, { "key", PropertyListValue::string("isShortcutBorder") } }),
        app.topViewController());
    objc_msgSend<PSListController::SetPreferenceValue>(app.topViewController(), sel_registerName("setPreferenceValue:specifier:"),
        std::optional(PropertyListValue::boolean(true)), static_cast<id>(quiet.get()));
    EXPECT_EQ(storeText(), "isEnabled=false isShortcutBorder=true shortcutTitleColor=5");
    EXPECT_EQ(m_posts, "com.harbrook.Menutone.notify(isEnabled=false shortcutTitleColor=5) ");
}

TEST_F(RootScreen, RespringAsksFirstAndOnlyYesOnItsOwnAlertRestartsTheHomeScreen)
{
    ASSERT_EQ(device::registerHomeScreen(), device::HomeScreenRegistration::Registered);
    auto takeRespring = [] { return settingsRoot().takePost(device::kRespringNotification); };

    auto& app = openSettings();
    ASSERT_TRUE(table().tapRowByUser(2, 0));
    EXPECT_EQ(app.visibleAlert(), nullptr) << "the alert is shown from the main queue";
    CFRunLoop::main().runUntilIdle();
    RefPtr<UIAlertView> alert = app.visibleAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "Respring?");
    EXPECT_EQ(alert->message(), "Are you sure you want to respring?");
    EXPECT_EQ(alert->tag(), 2000);
    EXPECT_EQ(alert->buttonTitles(), (std::vector<std::string> { "No", "Yes" }));
    EXPECT_TRUE(succeeded(app.tapAlertButton("No")));
    EXPECT_FALSE(takeRespring());

    auto other = UIAlertView::create("Other", "", app.topViewController(), std::string("No"), { "Yes" });
    other->setTag(1999);
    other->show();
    EXPECT_TRUE(succeeded(app.tapAlertButton("Yes")));
    EXPECT_FALSE(takeRespring()) << "another alert's Yes restarts nothing";

    EXPECT_TRUE(succeeded(app.tapRow("Respring")));
    EXPECT_TRUE(succeeded(app.tapAlertButton("Yes")));
    EXPECT_TRUE(takeRespring());
    device::unregisterHomeScreen();
}

TEST_F(RootScreen, TheHeartPresentsTheTweetComposer)
{
    auto& app = openSettings();
    auto* heart = app.topViewController()->navigationItem()->rightBarButtonItem();
    ASSERT_TRUE(heart);
    EXPECT_EQ(heart->image()->sourcePath(), "/Library/PreferenceBundles/MenutoneSettings.bundle/love.png");
    EXPECT_TRUE(succeeded(app.tapBarButton(SettingsApp::BarSide::Right)));
    auto* composer = objc_dynamicCast<SLComposeViewController>(app.topViewController()->presentedViewController());
    ASSERT_TRUE(composer);
    EXPECT_EQ(composer->serviceType(), SLServiceTypeTwitter);
    EXPECT_EQ(composer->initialText(), "I love #Menutone by @harbrook");
    EXPECT_EQ(composer->urls(), (std::vector<std::string> { "https://repo.harbrook.com/package/com.harbrook.menutone/" }));
    EXPECT_TRUE(succeeded(app.goBack()));
    EXPECT_EQ(app.topViewController()->presentedViewController(), nullptr);
}

TEST_F(RootScreen, TintArrivesOnTheOuterBarAfterATenthOfASecond)
{
    auto& app = openSettings();
    auto tint = expectedSettingsTint();
    EXPECT_EQ(app.splitNavigationController().navigationBar()->ownTintColor(), nullptr) << "init runs before the screen is in a stack";
    EXPECT_TRUE(app.topViewController()->view()->tintColor()->isEqual(tint.ptr()));
    app.runFor(std::chrono::milliseconds(99));
    EXPECT_EQ(app.splitNavigationController().navigationBar()->ownTintColor(), nullptr);
    app.runFor(std::chrono::milliseconds(1));
    ASSERT_TRUE(app.splitNavigationController().navigationBar()->ownTintColor());
    EXPECT_TRUE(app.splitNavigationController().navigationBar()->ownTintColor()->isEqual(tint.ptr()));
    auto* toggle = static_cast<PSSwitchTableCell*>(&row(0, 0))->control();
    EXPECT_TRUE(toggle->effectiveOnTintColor()->isEqual(tint.ptr()));
}

TEST_F(RootScreen, CellsDrawTheirIconsAsTemplatesAndRespringNeverShowsADisclosure)
{
    auto& app = openSettings();
    auto screen = ScreenSnapshot::capture(app);
    ASSERT_EQ(screen.sections.size(), 4u);
    auto& enabled = screen.sections[0].rows[0];
    EXPECT_EQ(enabled.image->name, "killswitch.png");
    EXPECT_TRUE(enabled.image->isTemplate);
    EXPECT_TRUE(screen.sections[1].rows[0].image->isTemplate) << "TintedCell";
    EXPECT_EQ(screen.sections[1].rows[0].accessory.kind, AccessorySnapshot::Kind::Disclosure);

    // Even a respring row the plist made a link loses its disclosure.
    auto link = PSSpecifier::specifierWithPlistItem(PropertyListValue::dictionary({ { "cell", PropertyListValue::string("PSLinkCell") } }), nullptr);
    RefPtr<NSObject> instance = class_createInstance(objc_getClass("RespringCell"));
    RefPtr<PSTableCell> cell = objc_dynamicCast<PSTableCell>(
        objc_msgSend<PSCellInitializer>(instance.get(), sel_registerName(cellInitializerSelector), 0l, std::string("Cell"), static_cast<id>(link.get())));
    ASSERT_TRUE(cell);
    cell->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->accessoryType(), UITableViewCellAccessoryType::None);
}
