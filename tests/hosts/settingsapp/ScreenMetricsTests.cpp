// Every Menutone screen measured against iOS 9's grouped table: rows 44 pt,
// text at 15 pt or beside a 29 pt image, separators starting under the text,
// accessories inside their cells, bar buttons under a 20 pt status bar in a
// 44 pt navigation bar.

#include <cairo.h>

#include <messageui/MFMailComposeViewController.h>
#include <settingsapp/ScreenSnapshot.h>
#include <uikit/UIGraphics.h>

#include "settings/SettingsTestSupport.h"

namespace {

// Red, green and blue of a pixel of an ARGB32 picture, opaque as the screen is.
std::array<int, 3> pixelOf(cairo_surface_t* surface, int x, int y)
{
    const unsigned char* pixel = cairo_image_surface_get_data(surface) + cairo_image_surface_get_stride(surface) * y + x * 4;
    return { pixel[2], pixel[1], pixel[0] };
}

class ScreenMetrics : public SettingsScreenTest {
protected:
    // Each row of the screen shown now, checked; the screen named in failures.
    void expectIOSMetrics(const std::string& name)
    {
        SCOPED_TRACE(name);
        // 15 pt from the screen's edges, 20 on the Plus; the image's gap to the text is 15 on both.
        const CGFloat margin = deviceDescription(UIScreen::mainScreen().device()).layoutMargin;
        const CGFloat screenWidth = UIScreen::mainScreen().bounds().size.width;
        auto screen = ScreenSnapshot::capture(*m_app);
        if (screen.backButton) {
            EXPECT_EQ(screen.backButton->frame.origin.y, 20) << "under the status bar";
            EXPECT_EQ(screen.backButton->frame.size.height, 44) << "the navigation bar's height";
        }
        for (auto& section : screen.sections)
            for (auto& row : section.rows) {
                SCOPED_TRACE(row.text);
                EXPECT_EQ(row.frame.size.height, 44);
                if (row.image) {
                    ASSERT_TRUE(row.imageFrame) << "a row with an image shows it";
                    EXPECT_EQ(*row.imageFrame, CGRectMake(margin, 7.5, 29, 29));
                    EXPECT_EQ(row.textFrame.origin.x, margin + 44) << "the text beside the image";
                    EXPECT_EQ(row.separatorInset, margin + 44);
                } else {
                    EXPECT_FALSE(row.imageFrame);
                    EXPECT_EQ(row.textFrame.origin.x, margin);
                    EXPECT_EQ(row.separatorInset, margin);
                }
                if (!row.accessory.frame.size.width)
                    continue;
                CGRect accessory = row.accessory.frame;
                EXPECT_GE(accessory.origin.x, row.frame.origin.x + row.textFrame.origin.x) << "clear of the image";
                EXPECT_LE(accessory.origin.x + accessory.size.width, screenWidth - margin) << "inside the cell's margin";
            }
    }
};

}

TEST_F(ScreenMetrics, EveryScreenIsLaidOutAsIOS9LaysOutAGroupedTable)
{
    auto& app = openSettings();
    expectIOSMetrics("Menutone");
    ASSERT_TRUE(succeeded(app.tapRow("Configuration")));
    expectIOSMetrics("Configuration");
    for (const char* screen : { "Title color", "Title font", "Blur" }) {
        ASSERT_TRUE(succeeded(app.tapRow(screen))) << screen;
        expectIOSMetrics(screen);
        ASSERT_TRUE(succeeded(app.goBack()));
    }
    ASSERT_TRUE(succeeded(app.setSwitch("Use preset", true)));
    ASSERT_TRUE(succeeded(app.tapRow("Preset color")));
    expectIOSMetrics("Preset color");
    ASSERT_TRUE(succeeded(app.goBack()));
    ASSERT_TRUE(succeeded(app.goBack()));
    ASSERT_TRUE(succeeded(app.tapRow("About")));
    expectIOSMetrics("About");
}

TEST_F(ScreenMetrics, OnThePlusTheScreensKeepTwentyPointMargins)
{
    UIScreen::mainScreen().setDevice(DeviceModel::iPhone6sPlus);
    struct BackToThe6s {
        ~BackToThe6s() { UIScreen::mainScreen().setDevice(DeviceModel::iPhone6s); }
    } backToThe6s;
    auto& app = openSettings();
    expectIOSMetrics("Menutone on the Plus");
    ASSERT_TRUE(succeeded(app.tapRow("Configuration")));
    expectIOSMetrics("Configuration on the Plus");
    EXPECT_EQ(ScreenSnapshot::capture(app).sections.at(0).rows.at(0).frame.size.width, 414);
}

