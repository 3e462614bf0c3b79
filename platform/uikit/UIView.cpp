#include "UIView.h"

#include <algorithm>

#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>

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

void UIView::addSubview(Ref<UIView> view)
{
    if (view->m_superview == this)
        return;
    view->removeFromSuperview();
    view->m_superview = this;
    m_subviews.push_back(std::move(view));
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
    static SEL selector = sel_registerName("layoutSubviews");
    objc_msgSend<void()>(this, selector);
}
