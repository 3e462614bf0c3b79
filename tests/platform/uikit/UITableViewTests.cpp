// Tables, controls, appearance proxies and alerts, driven through the runtime
// by small controllers registered here, as a bundle's would be.

#include <gtest/gtest.h>

#include <corefoundation/CFRunLoop.h>
#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>
#include <uikit/UIAlertView.h>
#include <uikit/UIAppearance.h>
#include <uikit/UIControl.h>
#include <uikit/UITableView.h>
#include <uikit/UIViewAnimation.h>
#include <uikit/UIViewController.h>
#include <uikit/UIViewRendering.h>
#include <uikit/UIWindow.h>

#include <cairo.h>

#include <array>
#include <cstdlib>

namespace {

// Rows named "s:r" in three sections of 2, 3 and 1 rows; a log of what it is asked.
class RowsControllerForTesting : public UIViewController {
public:
    static Class objcClass();
    std::string m_log;
    long m_firstSectionRows { 2 };
    bool m_isHighlightRefused { false };
};

long sectionCount(id, SEL, id)
{
    return 3;
}

long rowCount(id self, SEL, id, long section)
{
    return section == 0 ? static_cast<RowsControllerForTesting*>(self)->m_firstSectionRows : section == 1 ? 3 : 1;
}

id cell(id, SEL, id table, id indexPath)
{
    auto* path = static_cast<NSIndexPath*>(indexPath);
    auto* made = static_cast<UITableView*>(table)->dequeueReusableCellWithIdentifier("Cell", path);
    made->textLabel()->setText(std::to_string(path->section()) + ":" + std::to_string(path->row()));
    return made;
}

std::optional<std::string> header(id, SEL, id, long section)
{
    return section == 1 ? std::optional<std::string>("Second") : std::nullopt;
}

long centred(id, SEL, id, long)
{
    return 1;
}

bool highlight(id self, SEL, id, id)
{
    return !static_cast<RowsControllerForTesting*>(self)->m_isHighlightRefused;
}

void selected(id self, SEL, id table, id indexPath)
{
    auto* path = static_cast<NSIndexPath*>(indexPath);
    static_cast<RowsControllerForTesting*>(self)->m_log += "didSelect(" + std::to_string(path->section()) + ":" + std::to_string(path->row()) + ") ";
    static_cast<UITableView*>(table)->deselectRowAtIndexPath(path, true);
}

void toggled(id self, SEL, id sender)
{
    static_cast<RowsControllerForTesting*>(self)->m_log += std::string("toggled(") + (static_cast<UISwitch*>(sender)->isOn() ? "on" : "off") + ") ";
}

void clicked(id self, SEL, id alert, long index)
{
    static_cast<RowsControllerForTesting*>(self)->m_log
        += "clicked(" + std::to_string(static_cast<UIAlertView*>(alert)->tag()) + "," + std::to_string(index) + ") ";
}

void willAppear(id self, SEL, bool)
{
    static_cast<RowsControllerForTesting*>(self)->m_log += "appear ";
}

Class RowsControllerForTesting::objcClass()
{
    static Class cls = ClassBuilder<RowsControllerForTesting>("RowsControllerForTesting", UIViewController::objcClass())
                           .method("numberOfSectionsInTableView:", &sectionCount)
                           .method("tableView:numberOfRowsInSection:", &rowCount)
                           .method("tableView:cellForRowAtIndexPath:", &cell)
                           .method("tableView:titleForHeaderInSection:", &header)
                           .method("tableView:titleAlignmentForHeaderInSection:", &centred)
                           .method("tableView:shouldHighlightRowAtIndexPath:", &highlight)
                           .method("tableView:didSelectRowAtIndexPath:", &selected)
                           .method("toggled:", &toggled)
                           .method("alertView:clickedButtonAtIndex:", &clicked)
                           .method("viewWillAppear:", &willAppear)
                           .registerClass();
    return cls;
}

Ref<RowsControllerForTesting> makeController()
{
    auto made = UIViewController::allocInit(RowsControllerForTesting::objcClass());
    return adoptRef(*static_cast<RowsControllerForTesting*>(made.leakRef()));
}

Ref<UITableView> makeTable(RowsControllerForTesting& controller)
{
    auto table = UITableView::create(CGRectMake(0, 0, 375, 600), UITableViewStyle::Grouped);
    table->registerClass(UITableViewCell::objcClass(), "Cell");
    table->setDataSource(&controller);
    table->setDelegate(&controller);
    controller.setView(table.ptr());
    return table;
}

std::string rowTexts(const UITableView& table)
{
    std::string texts;
    for (long s = 0; s < table.numberOfSections(); ++s) {
        for (long r = 0; r < table.numberOfRowsInSection(s); ++r)
            texts += table.cellForRow(s, r)->textLabel()->text() + " ";
    }
    return texts;
}

}

