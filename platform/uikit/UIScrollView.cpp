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
    CGPoint minimum = minimumContentOffset();
    return { std::max(minimum.x, m_contentSize.width + m_contentInset.right - visible.width),
        std::max(minimum.y, m_contentSize.height + m_contentInset.bottom - visible.height) };
}

void UIScrollView::setContentOffset(CGPoint offset)
{
    setBounds({ offset, bounds().size });
}

void UIScrollView::scrollBy(CGFloat dy)
{
    CGPoint offset = contentOffset();
    offset.y = std::clamp(offset.y + dy, minimumContentOffset().y, maximumContentOffset().y);
    setContentOffset(offset);
}

void UIScrollView::scrollRectToVisible(CGRect rect)
{
    // Shown means clear of the insets (not under a bar).
    CGPoint offset = contentOffset();
    CGFloat visibleTop = offset.y + m_contentInset.top, visibleHeight = bounds().size.height - m_contentInset.top - m_contentInset.bottom;
    if (rect.origin.y < visibleTop)
        offset.y = rect.origin.y - m_contentInset.top;
    else if (rect.origin.y + rect.size.height > visibleTop + visibleHeight)
        offset.y = rect.origin.y + rect.size.height - visibleHeight - m_contentInset.top;
    offset.y = std::clamp(offset.y, minimumContentOffset().y, maximumContentOffset().y);
    setContentOffset(offset);
}
