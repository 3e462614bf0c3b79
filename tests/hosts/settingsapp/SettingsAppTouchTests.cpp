// The Settings app driven by a finger: touches at points read off the views'
// frames reach what the picture shows there, and nothing where it shows none.

#include <device/Process.h>
#include <settingsapp/ScreenSnapshot.h>

#include "settings/SettingsTestSupport.h"

namespace {

class TouchedSettings : public SettingsScreenTest {
protected:
    // The middle of a view, on the screen.
    static CGPoint middleOf(const UIView& view)
    {
        CGRect bounds = view.bounds();
        return view.convertPointToView({ bounds.origin.x + bounds.size.width / 2, bounds.origin.y + bounds.size.height / 2 }, nullptr);
    }

    std::string screenName() const { return object_getClassName(m_app->topViewController()); }
};

}

TEST_F(TouchedSettings, ATouchAtARowsMiddleSelectsItAndAtItsSwitchFlipsIt)
{
    auto& app = openSettings();
    UISwitch* toggle = objc_dynamicCast<UISwitch>(row(0, 0).accessoryView());
    ASSERT_TRUE(toggle);
    bool wasOn = toggle->isOn();
    ASSERT_TRUE(succeeded(app.touch(middleOf(*toggle))));
    EXPECT_NE(toggle->isOn(), wasOn);
    EXPECT_NE(m_posts.find("isEnabled=" + std::string(wasOn ? "false" : "true")), std::string::npos) << "[" << m_posts << "] " << storeText();
    EXPECT_EQ(screenName(), "MenutoneSettingsController") << "the switch took the touch, not its row";

    ASSERT_TRUE(succeeded(app.touch(middleOf(row(1, 0)))));
    EXPECT_EQ(screenName(), "MenutoneConfigurationController");
}

TEST_F(TouchedSettings, TouchesOnADimmedRowOrBetweenSectionsDoNothing)
{
    auto& app = openSettings();
    ASSERT_TRUE(succeeded(app.tapRow("Configuration")));
    ASSERT_FALSE(row(0, 1).isUserInteractionEnabled()) << "Preset color is dimmed while Use preset is off";
    table().clearEventLogForTesting();
    ASSERT_TRUE(succeeded(app.touch(middleOf(row(0, 1)))));
    // The band between sections 0 and 1: under the footer, above the next rows.
    CGRect lastOfFirst = row(0, 1).convertRectToView(row(0, 1).bounds(), nullptr);
    CGRect firstOfSecond = row(1, 0).convertRectToView(row(1, 0).bounds(), nullptr);
    ASSERT_GT(firstOfSecond.origin.y - (lastOfFirst.origin.y + lastOfFirst.size.height), 40);
    ASSERT_TRUE(succeeded(app.touch({ 187, firstOfSecond.origin.y - 5 })));
    EXPECT_EQ(table().eventLogForTesting(), "");
    EXPECT_EQ(screenName(), "MenutoneConfigurationController");
    EXPECT_FALSE(app.touch({ 400, 10 })) << "a point off the screen is refused";
}

TEST_F(TouchedSettings, ScrollingMovesTheRowsUnderTheBarAndTouchesFollow)
{
    auto& app = openSettings();
    ASSERT_TRUE(succeeded(app.tapRow("Configuration")));
    CGRect before = row(4, 2).convertRectToView(row(4, 2).bounds(), nullptr);
    EXPECT_GT(before.origin.y, 667) << "Blur starts below the screen";
    ASSERT_TRUE(succeeded(app.scroll(300)));
    CGRect after = row(4, 2).convertRectToView(row(4, 2).bounds(), nullptr);
    EXPECT_EQ(after.origin.y, before.origin.y - 300);
    auto screen = ScreenSnapshot::capture(app);
    EXPECT_EQ(screen.contentOffset.y, 300);
    EXPECT_EQ(screen.sections[4].rows[2].frame, after);
    // What is under the bar is the bar's: the back button, not a row.
    ASSERT_TRUE(screen.backButton);
    EXPECT_EQ(screen.backButton->title, "Menutone");
    ASSERT_TRUE(succeeded(app.scroll(10000)));
    EXPECT_EQ(table().contentOffset().y, table().contentSize().height - table().bounds().size.height);
    ASSERT_TRUE(succeeded(app.touch({ screen.backButton->frame.origin.x + 30, screen.backButton->frame.origin.y + 22 })));
    EXPECT_EQ(screenName(), "MenutoneSettingsController");
}

