#include "UIView.h"

#include <algorithm>

#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>

#include "UIWindow.h"

namespace {

void layoutSubviews(id, SEL) { }

id tintColorGetter(id self, SEL)
{
    return static_cast<UIView*>(self)->tintColor();
}

}

Class CALayer::objcClass()
{
    static Class cls = ClassBuilder<CALayer>("CALayer", NSObject::objcClass()).registerClass();
    return cls;
}

Class UIView::objcClass()
{
    static Class cls = ClassBuilder<UIView>("UIView", NSObject::objcClass())
                           .method("initWithFrame:", &UIView::initWithFrame)
                           .method("layoutSubviews", &layoutSubviews)
                           .method("tintColor", &tintColorGetter)
                           .method("hitTest:withEvent:", &UIView::hitTestImplementation)
                           .method("pointInside:withEvent:", &UIView::pointInsideImplementation)
                           .registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredCALayer = CALayer::objcClass();
[[maybe_unused]] static Class registeredUIView = UIView::objcClass();

UIView::UIView()
    : m_layer(CALayer::create())
{
}

UIView::~UIView()
{
    // Subviews that outlive this view must not point back at it.
    for (auto& subview : m_subviews)
        subview->m_superview = nullptr;
}

id UIView::initWithFrame(id self, SEL, CGRect frame)
{
    static_cast<UIView*>(self)->m_frame = frame;
    return self;
}

Ref<UIView> UIView::create(CGRect frame)
{
    auto view = adoptRef(*new UIView);
    objc_msgSend<id(CGRect)>(view.ptr(), initWithFrameSelector(), frame);
    return view;
}

void UIView::setFrame(CGRect frame)
{
    if (frame.size != m_frame.size)
        setNeedsLayout();
    m_frame = frame;
}

void UIView::setBounds(CGRect bounds)
{
    if (bounds.size != m_frame.size)
        setNeedsLayout();
    m_boundsOrigin = bounds.origin;
    m_frame.origin.x += (m_frame.size.width - bounds.size.width) / 2;
    m_frame.origin.y += (m_frame.size.height - bounds.size.height) / 2;
    m_frame.size = bounds.size;
}

void UIView::addSubview(Ref<UIView> view)
{
    view->removeFromSuperview();
    view->m_superview = this;
    m_subviews.push_back(std::move(view));
}

void UIView::insertSubview(Ref<UIView> view, std::size_t index)
{
    view->removeFromSuperview();
    view->m_superview = this;
    m_subviews.insert(m_subviews.begin() + static_cast<std::ptrdiff_t>(std::min(index, m_subviews.size())), std::move(view));
}

void UIView::removeFromSuperview()
{
    UIView* parent = m_superview;
    if (!parent)
        return;
    m_superview = nullptr;
    Ref<UIView> protectedThis(*this);
    auto& siblings = parent->m_subviews;
    siblings.erase(std::remove_if(siblings.begin(), siblings.end(), [&](auto& view) { return view.ptr() == this; }), siblings.end());
}

UIColor* UIView::tintColor() const
{
    for (const UIView* view = this; view; view = view->m_superview) {
        if (view->m_tintColor)
            return view->m_tintColor.get();
    }
    return nullptr;
}

void UIView::layoutIfNeeded()
{
    if (!m_needsLayout)
        return;
    // Cleared first: what -layoutSubviews changes of the view's own content
    // (a cell setting its image) is laid out in this pass.
    m_needsLayout = false;
    static SEL selector = sel_registerName("layoutSubviews");
    objc_msgSend<void()>(this, selector);
}

void UIView::layoutSubtreeIfNeeded()
{
    Ref<UIView> protectedThis(*this);
    layoutIfNeeded();
    auto subviews = m_subviews;
    for (auto& subview : subviews)
        subview->layoutSubtreeIfNeeded();
}

bool UIView::isDescendantOfView(const UIView* ancestor) const
{
    for (const UIView* view = this; view; view = view->m_superview) {
        if (view == ancestor)
            return true;
    }
    return false;
}

UIWindow* UIView::window() const
{
    const UIView* top = this;
    while (top->m_superview)
        top = top->m_superview;
    return objc_dynamicCast<UIWindow>(const_cast<UIView*>(top));
}

CGPoint UIView::convertPointToView(CGPoint point, const UIView* target) const
{
    // Up to the top of the hierarchy, then down to the target.
    for (const UIView* view = this; view; view = view->m_superview) {
        if (view == target)
            return point;
        point.x += view->m_frame.origin.x - view->m_boundsOrigin.x;
        point.y += view->m_frame.origin.y - view->m_boundsOrigin.y;
    }
    return target ? target->convertPointFromView(point, nullptr) : point;
}

CGPoint UIView::convertPointFromView(CGPoint point, const UIView* source) const
{
    if (source)
        point = source->convertPointToView(point, nullptr);
    // What this view's own conversion to the top adds, taken away.
    CGPoint origin = convertPointToView({}, nullptr);
    return { point.x - origin.x, point.y - origin.y };
}

CGRect UIView::convertRectToView(CGRect rect, const UIView* target) const
{
    return { convertPointToView(rect.origin, target), rect.size };
}

UIView* UIView::hitTest(CGPoint point)
{
    static SEL selector = sel_registerName("hitTest:withEvent:");
    return objc_msgSend<UIView*(CGPoint, id)>(this, selector, point, nullptr);
}

bool UIView::pointInside(CGPoint point)
{
    static SEL selector = sel_registerName("pointInside:withEvent:");
    return objc_msgSend<bool(CGPoint, id)>(this, selector, point, nullptr);
}

UIView* UIView::hitTestImplementation(id self, SEL, CGPoint point, id)
{
    auto* view = static_cast<UIView*>(self);
    if (view->m_isHidden || !view->m_isUserInteractionEnabled || view->m_alpha < 0.01 || !view->pointInside(point))
        return nullptr;
    // Front to back: the last subview is drawn last, so it is touched first.
    auto subviews = view->m_subviews;
    for (auto subview = subviews.rbegin(); subview != subviews.rend(); ++subview) {
        UIView& child = subview->get();
        CGPoint inChild { point.x - child.m_frame.origin.x + child.m_boundsOrigin.x, point.y - child.m_frame.origin.y + child.m_boundsOrigin.y };
        if (auto* hit = child.hitTest(inChild))
            return hit;
    }
    return view;
}

bool UIView::pointInsideImplementation(id self, SEL, CGPoint point, id)
{
    CGRect bounds = static_cast<UIView*>(self)->bounds();
    return point.x >= bounds.origin.x && point.y >= bounds.origin.y && point.x < bounds.origin.x + bounds.size.width
        && point.y < bounds.origin.y + bounds.size.height;
}

void UIView::touchesBegan(UITouch& touch)
{
    if (m_superview)
        m_superview->touchesBegan(touch);
}

void UIView::touchesMoved(UITouch& touch)
{
    if (m_superview)
        m_superview->touchesMoved(touch);
}

void UIView::touchesEnded(UITouch& touch)
{
    if (m_superview)
        m_superview->touchesEnded(touch);
}

void UIView::touchesCancelled(UITouch& touch)
{
    if (m_superview)
        m_superview->touchesCancelled(touch);
}
