#pragma once

#include <string>

#include "UIFont.h"
#include "UIView.h"

class UILabel : public UIView {
public:
    UILabel() = default;
    static Class objcClass();
    static Ref<UILabel> create(CGRect frame);

    const std::string& text() const { return m_text; }
    void setText(std::string text) { m_text = std::move(text); }
    // None draws in the default, black.
    UIColor* textColor() const { return m_textColor.get(); }
    void setTextColor(RefPtr<UIColor> color) { m_textColor = std::move(color); }
    // None draws in the system font at 17 points.
    UIFont* font() const { return m_font.get(); }
    void setFont(RefPtr<UIFont> font) { m_font = std::move(font); }

private:
    std::string m_text;
    RefPtr<UIColor> m_textColor;
    RefPtr<UIFont> m_font;
};