TEST_F(ScreenMetrics, TheEnabledRowShowsItsIconThoughTheCellSetsItAfterLayout)
{
    auto& app = openSettings();
    auto screen = ScreenSnapshot::capture(app);
    auto& enabled = screen.sections.at(0).rows.at(0);
    ASSERT_EQ(enabled.text, "Enabled");
    ASSERT_TRUE(enabled.image);
    EXPECT_EQ(enabled.image->name, "killswitch.png");
    EXPECT_TRUE(enabled.imageFrame) << "the image view is not left hidden";
    EXPECT_EQ(enabled.textFrame.origin.x, 59);

    // And the picture has the icon's red where the image view stands.
    TemporaryFolder folder;
    auto path = folder.path() / "screen.png";
    ASSERT_TRUE(writeScreenPicture(app, path.string()));
    auto picture = UIImage::readHostFile(path.string());
    ASSERT_TRUE(picture);
    CGRect icon = *enabled.imageFrame;
    std::size_t tinted = 0;
    for (int y = 0; y < 29; ++y)
        for (int x = 0; x < 29; ++x) {
            auto pixel
                = pixelOf((*picture)->surface(), static_cast<int>(2 * (icon.origin.x + x)), static_cast<int>(2 * (enabled.frame.origin.y + icon.origin.y + y)));
            if (pixel[0] > 180 && pixel[1] < 120 && pixel[2] < 120)
                ++tinted;
        }
    EXPECT_GT(tinted, 20u) << "the template icon drawn in the screen's red";
}

TEST_F(ScreenMetrics, ThePresetsControlFitsItsCellAndSplitsItEvenly)
{
    auto& app = openSettings();
    ASSERT_TRUE(succeeded(app.tapRow("Configuration")));
    ASSERT_TRUE(succeeded(app.setSwitch("Use preset", true)));
    ASSERT_TRUE(succeeded(app.tapRow("Preset color")));
    auto screen = ScreenSnapshot::capture(app);
    auto& control = screen.sections.at(0).rows.at(0).accessory;
    ASSERT_EQ(control.segments.size(), 3u);
    EXPECT_EQ(control.frame.origin.x, 59) << "after the 29 pt image and its margins";
    EXPECT_EQ(control.frame.origin.x + control.frame.size.width, 360);
}

TEST_F(ScreenMetrics, EachGroupedSectionHasFullWidthHairlinesAboveAndBelow)
{
    auto& app = openSettings();
    ASSERT_TRUE(succeeded(app.tapRow("Configuration")));
    auto screen = ScreenSnapshot::capture(app);
    TemporaryFolder folder;
    auto path = folder.path() / "screen.png";
    ASSERT_TRUE(writeScreenPicture(app, path.string()));
    auto picture = UIImage::readHostFile(path.string());
    ASSERT_TRUE(picture);
    auto* surface = (*picture)->surface();
    // At the screen's left edge, left of every separator inset, in pixels (2x).
    auto isHairline = [&](CGFloat yPoints) {
        auto pixel = pixelOf(surface, 2, static_cast<int>(yPoints * 2));
        return std::abs(pixel[0] - 200) < 12 && std::abs(pixel[1] - 199) < 12 && std::abs(pixel[2] - 204) < 12;
    };
    auto& rows = screen.sections.at(0).rows;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(isHairline(rows[0].frame.origin.y)) << "above the section";
    EXPECT_TRUE(isHairline(rows[1].frame.origin.y + 43.75)) << "below the section";
    EXPECT_FALSE(isHairline(rows[0].frame.origin.y + 43.75)) << "between rows the separator starts at the text";
}

