#include "UIScrollView.h"

#include <algorithm>

#include <objc/ClassBuilder.h>

Class UIScrollView::objcClass()
{
    static Class cls = ClassBuilder<UIScrollView>("UIScrollView", UIView::objcClass()).registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredUIScrollView = UIScrollView::objcClass();

UIScrollView::UIScrollView()
{
    setClipsToBounds(true);
}

CGPoint UIScrollView::maximumContentOffset() const
{
    CGSize visible = bounds().size;
    return { std::max(0.0, m_contentSize.width - visible.width), std::max(0.0, m_contentSize.height - visible.height) };
}

void UIScrollView::setContentOffset(CGPoint offset)
{
    setBounds({ offset, bounds().size });
}

void UIScrollView::scrollBy(CGFloat dy)
{
    CGPoint offset = contentOffset();
    offset.y = std::clamp(offset.y + dy, 0.0, maximumContentOffset().y);
    setContentOffset(offset);
}

void UIScrollView::scrollRectToVisible(CGRect rect)
{
    CGPoint offset = contentOffset();
    CGFloat visibleHeight = bounds().size.height;
    if (rect.origin.y < offset.y)
        offset.y = rect.origin.y;
    else if (rect.origin.y + rect.size.height > offset.y + visibleHeight)
        offset.y = rect.origin.y + rect.size.height - visibleHeight;
    offset.y = std::clamp(offset.y, 0.0, maximumContentOffset().y);
    setContentOffset(offset);
}
