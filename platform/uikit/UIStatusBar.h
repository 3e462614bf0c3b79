#pragma once

// iOS 9's status bar, 20 points tall: five signal dots, the carrier and the
// Wi-Fi mark on the left, the time in the middle, the battery's percentage
// and its outline on the right. Black on light screens, white on dark ones.

#include "UIView.h"

enum class UIStatusBarStyle : long { Default = 0, LightContent = 1 };

class UIStatusBar : public UIView {
public:
    static constexpr CGFloat height = 20;
    static Class objcClass();
    // Across the top of a screen of that width.
    static Ref<UIStatusBar> create(CGFloat screenWidth, UIStatusBarStyle);

    UIStatusBarStyle style() const { return m_style; }
    void setStyle(UIStatusBarStyle style) { m_style = style; }
    const std::string& timeText() const { return m_timeText; }

    void drawContent(cairo_t*) override;

private:
    UIStatusBarStyle m_style { UIStatusBarStyle::Default };
    // The time Apple's pictures show.
    std::string m_timeText { "9:41 AM" };
};