TEST_F(TouchedSettings, AHeldBackButtonDimsUntilTheFingerLiftsAndARowGreysWhileHeld)
{
    auto& app = openSettings();
    ASSERT_TRUE(succeeded(app.tapRow("Configuration")));
    auto screen = ScreenSnapshot::capture(app);
    ASSERT_TRUE(screen.backButton);
    CGPoint back { screen.backButton->frame.origin.x + 30, screen.backButton->frame.origin.y + 22 };
    // Kept: going back builds the bar's buttons anew.
    RefPtr<UIView> held = app.window().hitTest(back);
    ASSERT_TRUE(held);
    app.touchDown(back);
    EXPECT_LT(held->alpha(), 0.5) << "dimmed under the finger";
    app.touchUp(back, UITouch::Seconds(0.1));
    EXPECT_EQ(held->alpha(), 1);
    EXPECT_EQ(screenName(), "MenutoneSettingsController");

    CGPoint configuration = middleOf(row(1, 0));
    app.touchDown(configuration);
    EXPECT_TRUE(row(1, 0).isHighlighted()) << "grey while held";
    CGPoint enabled = middleOf(row(0, 0));
    app.touchUp(configuration, UITouch::Seconds(0.1));
    EXPECT_EQ(screenName(), "MenutoneConfigurationController");
    ASSERT_TRUE(succeeded(app.goBack()));
    app.touchDown(enabled);
    EXPECT_FALSE(row(0, 0).isHighlighted()) << "a switch's row does not grey";
    app.touchUp(enabled, UITouch::Seconds(0.1));
}

TEST_F(TouchedSettings, ARowOutOfSightIsScrolledIntoViewBeforeItIsTapped)
{
    auto& app = openSettings();
    ASSERT_TRUE(succeeded(app.tapRow("Configuration")));
    ASSERT_EQ(table().contentOffset().y, -64) << "at the top, inset under the bars";
    ASSERT_TRUE(succeeded(app.tapRow("Blur")));
    EXPECT_EQ(screenName(), "MenutoneBlurController");
    ASSERT_TRUE(succeeded(app.goBack()));
    CGRect blur = row(4, 2).convertRectToView(row(4, 2).bounds(), nullptr);
    EXPECT_GE(blur.origin.y, 64);
    EXPECT_LE(blur.origin.y + blur.size.height, 667);
}

TEST_F(TouchedSettings, AnAlertsButtonsAreTouchedWhereTheyAreDrawn)
{
    ASSERT_EQ(device::registerHomeScreen(), device::HomeScreenRegistration::Registered);
    auto& app = openSettings();
    ASSERT_TRUE(succeeded(app.touch(middleOf(row(2, 0)))));
    auto screen = ScreenSnapshot::capture(app);
    ASSERT_TRUE(screen.alert);
    ASSERT_EQ(screen.alert->buttonFrames.size(), 2u);
    CGRect no = screen.alert->buttonFrames[0], yes = screen.alert->buttonFrames[1];
    EXPECT_EQ(no.origin.y, yes.origin.y) << "two buttons sit side by side";
    EXPECT_LT(no.origin.x, yes.origin.x) << "cancel first";
    // A touch on the dimmed screen around the alert answers nothing.
    ASSERT_TRUE(succeeded(app.touch({ 10, 600 })));
    EXPECT_TRUE(app.visibleAlert());
    ASSERT_TRUE(succeeded(app.touch({ yes.origin.x + yes.size.width / 2, yes.origin.y + yes.size.height / 2 })));
    EXPECT_FALSE(app.visibleAlert());
    EXPECT_TRUE(settingsRoot().takePost(device::kRespringNotification));
    device::unregisterHomeScreen();
}
