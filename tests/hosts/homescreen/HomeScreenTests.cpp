// The home screen under a finger, on a manual clock: what a press does at
// each step, and that touches land where the picture shows things.

#include <cairo.h>
#include <gtest/gtest.h>

#include <filesystem>

#include <corefoundation/CFNotificationCenter.h>
#include <corefoundation/CFRunLoop.h>
#include <homescreen/HomeScreen.h>
#include <springboard/SBWallpaper.h>
#include <uikit/UILabel.h>
#include <uikit/UIViewRendering.h>

#include "TestSupport.h"

namespace {

constexpr const char* photos = "com.apple.mobileslideshow";
constexpr const char* mail = "com.apple.mobilemail";

class HomeScreenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // One root for the process: SpringBoard starts once and loads the tweak from it.
        static TemporaryRoot root;
        static bool isLaidOut = std::system((std::string(MENUTONE_COMMAND) + " root create '" + root.path().string() + "' > /dev/null").c_str()) == 0;
        ASSERT_TRUE(isLaidOut);
        DeviceRoot::setCurrent(root.path());
        CFRunLoop::main().useManualClock();
    }

    void SetUp() override
    {
        m_home = std::make_unique<HomeScreen>(SpringBoard::launch());
        m_home->setEventHandler([this](const std::string& event) { m_events += (m_events.empty() ? "" : " | ") + event; });
        m_home->setChangeHandler([this] { ++m_changes; });
    }

    void TearDown() override
    {
        // Timers a test left must not reach the next test's home screen.
        m_home->closeMenu();
        advance(1);
        m_home.reset();
    }

    static void advance(double seconds)
    {
        CFRunLoop::main().advanceClock(std::chrono::duration_cast<Nanoseconds>(std::chrono::duration<double>(seconds)));
        CFRunLoop::main().runUntilIdle();
    }

    static CGPoint middle(CGRect frame) { return { frame.origin.x + frame.size.width / 2, frame.origin.y + frame.size.height / 2 }; }
    // The icon's picture: 60 points square, centred over its name.
    CGRect iconPicture(const char* identifier) const
    {
        CGRect withName = m_home->iconFrame(identifier);
        EXPECT_GT(withName.size.width, 0) << identifier;
        return CGRectMake(withName.origin.x + (withName.size.width - 60) / 2, withName.origin.y, 60, 60);
    }
    CGPoint iconMiddle(const char* identifier) const { return middle(iconPicture(identifier)); }
    CGRect itemFrame(std::size_t index) const
    {
        auto& item = m_home->menu()->itemViews().at(index).get();
        return item.convertRectToView(item.bounds(), nullptr);
    }

    // The window's picture at 1x, as 0xAARRGGBB.
    std::uint32_t pixelAt(CGPoint point) const
    {
        auto image = imageOfViewHierarchy(m_home->window(), 1);
        EXPECT_TRUE(image);
        if (!image)
            return 0u;
        cairo_surface_t* surface = image->surface();
        cairo_surface_flush(surface);
        auto* row = cairo_image_surface_get_data(surface) + cairo_image_surface_get_stride(surface) * static_cast<int>(point.y);
        return reinterpret_cast<const std::uint32_t*>(row)[static_cast<int>(point.x)];
    }

    // Holds a finger on the app's icon for the full press and lifts it there.
    void openMenu(const char* identifier)
    {
        CGPoint point = iconMiddle(identifier);
        m_home->touchDown(point);
        advance(HomeScreen::fullPressDuration.count());
        m_home->touchUp(point, HomeScreen::fullPressDuration);
        ASSERT_TRUE(m_home->isMenuOpen()) << m_events;
        m_events.clear();
    }

    std::unique_ptr<HomeScreen> m_home;
    std::string m_events;
    int m_changes { 0 };
};

}