TEST(UITableView, LoadsEveryRowFromTheDataSourceOnFirstLayout)
{
    auto controller = makeController();
    auto table = makeTable(controller);
    EXPECT_EQ(table->numberOfSections(), 0) << "nothing is asked before the table is laid out";
    table->layoutIfNeeded();
    EXPECT_EQ(rowTexts(table), "0:0 0:1 1:0 1:1 1:2 2:0 ");
    EXPECT_EQ(table->headerTitle(1), "Second");
    EXPECT_EQ(table->headerTitle(0), std::nullopt);
    EXPECT_EQ(table->headerAlignment(1), NSTextAlignment::Center);
    EXPECT_EQ(table->footerAlignment(1), NSTextAlignment::Natural) << "the delegate does not answer for footers";
    EXPECT_EQ(table->rowHeight(1, 2), 44);
    EXPECT_EQ(table->cellForRow(3, 0), nullptr);
    EXPECT_EQ(table->cellForRow(0, 2), nullptr);
}

TEST(UITableView, ReloadingRowsRebuildsOnlyThoseRowsAndReusesTheirCells)
{
    auto controller = makeController();
    auto table = makeTable(controller);
    table->reloadData();
    RefPtr<UITableViewCell> before = table->cellForRow(1, 1);
    table->clearEventLogForTesting();
    table->reloadRowsAtIndexPaths({ NSIndexPath::indexPathForRow(1, 1), NSIndexPath::indexPathForRow(0, 2) }, UITableViewRowAnimation::Automatic);
    EXPECT_EQ(table->eventLogForTesting(), "reloadRows(1:1 2:0) cell(1:1) cell(2:0)");
    EXPECT_NE(table->cellForRow(1, 1), before.get()) << "a reloaded row gets a cell of its own";
    EXPECT_EQ(table->cellForRow(2, 0), before.get()) << "the set-aside cell served the next row";
    EXPECT_EQ(rowTexts(table), "0:0 0:1 1:0 1:1 1:2 2:0 ");
}

TEST(UITableView, ReloadingASectionAsksForItsRowCountAgain)
{
    auto controller = makeController();
    auto table = makeTable(controller);
    table->reloadData();
    controller->m_firstSectionRows = 4;
    table->clearEventLogForTesting();
    table->reloadSections({ 0 }, UITableViewRowAnimation::Automatic);
    EXPECT_EQ(table->eventLogForTesting(), "reloadSections(0) cell(0:0) cell(0:1) cell(0:2) cell(0:3)");
    EXPECT_EQ(rowTexts(table), "0:0 0:1 0:2 0:3 1:0 1:1 1:2 2:0 ");
}

TEST(UITableView, ATapHighlightsSelectsAndTellsTheDelegateUnlessRefused)
{
    auto controller = makeController();
    auto table = makeTable(controller);
    table->reloadData();
    table->clearEventLogForTesting();
    EXPECT_TRUE(table->tapRowByUser(1, 2));
    EXPECT_EQ(table->eventLogForTesting(), "highlight(1:2) select(1:2) deselect(1:2 animated)");
    EXPECT_EQ(controller->m_log, "didSelect(1:2) ");
    EXPECT_FALSE(table->indexPathForSelectedRow());

    controller->m_isHighlightRefused = true;
    table->clearEventLogForTesting();
    EXPECT_TRUE(table->tapRowByUser(0, 0));
    EXPECT_EQ(table->eventLogForTesting(), "") << "a refused highlight selects nothing";

    table->cellForRow(0, 1)->setUserInteractionEnabled(false);
    EXPECT_FALSE(table->tapRowByUser(0, 1));
    EXPECT_FALSE(table->tapRowByUser(7, 0));
    EXPECT_EQ(controller->m_log, "didSelect(1:2) ");
}

