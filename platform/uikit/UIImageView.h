#pragma once

#include "UIImage.h"
#include "UIView.h"

class UIImageView : public UIView {
public:
    UIImageView() = default;
    static Class objcClass();
    static Ref<UIImageView> create(CGRect frame);

    UIImage* image() const { return m_image.get(); }
    void setImage(RefPtr<UIImage> image) { m_image = std::move(image); }
    // A template image is drawn in this colour; none draws it in the default tint.
    UIColor* tintColor() const { return m_tintColor.get(); }
    void setTintColor(RefPtr<UIColor> color) { m_tintColor = std::move(color); }

private:
    RefPtr<UIImage> m_image;
    RefPtr<UIColor> m_tintColor;
};