TEST_F(HomeScreenTest, AHeldIconDeepensInFiveStepsAndStaysOpenWhenTheFingerLifts)
{
    CGPoint point = iconMiddle(photos);
    m_home->touchDown(point);
    EXPECT_FALSE(m_home->menu()) << "nothing shows before time passes";
    std::vector<double> depths;
    for (int step = 0; step < HomeScreen::pressSteps; ++step) {
        advance(HomeScreen::fullPressDuration.count() / HomeScreen::pressSteps);
        depths.push_back(m_home->pressDepth());
    }
    EXPECT_EQ(depths, (std::vector<double> { 0.2, 0.4, 0.6, 0.8, 1.0 }));
    EXPECT_EQ(m_changes, 6) << "the icon darkening, then one picture per step";
    ASSERT_TRUE(m_home->isMenuOpen());
    EXPECT_EQ(m_home->menu()->contentFractions(), (std::vector<double> { 0.2, 0.4, 0.6, 0.8, 1.0 })) << "the menu heard every step";
    m_home->touchUp(point, UITouch::Seconds(0.7));
    EXPECT_TRUE(m_home->isMenuOpen()) << "lifting the finger that opened it keeps it";
    EXPECT_EQ(m_events, std::string("menu ") + photos);
}

TEST_F(HomeScreenTest, AQuickTapLaunchesTheAppAndItsPendingStepsOpenNothing)
{
    CGPoint point = iconMiddle(photos);
    m_home->touchDown(point);
    m_home->touchUp(point, UITouch::Seconds(0.05));
    advance(1);
    EXPECT_FALSE(m_home->menu());
    EXPECT_EQ(m_events, std::string("launch ") + photos);
}

TEST_F(HomeScreenTest, ALiftBeforeTheFullPressClosesTheMenuWithoutLaunching)
{
    CGPoint point = iconMiddle(photos);
    m_home->touchDown(point);
    advance(0.25);
    ASSERT_TRUE(m_home->menu());
    m_home->touchUp(point, UITouch::Seconds(0.25));
    advance(1);
    EXPECT_FALSE(m_home->menu());
    EXPECT_EQ(m_events, "closed");
}

TEST_F(HomeScreenTest, ATapOnAnItemChoosesItsShortcutAndATapOutsideOnlyCloses)
{
    openMenu(photos);
    ASSERT_GE(m_home->menu()->itemViews().size(), 2u);
    std::string type = m_home->menu()->itemViews()[1]->shortcutItem()->type();
    m_home->tap(middle(itemFrame(1)));
    EXPECT_EQ(m_events, "closed | shortcut " + type);
    EXPECT_FALSE(m_home->menu());

    openMenu(photos);
    m_home->tap({ 187, 640 });
    EXPECT_EQ(m_events, "closed");
    EXPECT_FALSE(m_home->menu());
}

TEST_F(HomeScreenTest, TheFingerThatOpenedTheMenuCanSlideOntoAnItemAndLiftThere)
{
    CGPoint point = iconMiddle(photos);
    m_home->touchDown(point);
    advance(0.5);
    ASSERT_TRUE(m_home->isMenuOpen());
    std::string type = m_home->menu()->itemViews()[0]->shortcutItem()->type();
    CGPoint onItem = middle(itemFrame(0));
    m_home->touchMoved(onItem, UITouch::Seconds(0.6));
    m_home->touchUp(onItem, UITouch::Seconds(0.7));
    EXPECT_EQ(m_events, std::string("menu ") + photos + " | closed | shortcut " + type);
}

TEST_F(HomeScreenTest, TheMenuOpensOnTheIconsSideAndWhatItShowsIsWhatATouchFinds)
{
    struct Case {
        const char* identifier;
        bool isAbove;
    };
    for (auto [identifier, isAbove] : { Case { photos, false }, Case { mail, true } }) {
        SCOPED_TRACE(identifier);
        openMenu(identifier);
        CGRect icon = iconPicture(identifier);
        CGRect menu = m_home->menu()->convertRectToView(m_home->menu()->bounds(), nullptr);
        if (isAbove)
            EXPECT_LE(menu.origin.y + menu.size.height, icon.origin.y) << "a dock icon's menu opens over it";
        else
            EXPECT_GE(menu.origin.y, icon.origin.y + icon.size.height) << "a top-row icon's menu opens under it";
        EXPECT_GE(menu.origin.x, 0);
        EXPECT_LE(menu.origin.x + menu.size.width, 375);
        // Each item's middle hit-tests to that item (or a view inside it).
        for (std::size_t i = 0; i < m_home->menu()->itemViews().size(); ++i) {
            UIView* hit = m_home->window().hitTest(middle(itemFrame(i)));
            while (hit && hit != m_home->menu()->itemViews()[i].ptr())
                hit = hit->superview();
            EXPECT_TRUE(hit) << "item " << i;
        }
        m_home->closeMenu();
    }
}