TEST(UIControl, AUserToggleSendsTheValueChangedActionOnlyOnAChange)
{
    auto controller = makeController();
    auto toggle = UISwitch::create(CGRectMake(0, 0, 0, 0));
    toggle->addTarget(controller.ptr(), sel_registerName("toggled:"), UIControlEventValueChanged);
    toggle->toggleByUser(true);
    toggle->toggleByUser(true);
    toggle->setOn(false); // by code: no action, as in UIKit
    toggle->toggleByUser(true);
    toggle->toggleByUser(false);
    EXPECT_EQ(controller->m_log, "toggled(on) toggled(on) toggled(off) ");

    toggle->removeTarget(controller.ptr(), nullptr, UIControlEventValueChanged);
    toggle->toggleByUser(true);
    EXPECT_EQ(controller->m_log, "toggled(on) toggled(on) toggled(off) ");

    auto segments = UISegmentedControl::create({ "A", "B", "C" });
    segments->addTarget(controller.ptr(), sel_registerName("toggled:"), UIControlEventTouchUpInside);
    EXPECT_TRUE(segments->selectByUser(2));
    EXPECT_EQ(segments->selectedSegmentIndex(), 2);
    EXPECT_FALSE(segments->selectByUser(3));
    EXPECT_EQ(segments->selectedSegmentIndex(), 2);
    EXPECT_EQ(controller->m_log, "toggled(on) toggled(on) toggled(off) ") << "only value-changed targets hear a selection";
}

TEST(UIAppearance, AProxyContainedInTheControllerClassWinsOverTheAppWideOne)
{
    UIAppearance::resetForTesting();
    auto controller = makeController();
    auto table = makeTable(controller);
    auto toggle = UISwitch::create(CGRectMake(0, 0, 0, 0));
    auto cellView = UIView::create(CGRectMake(0, 0, 0, 0));
    cellView->addSubview(toggle);
    table->addSubview(cellView);

    EXPECT_EQ(toggle->effectiveOnTintColor(), nullptr);
    auto green = UIColor::colorWithRed(0, 1, 0, 1);
    auto red = UIColor::colorWithRed(1, 0, 0, 1);
    UIAppearance::appearance(UISwitch::objcClass()).setOnTintColor(green);
    EXPECT_EQ(toggle->effectiveOnTintColor(), green.ptr());
    // Contained in a superclass of the controller's class counts for it.
    UIAppearance::appearanceWhenContainedIn(UISwitch::objcClass(), UIViewController::objcClass()).setOnTintColor(red);
    EXPECT_EQ(toggle->effectiveOnTintColor(), red.ptr());
    cellView->removeFromSuperview();
    EXPECT_EQ(toggle->effectiveOnTintColor(), green.ptr()) << "outside the controller's views only the app-wide proxy applies";
    auto own = UIColor::colorWithWhite(0.5, 1);
    toggle->setOnTintColor(own);
    EXPECT_EQ(toggle->effectiveOnTintColor(), own.ptr());
    UIAppearance::resetForTesting();
}

TEST(UIView, TintComesFromTheNearestAncestorThatHasOne)
{
    auto outer = UIView::create(CGRectMake(0, 0, 0, 0));
    auto middle = UIView::create(CGRectMake(0, 0, 0, 0));
    auto inner = UIImageView::create(CGRectMake(0, 0, 0, 0));
    outer->addSubview(middle);
    middle->addSubview(inner);
    EXPECT_EQ(inner->tintColor(), nullptr);
    auto blue = UIColor::colorWithRed(0, 0, 1, 1);
    outer->setTintColor(blue);
    EXPECT_EQ(inner->tintColor(), blue.ptr());
    auto red = UIColor::colorWithRed(1, 0, 0, 1);
    middle->setTintColor(red);
    EXPECT_EQ(inner->tintColor(), red.ptr());
    outer = UIView::create(CGRectMake(0, 0, 0, 0)); // the old outer view goes away
    middle->removeFromSuperview();
    EXPECT_EQ(inner->tintColor(), red.ptr());
}

