// Frames, bounds and hit-testing: points converted by hand through the
// hierarchy, and touches delivered to the view a finger lands on.

#include <gtest/gtest.h>

#include <objc/ClassBuilder.h>
#include <uikit/UIControl.h>
#include <uikit/UILabel.h>
#include <uikit/UIScrollView.h>
#include <uikit/UIWindow.h>

namespace {

// Logs its actions, so a test compares what a finger did.
class ActionLogForTesting : public NSObject {
public:
    static Class objcClass();
    std::string m_log;
};

void tapped(id self, SEL, id sender)
{
    static_cast<ActionLogForTesting*>(self)->m_log += "tap(" + std::to_string(static_cast<UIView*>(sender)->tag()) + ") ";
}

void changed(id self, SEL, id sender)
{
    auto* control = static_cast<UIControl*>(sender);
    std::string state;
    if (auto* toggle = objc_dynamicCast<UISwitch>(control))
        state = toggle->isOn() ? "on" : "off";
    if (auto* segments = objc_dynamicCast<UISegmentedControl>(control))
        state = std::to_string(segments->selectedSegmentIndex());
    static_cast<ActionLogForTesting*>(self)->m_log += "changed(" + state + ") ";
}

Class ActionLogForTesting::objcClass()
{
    static Class cls = ClassBuilder<ActionLogForTesting>("ActionLogForTesting", NSObject::objcClass())
                           .method("tapped:", &tapped)
                           .method("changed:", &changed)
                           .registerClass();
    return cls;
}

Ref<ActionLogForTesting> makeLog()
{
    ActionLogForTesting::objcClass();
    return adoptRef(*new ActionLogForTesting);
}

Ref<UIControl> button(CGRect frame, long tag, ActionLogForTesting& log)
{
    auto control = adoptRef(*new UIControl);
    control->setFrame(frame);
    control->setTag(tag);
    control->addTarget(&log, sel_registerName("tapped:"), UIControlEventTouchUpInside);
    return control;
}

}

TEST(UIViewGeometry, PointsConvertThroughFramesAndScrolledBounds)
{
    auto window = UIWindow::create(CGRectMake(0, 0, 375, 667));
    auto container = UIView::create(CGRectMake(10, 20, 300, 500));
    auto scroller = adoptRef(*new UIScrollView);
    scroller->setFrame(CGRectMake(0, 64, 300, 400));
    scroller->setContentSize({ 300, 1000 });
    auto child = UIView::create(CGRectMake(7, 150, 100, 44));
    window->addSubview(container);
    container->addSubview(scroller);
    scroller->addSubview(child);

    EXPECT_EQ(child->convertPointToView({ 5, 5 }, nullptr), (CGPoint { 10 + 7 + 5, 20 + 64 + 150 + 5 }));
    scroller->setContentOffset({ 0, 100 });
    // Scrolling by 100 moves the content up by 100 on the screen.
    EXPECT_EQ(child->convertPointToView({ 5, 5 }, nullptr), (CGPoint { 22, 139 }));
    EXPECT_EQ(child->convertPointToView({ 5, 5 }, container.ptr()), (CGPoint { 12, 119 }));
    EXPECT_EQ(child->convertPointFromView({ 22, 139 }, window.ptr()), (CGPoint { 5, 5 }));
    EXPECT_EQ(window->hitTest({ 22, 139 }), child.ptr()) << "hit-testing walks the same frames";
    EXPECT_EQ(window->hitTest({ 22, 239 + 100 }), scroller.ptr());
}

TEST(UIViewGeometry, ScrollingStaysWithinTheContent)
{
    auto scroller = adoptRef(*new UIScrollView);
    scroller->setFrame(CGRectMake(0, 64, 375, 603));
    scroller->setContentSize({ 375, 950 });
    scroller->scrollBy(200);
    EXPECT_EQ(scroller->contentOffset().y, 200);
    scroller->scrollBy(10000);
    EXPECT_EQ(scroller->contentOffset().y, 950 - 603) << "the end of the content stops at the bottom edge";
    scroller->scrollBy(-10000);
    EXPECT_EQ(scroller->contentOffset().y, 0);
    scroller->scrollRectToVisible(CGRectMake(0, 900, 375, 44));
    EXPECT_EQ(scroller->contentOffset().y, 944 - 603) << "the least scroll that shows the rectangle's bottom";
    scroller->setContentSize({ 375, 300 });
    scroller->setContentOffset({});
    scroller->scrollBy(50);
    EXPECT_EQ(scroller->contentOffset().y, 0) << "content that fits does not scroll";
}