TEST_F(ScreenMetrics, TheMailSheetKeepsTheStatusBarAboveItAndNamesItsFieldsInGrey)
{
    NSFileManager::defaultManager().createDirectoryAtPath("/var/mobile/Library/Mail");
    NSDictionary({ { "Accounts",
                     PropertyListValue::array({ PropertyListValue::dictionary({ { "EmailAddress", PropertyListValue::string("mobile@example.com") } }) }) } })
        .writeToFile(kMailAccountsPath, Atomically::Yes);
    auto& app = openSettings();
    ASSERT_TRUE(succeeded(app.tapRow("About")));
    ASSERT_TRUE(succeeded(app.tapRow("Email support")));
    auto* sheet = app.presentedSheet();
    ASSERT_TRUE(sheet);
    auto* statusBar = app.window().statusBar();
    ASSERT_TRUE(statusBar);
    auto& windowViews = app.window().subviews();
    EXPECT_EQ(windowViews.back().ptr(), statusBar) << "the sheet went under the status bar";
    EXPECT_EQ(statusBar->style(), UIStatusBarStyle::Default) << "black on the white sheet";

    std::vector<std::string> greyNames;
    for (auto& view : sheet->view()->subviews())
        if (auto* label = objc_dynamicCast<UILabel>(view.ptr()); label && label->textColor()) {
            CGFloat white = 0, alpha = 0;
            if (label->textColor()->getWhite(&white, &alpha) && std::abs(white - 0.56) < 0.01)
                greyNames.push_back(label->text());
        }
    for (const char* name : { "To:", "Cc/Bcc:", "Subject:" })
        EXPECT_NE(std::find(greyNames.begin(), greyNames.end(), name), greyNames.end()) << name;

    // And the picture has the status bar's black time over the sheet's white.
    TemporaryFolder folder;
    auto path = folder.path() / "sheet.png";
    ASSERT_TRUE(writeScreenPicture(app, path.string()));
    auto picture = UIImage::readHostFile(path.string());
    ASSERT_TRUE(picture);
    int dark = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 300; x < 450; ++x)
            dark += pixelOf((*picture)->surface(), x, y)[0] < 80;
    EXPECT_GT(dark, 100);
    NSFileManager::defaultManager().removeItemAtPath(kMailAccountsPath);
}

TEST_F(ScreenMetrics, MenutonesFirstScreenGoesBackToTheSettingsListWhichOpensItAgain)
{
    auto& app = openSettings();
    auto first = ScreenSnapshot::capture(app);
    ASSERT_TRUE(first.backButton);
    EXPECT_EQ(first.backButton->title, "Settings");
    ASSERT_TRUE(succeeded(app.goBack()));
    auto list = ScreenSnapshot::capture(app);
    EXPECT_EQ(list.title, "Settings");
    EXPECT_FALSE(list.backButton);
    ASSERT_EQ(list.sections.size(), 1u);
    ASSERT_EQ(list.sections[0].rows.size(), 1u);
    EXPECT_EQ(list.sections[0].rows[0].text, "Menutone");
    ASSERT_TRUE(list.sections[0].rows[0].image);
    EXPECT_EQ(list.sections[0].rows[0].image->name, "MenutoneSettingsIcon.png");
    expectIOSMetrics("Settings");
    EXPECT_FALSE(succeeded(app.goBack())) << "the list is the app's first screen";
    ASSERT_TRUE(succeeded(app.tapRow("Menutone")));
    EXPECT_EQ(object_getClassName(app.topViewController()), std::string("MenutoneSettingsController"));
}

TEST_F(ScreenMetrics, TheHomeButtonCancelsASheetAndOpensTheAppAgainAtItsFirstScreen)
{
    auto& app = openSettings();
    ASSERT_TRUE(succeeded(app.tapRow("Configuration")));
    ASSERT_TRUE(succeeded(app.tapRow("Blur")));
    app.pressHome();
    EXPECT_EQ(object_getClassName(app.topViewController()), std::string("PSUIPrefsListController"));
    EXPECT_FALSE(app.presentedSheet());
    ASSERT_TRUE(succeeded(app.tapRow("Menutone")));
    ASSERT_TRUE(succeeded(app.tapBarButton(SettingsApp::BarSide::Right))) << "the heart's tweet sheet";
    ASSERT_TRUE(app.presentedSheet());
    app.pressHome();
    EXPECT_FALSE(app.presentedSheet());
    EXPECT_EQ(object_getClassName(app.topViewController()), std::string("PSUIPrefsListController"));
}

TEST_F(ScreenMetrics, TheBarShowsANewSwatchTheMomentAColourIsChosenAndReadsItsName)
{
    auto& app = openSettings();
    auto heart = ScreenSnapshot::capture(app).rightBarButton;
    ASSERT_TRUE(heart);
    EXPECT_EQ(heart->accessibilityLabel, "Share on Twitter") << "not the image's file name";
    ASSERT_TRUE(succeeded(app.tapRow("Configuration")));
    ASSERT_TRUE(succeeded(app.tapRow("Title color")));
    auto before = ScreenSnapshot::capture(app).rightBarButton;
    ASSERT_TRUE(before);
    EXPECT_EQ(before->accessibilityLabel, "Title color: Default");
    ASSERT_TRUE(succeeded(app.tapRow("Dark Red")));
    auto after = ScreenSnapshot::capture(app).rightBarButton;
    ASSERT_TRUE(after);
    EXPECT_GT(after->frame.size.width, 0) << "the bar shows the new item, not the old one";
    EXPECT_EQ(after->accessibilityLabel, "Title color: Dark Red");
    ASSERT_TRUE(after->customView);
    EXPECT_EQ(colorText(after->customView->color.get()), "#BF392A");
}