TEST(UIAlertView, TheDelegateHearsTheTappedButtonBeforeTheAlertGoesAway)
{
    auto controller = makeController();
    auto alert = UIAlertView::create("Title", "Message", controller.ptr(), std::string("No"), { "Yes", "Maybe" });
    alert->setTag(7);
    EXPECT_EQ(alert->cancelButtonIndex(), 0);
    EXPECT_EQ(alert->numberOfButtons(), 3);
    EXPECT_FALSE(alert->isVisible());
    alert->show();
    alert->show();
    EXPECT_EQ(UIAlertView::visibleAlerts().size(), 1u);
    alert->dismissWithClickedButtonIndex(2, true);
    EXPECT_EQ(controller->m_log, "clicked(7,2) ");
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());

    auto withoutCancel = UIAlertView::create("Title", "", nullptr, std::nullopt, { "OK" });
    EXPECT_EQ(withoutCancel->cancelButtonIndex(), -1);
    withoutCancel->show();
    withoutCancel->dismissWithClickedButtonIndex(0, false); // no delegate: nothing to tell
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
}

TEST(UINavigationController, OnlyAShownStackMakesItsControllersAppear)
{
    auto navigation = UINavigationController::create();
    auto first = makeController();
    auto table = makeTable(first);
    navigation->pushViewController(first, false);
    EXPECT_EQ(first->navigationController(), navigation.ptr());
    EXPECT_EQ(table->numberOfSections(), 0) << "not on screen yet";
    navigation->appear(false);
    EXPECT_EQ(table->numberOfSections(), 3) << "on screen, the table was laid out";

    auto second = makeController();
    navigation->pushViewController(second, true);
    EXPECT_EQ(navigation->topViewController(), second.ptr());
    EXPECT_EQ(navigation->popViewControllerAnimated(true).get(), second.ptr());
    EXPECT_EQ(second->navigationController(), nullptr);
    EXPECT_EQ(navigation->popViewControllerAnimated(true), nullptr) << "the root controller stays";
    UIViewAnimation::finishAll();
}

TEST(UINavigationController, PoppingToTheRootRemovesEveryScreenAboveItAndShowsOnlyTheRoot)
{
    auto navigation = UINavigationController::create();
    std::vector<Ref<RowsControllerForTesting>> stack { makeController(), makeController(), makeController() };
    navigation->appear(false);
    for (auto& controller : stack)
        navigation->pushViewController(controller, false);
    for (auto& controller : stack)
        controller->m_log.clear();
    UIView* middleView = stack[1]->view();

    auto popped = navigation->popToRootViewControllerAnimated(false);
    ASSERT_EQ(popped.size(), 2u);
    EXPECT_EQ(popped[0].ptr(), stack[1].ptr()) << "bottom first";
    EXPECT_EQ(popped[1].ptr(), stack[2].ptr());
    EXPECT_EQ(stack[0]->m_log, "appear ");
    EXPECT_EQ(stack[1]->m_log + stack[2]->m_log, "") << "a screen passed over does not appear on the way";
    EXPECT_EQ(stack[1]->navigationController(), nullptr);
    EXPECT_EQ(middleView->superview(), nullptr);
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_TRUE(navigation->popToRootViewControllerAnimated(false).empty()) << "already at the root";
}