TEST(UIViewGeometry, HitTestingPassesOverHiddenTransparentAndNonInteractiveViews)
{
    auto logObject = makeLog();
    auto& log = logObject.get();
    auto window = UIWindow::create(CGRectMake(0, 0, 375, 667));
    auto back = button(CGRectMake(0, 0, 200, 200), 1, log);
    auto front = button(CGRectMake(50, 50, 100, 100), 2, log);
    window->addSubview(back);
    window->addSubview(front);

    window->tap({ 100, 100 });
    front->setHidden(true);
    window->tap({ 100, 100 });
    front->setHidden(false);
    front->setAlpha(0);
    window->tap({ 100, 100 });
    front->setAlpha(1);
    front->setUserInteractionEnabled(false);
    window->tap({ 100, 100 });
    EXPECT_EQ(log.m_log, "tap(2) tap(1) tap(1) tap(1) ");

    // A subview outside its superview's bounds is not reached there.
    auto outside = button(CGRectMake(250, 0, 50, 50), 3, log);
    back->addSubview(outside);
    log.m_log.clear();
    window->tap({ 260, 10 });
    EXPECT_EQ(log.m_log, "");
    // A label takes no touches: they fall to the control under it.
    auto label = UILabel::create(CGRectMake(0, 0, 200, 200));
    back->addSubview(label);
    window->tap({ 10, 10 });
    EXPECT_EQ(log.m_log, "tap(1) ");
}

TEST(UIViewGeometry, ATouchBelongsToTheViewItWentDownOnAndADragIsNoTap)
{
    auto logObject = makeLog();
    auto& log = logObject.get();
    auto window = UIWindow::create(CGRectMake(0, 0, 375, 667));
    auto first = button(CGRectMake(0, 0, 100, 100), 1, log);
    auto second = button(CGRectMake(100, 0, 100, 100), 2, log);
    window->addSubview(first);
    window->addSubview(second);

    window->touchDown({ 50, 50 });
    window->touchMoved({ 52, 51 }, UITouch::Seconds(0.05));
    window->touchUp({ 52, 51 }, UITouch::Seconds(0.1));
    window->touchDown({ 50, 50 });
    window->touchUp({ 150, 50 }, UITouch::Seconds(0.1)); // lifted over the other button
    window->touchDown({ 150, 50 });
    window->touchMoved({ 150, 80 }, UITouch::Seconds(0.1));
    window->touchUp({ 150, 52 }, UITouch::Seconds(0.2)); // dragged away and back
    EXPECT_EQ(log.m_log, "tap(1) ");
}

TEST(UIViewGeometry, ControlsActOnTheTouchAsTheirKindDoes)
{
    auto logObject = makeLog();
    auto& log = logObject.get();
    auto window = UIWindow::create(CGRectMake(0, 0, 375, 667));
    auto toggle = UISwitch::create(CGRectMake(10, 10, 0, 0));
    toggle->addTarget(&log, sel_registerName("changed:"), UIControlEventValueChanged);
    auto segments = UISegmentedControl::create({ "A", "B", "C" });
    segments->setFrame(CGRectMake(10, 100, 300, 29));
    segments->addTarget(&log, sel_registerName("changed:"), UIControlEventValueChanged);
    window->addSubview(toggle);
    window->addSubview(segments);

    window->tap({ 30, 20 });
    window->tap({ 30, 20 });
    window->tap({ 10 + 250, 110 }); // the third hundred points is segment 2
    window->tap({ 10 + 150, 110 });
    window->tap({ 10 + 150, 110 }); // the selected one again: no change
    toggle->setEnabled(false);
    window->tap({ 30, 20 });
    EXPECT_EQ(log.m_log, "changed(on) changed(off) changed(2) changed(1) ");
}
