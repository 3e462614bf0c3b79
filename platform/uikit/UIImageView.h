#pragma once

#include "UIImage.h"
#include "UIView.h"

// A template image is drawn in the view's tint colour. Takes no touches of
// its own, as in UIKit.
class UIImageView : public UIView {
public:
    UIImageView();
    static Class objcClass();
    static Ref<UIImageView> create(CGRect frame);

    UIImage* image() const { return m_image.get(); }
    // A new image, or none, marks the superview for layout, which places it.
    void setImage(RefPtr<UIImage>);

    void drawContent(cairo_t*) override;

private:
    RefPtr<UIImage> m_image;
};