TEST_F(HomeScreenTest, AnIconDarkensWhileAFingerIsOnItAndLightsWhenItLifts)
{
    auto brightnessAt = [&](CGPoint point) {
        auto image = imageOfViewHierarchy(m_home->window(), 1);
        EXPECT_TRUE(image);
        if (!image)
            return 0;
        cairo_surface_t* surface = image->surface();
        cairo_surface_flush(surface);
        auto pixel = reinterpret_cast<const std::uint32_t*>(
            cairo_image_surface_get_data(surface) + cairo_image_surface_get_stride(surface) * static_cast<int>(point.y))[static_cast<int>(point.x)];
        return static_cast<int>(((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF));
    };
    CGPoint point = iconMiddle(photos);
    int lit = brightnessAt(point);
    m_changes = 0;
    m_home->touchDown(point);
    EXPECT_EQ(m_changes, 1) << "a picture of the darkened icon";
    EXPECT_LT(brightnessAt(point), lit * 3 / 4);
    m_home->touchUp(point, UITouch::Seconds(0.05));
    EXPECT_EQ(m_changes, 2) << "and one of it lit again";
    EXPECT_EQ(brightnessAt(point), lit);
}

TEST_F(HomeScreenTest, ThePressBlursTheScreenBehindTheMenuButNotTheLiftedIcon)
{
    // A point on the Weather icon's edge: sharp before, smeared by the blur after.
    CGRect weather = iconPicture("com.apple.weather");
    CGPoint edge { weather.origin.x + 1, weather.origin.y + weather.size.height / 2 };
    CGPoint photosIcon = iconMiddle(photos);
    auto edgeBefore = pixelAt(edge), iconBefore = pixelAt(photosIcon);
    openMenu(photos);
    EXPECT_NE(pixelAt(edge), edgeBefore);
    EXPECT_EQ(pixelAt(photosIcon), iconBefore);
}

TEST_F(HomeScreenTest, ANewWallpaperIsDrawnAndTheOpenMenuBlursIt)
{
    // Wallpaper alone: the left edge of the first page's empty last row.
    CGPoint bare { 20, 530 };
    auto sharp = pixelAt(bare);
    openMenu(photos);
    auto blurred = pixelAt(bare);
    int changesBefore = m_changes;
    // Set as by another process: heard through the root's notify folder.
    ASSERT_TRUE(setBuiltInHomeBackground("Graphite"));
    for (int i = 0; i < 100 && m_changes == changesBefore; ++i)
        CFRunLoop::main().runOnce(std::chrono::milliseconds(50));
    EXPECT_GT(m_changes, changesBefore) << "a host that sends pictures is told";
    EXPECT_TRUE(m_home->isMenuOpen());
    EXPECT_NE(pixelAt(bare), blurred) << "the blur behind the menu is made from the new wallpaper";
    m_home->closeMenu();
    advance(1);
    auto graphite = pixelAt(bare);
    EXPECT_LT((graphite >> 16) & 0xff, 90u) << std::hex << graphite << " is not Graphite's dark grey";

    std::filesystem::remove(DeviceRoot::current().hostFolder() / std::string(kHomeBackgroundPath).substr(1));
    m_home->wallpaperDidChange();
    EXPECT_EQ(pixelAt(bare), sharp) << "no file: the default again";
}

TEST_F(HomeScreenTest, AnAppInstalledWhileItRunsGetsAnIconAndLosesItWhenRemoved)
{
    auto folder = DeviceRoot::current().hostFolder() / "Applications/Extra.app";
    std::filesystem::create_directories(folder);
    writeBytes(folder / "Info.plist",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n\t<key>CFBundleIdentifier</key>\n\t<string>com.example.extra</string>\n"
        "</dict>\n</plist>\n");
    // What the installer posts, heard through the root's notify folder as from another process.
    auto postAndWait = [&](const char* name, bool isShown) {
        CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), CFStringMakeConstantString(name), nullptr, nullptr, true);
        for (int i = 0; i < 100 && (m_home->iconView("com.example.extra") != nullptr) != isShown; ++i)
            CFRunLoop::main().runOnce(std::chrono::milliseconds(50));
    };
    int changesBefore = m_changes;
    postAndWait(kApplicationInstalledNotification, true);
    ASSERT_TRUE(m_home->iconView("com.example.extra"));
    EXPECT_GT(m_home->iconFrame("com.example.extra").size.width, 0);
    EXPECT_GT(m_changes, changesBefore) << "a host that sends pictures is told";
    EXPECT_TRUE(m_home->iconView(mail)) << "the others stay";

    std::filesystem::remove_all(folder);
    postAndWait(kApplicationUninstalledNotification, false);
    EXPECT_FALSE(m_home->iconView("com.example.extra"));
}

