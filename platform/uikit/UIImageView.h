#pragma once

#include "UIImage.h"
#include "UIView.h"

// A template image is drawn in the view's tint colour.
class UIImageView : public UIView {
public:
    UIImageView() = default;
    static Class objcClass();
    static Ref<UIImageView> create(CGRect frame);

    UIImage* image() const { return m_image.get(); }
    void setImage(RefPtr<UIImage> image) { m_image = std::move(image); }

private:
    RefPtr<UIImage> m_image;
};
