#pragma once

// Alert views: shown over the app until a button is tapped, which the
// delegate hears of through "alertView:clickedButtonAtIndex:". Shown in the
// key window, over a dimmed screen, as iOS 9 draws them: the title, the
// message, and the buttons under a hairline (two side by side, more stacked).

#include <optional>
#include <string>
#include <vector>

#include <objc/WeakReference.h>

#include "UIView.h"

class UIAlertView : public UIView {
public:
    UIAlertView() = default;
    static Class objcClass();

    // -initWithTitle:message:delegate:cancelButtonTitle:otherButtonTitles:.
    // The delegate is not retained; it is weak. The cancel button, if any, is button 0.
    static Ref<UIAlertView> create(
        std::string title, std::string message, id delegate, std::optional<std::string> cancelButtonTitle, std::vector<std::string> otherButtonTitles);

    const std::string& title() const { return m_title; }
    const std::string& message() const { return m_message; }
    id delegate() const { return m_delegate.get(); }
    long cancelButtonIndex() const { return m_hasCancelButton ? 0 : -1; }
    long numberOfButtons() const { return static_cast<long>(m_buttonTitles.size()); }
    const std::vector<std::string>& buttonTitles() const { return m_buttonTitles; }

    void show();
    bool isVisible() const;
    // The delegate hears of the tap, then the alert goes away.
    void dismissWithClickedButtonIndex(long buttonIndex, bool animated);

    // The alerts on screen, oldest first.
    static std::vector<Ref<UIAlertView>> visibleAlerts();

    // The button's view, once the alert is shown in a window.
    UIView* buttonView(long buttonIndex) const;
    void drawContent(cairo_t*) override;

private:
    void layOutInWindow(UIView& backdrop);

    std::string m_title;
    std::string m_message;
    WeakObjCPtr<> m_delegate;
    bool m_hasCancelButton { false };
    std::vector<std::string> m_buttonTitles;
    std::vector<Ref<UIView>> m_buttonViews;
    RefPtr<UIView> m_backdrop;
};