// iOS 9's first page holds its nineteen stock apps in rows of four; apps
// installed after them take the five free cells, then a page of their own,
// reached by a swipe.
TEST_F(HomeScreenTest, InstalledAppsFillTheFreeCellsThenANewPageThatASwipeTurnsTo)
{
    EXPECT_EQ(m_home->iconFrame("com.apple.MobileSMS").origin.x, 17) << "Messages first, 10 points of its name's width left of the column";
    EXPECT_EQ(m_home->iconFrame("com.apple.Preferences").origin.y, 28 + 4 * 88) << "Settings ends the fifth row";
    EXPECT_EQ(m_home->iconFrame("com.apple.mobilephone").origin.y, 667 - 96 + 14) << "Phone in the dock";

    std::vector<std::filesystem::path> folders;
    for (int i = 0; i < 6; ++i) {
        folders.push_back(DeviceRoot::current().hostFolder() / ("Applications/Zeta" + std::to_string(i) + ".app"));
        std::filesystem::create_directories(folders.back());
        writeBytes(folders.back() / "Info.plist",
            "<?xml version=\"1.0\"?>\n<plist version=\"1.0\"><dict><key>CFBundleIdentifier</key><string>com.example.zeta" + std::to_string(i)
                + "</string></dict></plist>\n");
    }
    SpringBoard::launch().reloadApplications();
    EXPECT_EQ(m_home->pageCount(), 2u);
    CGRect fifthFree = m_home->iconFrame("com.example.zeta4");
    EXPECT_EQ(fifthFree.origin.x, 27 + 3 * 87 - 10);
    EXPECT_EQ(fifthFree.origin.y, 28 + 5 * 88) << "the last cell of the sixth row";
    EXPECT_EQ(m_home->iconFrame("com.example.zeta5").size.width, 0) << "on the second page, not shown";

    // A swipe to the left, starting on an icon, turns the page and launches nothing.
    CGPoint start = iconMiddle("com.apple.weather");
    m_home->touchDown(start);
    m_home->touchMoved({ start.x - 60, start.y + 5 }, UITouch::Seconds(0.05));
    m_home->touchUp({ start.x - 120, start.y + 8 }, UITouch::Seconds(0.1));
    EXPECT_EQ(m_events, "page 2");
    EXPECT_EQ(m_home->iconFrame("com.example.zeta5").origin.x, 17) << "first on its page";
    EXPECT_EQ(m_home->iconFrame("com.apple.weather").size.width, 0);
    EXPECT_EQ(m_home->iconFrame("com.apple.mobilephone").size.width, 80) << "the dock stays";
    // A tap where an icon of the first page was finds the second page's.
    m_events.clear();
    m_home->tap(iconMiddle("com.example.zeta5"));
    EXPECT_EQ(m_events, "launch com.example.zeta5");

    m_events.clear();
    m_home->touchDown({ 100, 300 });
    m_home->touchUp({ 30, 250 }, UITouch::Seconds(0.1));
    EXPECT_EQ(m_events, "") << "no third page";
    m_home->touchDown({ 100, 300 });
    m_home->touchUp({ 180, 310 }, UITouch::Seconds(0.1));
    EXPECT_EQ(m_events, "page 1");

    for (auto& folder : folders)
        std::filesystem::remove_all(folder);
    SpringBoard::launch().reloadApplications();
    EXPECT_EQ(m_home->pageCount(), 1u);
}