TEST(UINavigationController, ContentScrolledUnderTheTranslucentBarShowsThroughItWhitened)
{
    auto navigation = UINavigationController::create();
    auto controller = makeController();
    auto table = makeTable(controller);
    navigation->pushViewController(controller, false);
    navigation->appear(false);
    EXPECT_EQ(table->frame().origin.y, 0) << "the table runs under the bars";
    EXPECT_EQ(table->contentInset().top, 64);
    EXPECT_EQ(table->contentOffset().y, -64) << "at the top, the content starts below the bars";
    table->scrollBy(-100);
    EXPECT_EQ(table->contentOffset().y, -64) << "no further up than the inset";

    auto red = UIView::create(CGRectMake(0, 0, 375, 100));
    red->setBackgroundColor(UIColor::colorWithRed(1, 0, 0, 1).ptr());
    table->addSubview(red);
    auto barPixel = [&] {
        auto image = imageOfViewHierarchy(*navigation->view(), 1);
        cairo_surface_t* surface = image->surface();
        cairo_surface_flush(surface);
        auto pixel = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface) + 42 * cairo_image_surface_get_stride(surface))[187];
        return std::array<int, 3> { static_cast<int>(pixel >> 16 & 0xff), static_cast<int>(pixel >> 8 & 0xff), static_cast<int>(pixel & 0xff) };
    };
    auto [r0, g0, b0] = barPixel();
    EXPECT_LT(std::abs(r0 - g0), 8) << "grey over the table's background";
    table->setContentOffset({ 0, 0 });
    auto [r, g, b] = barPixel();
    EXPECT_GT(r - g, 40) << "the red beneath shows through";
    EXPECT_GT(g, 120) << "whitened, not red";
}

namespace {

// Pushes and pops on a manual clock, in a window, so each frame of a slide
// can be looked at.
class UINavigationTransitionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CFRunLoop::main().useManualClock(); }
    void SetUp() override
    {
        // An animation an earlier test left (its timer on another clock) ends first.
        UIViewAnimation::finishAll();
        makeTable(m_first)->setBackgroundColor(UIColor::colorWithRed(1, 0, 0, 1).ptr());
        makeTable(m_second)->setBackgroundColor(UIColor::colorWithRed(0, 0, 1, 1).ptr());
        m_navigation->pushViewController(m_first, false);
        m_window->addSubview(*m_navigation->view());
        m_navigation->appear(false);
    }
    void TearDown() override { UIViewAnimation::finishAll(); }
    static void advance(double seconds)
    {
        CFRunLoop::main().advanceClock(std::chrono::duration_cast<Nanoseconds>(std::chrono::duration<double>(seconds)));
        CFRunLoop::main().runUntilIdle();
    }
    // The screen's colour at a point below the bar: 'r' for the first screen,
    // 'b' for the second.
    char screenAt(CGFloat x)
    {
        auto image = imageOfViewHierarchy(m_window.get(), 1);
        cairo_surface_t* surface = image->surface();
        cairo_surface_flush(surface);
        auto pixel = reinterpret_cast<const std::uint32_t*>(
            cairo_image_surface_get_data(surface) + 400 * cairo_image_surface_get_stride(surface))[static_cast<int>(x)];
        int red = pixel >> 16 & 0xff, blue = pixel & 0xff;
        return red > 200 && blue < 50 ? 'r' : blue > 200 && red < 50 ? 'b' : '?';
    }
    std::vector<UIView*> screensInStack() const
    {
        std::vector<UIView*> screens;
        for (auto& view : m_navigation->view()->subviews()) {
            if (view.ptr() == m_first->view() || view.ptr() == m_second->view())
                screens.push_back(view.ptr());
        }
        return screens;
    }

    Ref<UIWindow> m_window { UIWindow::create(CGRectMake(0, 0, 375, 667)) };
    Ref<UINavigationController> m_navigation { UINavigationController::create() };
    Ref<RowsControllerForTesting> m_first { makeController() };
    Ref<RowsControllerForTesting> m_second { makeController() };
};

}

