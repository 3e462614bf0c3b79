#include "UIWindow.h"

#include <algorithm>
#include <cmath>

#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>

#include "UIApplication.h"
#include "UIScrollView.h"
#include "UIViewController.h"

namespace {

UIWindow*& keyWindowSlot()
{
    static UIWindow* window = nullptr;
    return window;
}

// A finger that travels further than this is dragging, not tapping.
constexpr CGFloat tapSlop = 10;

}

Class UIWindow::objcClass()
{
    static Class cls = ClassBuilder<UIWindow>("UIWindow", UIView::objcClass()).registerClass();
    return cls;
}

Class UITouch::objcClass()
{
    static Class cls = ClassBuilder<UITouch>("UITouch", NSObject::objcClass()).registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredUIWindow = UIWindow::objcClass();
[[maybe_unused]] static Class registeredUITouch = UITouch::objcClass();

UITouch::UITouch(UIWindow& window, CGPoint location)
    : m_window(window)
    , m_location(location)
    , m_startLocation(location)
{
}

CGPoint UITouch::locationInView(const UIView* view) const
{
    return view ? view->convertPointFromView(m_location, m_window.ptr()) : m_location;
}

Ref<UIWindow> UIWindow::create(CGRect frame)
{
    auto window = adoptRef(*new UIWindow);
    objc_msgSend<id(CGRect)>(window.ptr(), initWithFrameSelector(), frame);
    return window;
}

UIWindow::~UIWindow()
{
    if (keyWindowSlot() == this)
        keyWindowSlot() = nullptr;
}

void UIWindow::setRootViewController(RefPtr<UIViewController> controller)
{
    if (m_rootViewController && m_rootViewController->isViewLoaded())
        m_rootViewController->view()->removeFromSuperview();
    m_rootViewController = std::move(controller);
    if (!m_rootViewController)
        return;
    Ref<UIView> view = *m_rootViewController->view();
    view->setFrame(bounds());
    view->removeFromSuperview();
    // Beneath whatever else the window shows.
    insertSubview(view, 0);
    view->setNeedsLayout();
    view->layoutIfNeeded();
}

void UIWindow::setStatusBar(RefPtr<UIStatusBar> bar)
{
    if (m_statusBar)
        m_statusBar->removeFromSuperview();
    m_statusBar = std::move(bar);
    if (m_statusBar)
        addSubview(*m_statusBar);
}

void UIWindow::addSubviewUnderStatusBar(Ref<UIView> view)
{
    view->removeFromSuperview();
    auto& views = subviews();
    auto found = std::find_if(views.begin(), views.end(), [&](auto& subview) { return subview.ptr() == m_statusBar.get(); });
    insertSubview(std::move(view), static_cast<std::size_t>(found - views.begin()));
}

void UIWindow::makeKeyAndVisible()
{
    keyWindowSlot() = this;
    setHidden(false);
}

UIWindow* UIWindow::keyWindow()
{
    return keyWindowSlot();
}

void UIWindow::touchDown(CGPoint location)
{
    Ref<UIWindow> protectedThis(*this);
    // Frames as they will be drawn, so a touch hits what the picture shows.
    layoutSubtreeIfNeeded();
    if (RefPtr<UITouch> old = std::move(m_touch); old && old->m_view) {
        old->m_phase = UITouchPhase::Cancelled;
        old->m_view->touchesCancelled(*old);
    }
    // During a transition no touch starts; its moves and its end go nowhere.
    if (UIApplication::sharedApplication().isIgnoringInteractionEvents())
        return;
    auto touch = adoptRef(*new UITouch(*this, location));
    touch->m_view = hitTest(location);
    m_touch = touch.ptr();
    if (touch->m_view)
        touch->m_view->touchesBegan(touch);
}

void UIWindow::touchMoved(CGPoint location, UITouch::Seconds heldFor)
{
    RefPtr<UITouch> touch = m_touch;
    if (!touch)
        return;
    touch->m_location = location;
    touch->m_holdDuration = heldFor;
    touch->m_phase = UITouchPhase::Moved;
    if (std::hypot(location.x - touch->m_startLocation.x, location.y - touch->m_startLocation.y) > tapSlop)
        touch->m_hasMovedFar = true;
    if (touch->m_view)
        touch->m_view->touchesMoved(*touch);
}

void UIWindow::touchUp(CGPoint location, UITouch::Seconds heldFor)
{
    RefPtr<UITouch> touch = std::move(m_touch);
    if (!touch)
        return;
    Ref<UIWindow> protectedThis(*this);
    touch->m_location = location;
    touch->m_holdDuration = heldFor;
    touch->m_phase = UITouchPhase::Ended;
    if (std::hypot(location.x - touch->m_startLocation.x, location.y - touch->m_startLocation.y) > tapSlop)
        touch->m_hasMovedFar = true;
    if (touch->m_view)
        touch->m_view->touchesEnded(*touch);
}

bool UIWindow::tap(CGPoint location)
{
    touchDown(location);
    bool isHit = m_touch && m_touch->view();
    touchUp(location, UITouch::Seconds(0.1));
    return isHit;
}

bool UIWindow::scroll(CGPoint location, CGFloat dy)
{
    if (UIApplication::sharedApplication().isIgnoringInteractionEvents())
        return false;
    for (UIView* view = hitTest(location); view; view = view->superview()) {
        if (auto* scrollView = objc_dynamicCast<UIScrollView>(view)) {
            scrollView->scrollBy(dy);
            return true;
        }
    }
    return false;
}
