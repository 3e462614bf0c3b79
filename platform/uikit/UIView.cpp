#include "UIView.h"

#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>

Class CALayer::objcClass()
{
    static Class cls = ClassBuilder<CALayer>("CALayer", NSObject::objcClass()).registerClass();
    return cls;
}

Class UIView::objcClass()
{
    static Class cls = ClassBuilder<UIView>("UIView", NSObject::objcClass()).method("initWithFrame:", &UIView::initWithFrame).registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredCALayer = CALayer::objcClass();
[[maybe_unused]] static Class registeredUIView = UIView::objcClass();

UIView::UIView()
    : m_layer(CALayer::create())
{
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
    m_subviews.push_back(std::move(view));
}