TEST_F(UINavigationTransitionTest, APushSlidesTheNewScreenInOverTheOldOneAndNoTouchStartsUntilItEnds)
{
    m_navigation->pushViewController(m_second, true);
    EXPECT_EQ(m_navigation->topViewController(), m_second.ptr()) << "the stack changes at once; only the drawing slides";
    EXPECT_EQ(screensInStack(), (std::vector<UIView*> { m_first->view(), m_second->view() })) << "the new screen over the old";
    EXPECT_EQ(m_second->view()->frame().origin.x, 0) << "frames are where the screens end";
    EXPECT_EQ(screenAt(20), 'r');
    EXPECT_EQ(screenAt(370), 'r') << "the new screen starts beyond the right edge";
    EXPECT_FALSE(m_window->tap({ 100, 400 })) << "a touch during the slide starts nothing";

    advance(0.175);
    EXPECT_NEAR(m_second->view()->transform().tx, 375 * (1 - UIViewAnimation::easeInOut(0.5)), 0.5);
    EXPECT_NEAR(m_first->view()->transform().tx, -375 * 0.3 * UIViewAnimation::easeInOut(0.5), 0.5) << "the old screen drifts left";
    EXPECT_EQ(screenAt(150), 'r');
    EXPECT_EQ(screenAt(220), 'b');

    advance(0.2);
    EXPECT_EQ(screensInStack(), (std::vector<UIView*> { m_second->view() })) << "the old screen leaves at the end";
    EXPECT_EQ(m_second->view()->transform(), CGAffineTransformIdentity);
    EXPECT_EQ(screenAt(20), 'b');
    EXPECT_TRUE(m_window->tap({ 100, 400 })) << "touches start again";
}

TEST_F(UINavigationTransitionTest, APopSlidesTheTopScreenOffToTheRightUncoveringTheOneBelow)
{
    m_navigation->pushViewController(m_second, false);
    m_navigation->popViewControllerAnimated(true);
    EXPECT_EQ(m_navigation->topViewController(), m_first.ptr());
    EXPECT_EQ(screensInStack(), (std::vector<UIView*> { m_first->view(), m_second->view() })) << "the leaving screen on top";
    EXPECT_NEAR(m_first->view()->transform().tx, -375 * 0.3, 0.5) << "the one below starts where a push left it";
    EXPECT_EQ(screenAt(20), 'b');

    advance(0.175);
    EXPECT_EQ(screenAt(150), 'r');
    EXPECT_EQ(screenAt(220), 'b');

    advance(0.2);
    EXPECT_EQ(screensInStack(), (std::vector<UIView*> { m_first->view() }));
    EXPECT_EQ(m_first->view()->transform(), CGAffineTransformIdentity);
}

TEST_F(UINavigationTransitionTest, APushOrPopDuringASlideStartsFromWhereTheSlideEnds)
{
    m_navigation->pushViewController(m_second, true);
    m_navigation->popToRootViewControllerAnimated(false);
    EXPECT_EQ(screensInStack(), (std::vector<UIView*> { m_first->view() })) << "nothing is left half way";
    EXPECT_EQ(m_first->view()->transform(), CGAffineTransformIdentity);
    EXPECT_TRUE(m_window->tap({ 100, 400 }));
    EXPECT_EQ(screenAt(20), 'r');
}

TEST(UITableView, CellsGoAwayWithTheirTable)
{
    RefPtr<UITableViewCell> kept;
    {
        auto controller = makeController();
        auto table = makeTable(controller);
        table->reloadData();
        table->reloadRowsAtIndexPaths({ NSIndexPath::indexPathForRow(0, 0) }, UITableViewRowAnimation::Automatic);
        kept = table->cellForRow(1, 0);
    }
    EXPECT_EQ(kept->retainCountForTesting(), 1u) << "nothing but this test holds the cell";
    EXPECT_EQ(kept->superview(), nullptr);
}

TEST(UITableView, AFreedDelegateIsNeverMessaged)
{
    auto table = UITableView::create(CGRectMake(0, 0, 375, 600), UITableViewStyle::Grouped);
    table->registerClass(UITableViewCell::objcClass(), "Cell");
    {
        auto controller = makeController();
        table->setDataSource(controller.ptr());
        table->setDelegate(controller.ptr());
        table->layoutIfNeeded();
        ASSERT_EQ(table->numberOfSections(), 3);
    }
    EXPECT_EQ(table->delegate(), nullptr);
    EXPECT_EQ(table->dataSource(), nullptr);
    EXPECT_TRUE(table->tapRowByUser(1, 0)) << "the row still takes the touch; no one hears of it";
    table->reloadData();
    EXPECT_EQ(table->numberOfSections(), 0) << "no data source, no rows";
}
