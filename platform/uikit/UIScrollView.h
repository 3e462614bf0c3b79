#pragma once

// A view that shows part of a larger content: the part shown starts at the
// content offset, which is the bounds' origin, so subviews placed in content
// coordinates move up as it grows. The content inset is room around the
// content, as under a translucent bar: at the top the offset is -inset.top.

#include "UIView.h"

class UIScrollView : public UIView {
public:
    UIScrollView();
    static Class objcClass();

    CGSize contentSize() const { return m_contentSize; }
    void setContentSize(CGSize size) { m_contentSize = size; }
    CGPoint contentOffset() const { return bounds().origin; }
    void setContentOffset(CGPoint);
    UIEdgeInsets contentInset() const { return m_contentInset; }
    void setContentInset(UIEdgeInsets insets) { m_contentInset = insets; }
    // The smallest offset, the content's top at the inset: (-left, -top).
    CGPoint minimumContentOffset() const { return { -m_contentInset.left, -m_contentInset.top }; }
    // The largest offset: the end of the content and its bottom inset at the
    // bottom edge (the smallest when the content fits).
    CGPoint maximumContentOffset() const;

    // A drag or wheel by the distance, held within the content.
    void scrollBy(CGFloat dy);
    // Scrolls the least that shows the rectangle (in content coordinates).
    void scrollRectToVisible(CGRect);

private:
    CGSize m_contentSize;
    UIEdgeInsets m_contentInset;
};
