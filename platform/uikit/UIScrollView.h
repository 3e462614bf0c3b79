#pragma once

// A view that shows part of a larger content: the part shown starts at the
// content offset, which is the bounds' origin, so subviews placed in content
// coordinates move up as it grows.

#include "UIView.h"

class UIScrollView : public UIView {
public:
    UIScrollView();
    static Class objcClass();

    CGSize contentSize() const { return m_contentSize; }
    void setContentSize(CGSize size) { m_contentSize = size; }
    CGPoint contentOffset() const { return bounds().origin; }
    void setContentOffset(CGPoint);
    // The largest offset: the end of the content at the bottom edge (none
    // when the content fits).
    CGPoint maximumContentOffset() const;

    // A drag or wheel by the distance, held within the content.
    void scrollBy(CGFloat dy);
    // Scrolls the least that shows the rectangle (in content coordinates).
    void scrollRectToVisible(CGRect);

private:
    CGSize m_contentSize;
};
