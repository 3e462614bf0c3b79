#pragma once

#include <string>

#include "NSStringDrawing.h"
#include "UIFont.h"
#include "UIView.h"

// A label draws its text and takes no touches of its own, as in UIKit.
class UILabel : public UIView {
public:
    UILabel();
    static Class objcClass();
    static Ref<UILabel> create(CGRect frame);

    const std::string& text() const { return m_text; }
    // New text marks the superview for layout, which sizes it.
    void setText(std::string);
    // None draws in the default, black.
    UIColor* textColor() const { return m_textColor.get(); }
    void setTextColor(RefPtr<UIColor> color) { m_textColor = std::move(color); }
    // None draws in the system font at 17 points.
    UIFont* font() const { return m_font.get(); }
    void setFont(RefPtr<UIFont> font) { m_font = std::move(font); }
    NSTextAlignment textAlignment() const { return m_textAlignment; }
    void setTextAlignment(NSTextAlignment alignment) { m_textAlignment = alignment; }
    // 1: one line, cut with an ellipsis; 0: as many lines as the text needs.
    long numberOfLines() const { return m_numberOfLines; }
    void setNumberOfLines(long lines) { m_numberOfLines = lines; }

    // The height the text needs at a width (a single line's for one line).
    CGFloat heightForWidth(CGFloat width) const;
    void drawContent(cairo_t*) override;

private:
    std::string m_text;
    RefPtr<UIColor> m_textColor;
    RefPtr<UIFont> m_font;
    NSTextAlignment m_textAlignment { NSTextAlignment::Natural };
    long m_numberOfLines { 1 };
};
