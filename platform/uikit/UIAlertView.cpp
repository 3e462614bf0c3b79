#include "UIAlertView.h"

#include <algorithm>

#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>

#include "UIControl.h"
#include "UILabel.h"
#include "UIWindow.h"
#include "ViewDrawing.h"

namespace {

constexpr CGFloat alertWidth = 270;
constexpr CGFloat buttonHeight = 44;
constexpr CGFloat textInset = 16;

// One of an alert's buttons: its title in the tint, the cancel one bold.
class UIAlertButtonView : public UIControl {
public:
    static Class objcClass();
    static Ref<UIAlertButtonView> create(UIAlertView& alert, long index, CGRect frame)
    {
        auto view = adoptRef(*new UIAlertButtonView);
        UIView::initWithFrame(view.ptr(), initWithFrameSelector(), frame);
        view->m_alert = &alert;
        view->m_index = index;
        return view;
    }
    void drawContent(cairo_t* cr) override
    {
        auto tint = viewdrawing::components(tintColor(), viewdrawing::systemBlue);
        auto color = UIColor::colorWithRed(tint.red, tint.green, tint.blue, tint.alpha);
        bool isCancel = m_index == m_alert->cancelButtonIndex();
        auto font = isCancel ? UIFont::boldSystemFontOfSize(17) : UIFont::systemFontOfSize(17);
        CGSize size = bounds().size;
        drawTextInRect(cr, m_alert->buttonTitles()[static_cast<std::size_t>(m_index)], CGRectMake(8, 0, size.width - 16, size.height), { font.ptr() },
            color.ptr(), NSTextAlignment::Center, NSLineBreakMode::ByTruncatingTail);
    }

protected:
    void tapAt(CGPoint) override
    {
        Ref<UIAlertView> alert(*m_alert);
        alert->dismissWithClickedButtonIndex(m_index, true);
    }

private:
    // The alert holds its buttons.
    UIAlertView* m_alert { nullptr };
    long m_index { 0 };
};

Class UIAlertButtonView::objcClass()
{
    static Class cls = ClassBuilder<UIAlertButtonView>("_UIAlertControllerActionView", UIControl::objcClass()).registerClass();
    return cls;
}

[[maybe_unused]] Class registeredUIAlertButtonView = UIAlertButtonView::objcClass();

std::vector<Ref<UIAlertView>>& shownAlerts()
{
    static auto* alerts = new std::vector<Ref<UIAlertView>>;
    return *alerts;
}

}

Class UIAlertView::objcClass()
{
    static Class cls = ClassBuilder<UIAlertView>("UIAlertView", UIView::objcClass()).registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredUIAlertView = UIAlertView::objcClass();

Ref<UIAlertView> UIAlertView::create(
    std::string title, std::string message, id delegate, std::optional<std::string> cancelButtonTitle, std::vector<std::string> otherButtonTitles)
{
    auto alert = adoptRef(*new UIAlertView);
    UIView::initWithFrame(alert.ptr(), initWithFrameSelector(), CGRectMake(52.5, 260, 270, 140));
    alert->m_title = std::move(title);
    alert->m_message = std::move(message);
    alert->m_delegate = delegate;
    alert->m_hasCancelButton = cancelButtonTitle.has_value();
    if (cancelButtonTitle)
        alert->m_buttonTitles.push_back(std::move(*cancelButtonTitle));
    for (auto& other : otherButtonTitles)
        alert->m_buttonTitles.push_back(std::move(other));
    return alert;
}

void UIAlertView::show()
{
    if (isVisible())
        return;
    shownAlerts().push_back(*this);
    if (auto* window = UIWindow::keyWindow()) {
        auto backdrop = UIView::create(window->bounds());
        backdrop->setBackgroundColor(UIColor::colorWithWhite(0, 0.4).ptr());
        window->addSubview(backdrop);
        layOutInWindow(backdrop);
        m_backdrop = backdrop.ptr();
    }
}

void UIAlertView::layOutInWindow(UIView& backdrop)
{
    for (auto& subview : std::vector<Ref<UIView>>(subviews()))
        subview->removeFromSuperview();
    m_buttonViews.clear();
    CGFloat textWidth = alertWidth - 2 * textInset, y = 20;
    auto addLabel = [&](const std::string& text, Ref<UIFont> font) {
        auto label = UILabel::create(CGRectMake(textInset, y, textWidth, 0));
        label->setText(text);
        label->setFont(font.ptr());
        label->setTextAlignment(NSTextAlignment::Center);
        label->setNumberOfLines(0);
        CGFloat height = label->heightForWidth(textWidth);
        label->setFrame(CGRectMake(textInset, y, textWidth, height));
        addSubview(label);
        y += height;
    };
    if (!m_title.empty())
        addLabel(m_title, UIFont::boldSystemFontOfSize(17));
    if (!m_message.empty()) {
        y += m_title.empty() ? 0 : 4;
        addLabel(m_message, UIFont::systemFontOfSize(13));
    }
    y += 20;
    bool isSideBySide = m_buttonTitles.size() == 2;
    for (std::size_t i = 0; i < m_buttonTitles.size(); ++i) {
        CGRect frame = isSideBySide ? CGRectMake(alertWidth / 2 * static_cast<CGFloat>(i), y, alertWidth / 2, buttonHeight)
                                    : CGRectMake(0, y + buttonHeight * static_cast<CGFloat>(i), alertWidth, buttonHeight);
        auto button = UIAlertButtonView::create(*this, static_cast<long>(i), frame);
        addSubview(button);
        m_buttonViews.push_back(button);
    }
    CGFloat height = y + buttonHeight * static_cast<CGFloat>(isSideBySide ? 1 : m_buttonTitles.size());
    CGSize screen = backdrop.bounds().size;
    setFrame(CGRectMake((screen.width - alertWidth) / 2, (screen.height - height) / 2, alertWidth, height));
    setBackgroundColor(UIColor::colorWithWhite(0.97, 0.98).ptr());
    layer()->setCornerRadius(13);
    setClipsToBounds(true);
    backdrop.addSubview(*this);
}

UIView* UIAlertView::buttonView(long buttonIndex) const
{
    if (buttonIndex < 0 || buttonIndex >= static_cast<long>(m_buttonViews.size()))
        return nullptr;
    return m_buttonViews[static_cast<std::size_t>(buttonIndex)].ptr();
}

void UIAlertView::drawContent(cairo_t* cr)
{
    // Hairlines above the buttons and between them.
    for (auto& button : m_buttonViews) {
        CGRect frame = button->frame();
        viewdrawing::fillRectangle(cr, CGRectMake(frame.origin.x, frame.origin.y - 0.5, frame.size.width, 0.5), viewdrawing::separatorGrey);
        if (frame.origin.x > 0)
            viewdrawing::fillRectangle(cr, CGRectMake(frame.origin.x - 0.5, frame.origin.y, 0.5, frame.size.height), viewdrawing::separatorGrey);
    }
}

bool UIAlertView::isVisible() const
{
    return std::any_of(shownAlerts().begin(), shownAlerts().end(), [&](auto& alert) { return alert.ptr() == this; });
}

void UIAlertView::dismissWithClickedButtonIndex(long buttonIndex, bool)
{
    Ref<UIAlertView> protectedThis(*this);
    static SEL clicked = sel_registerName("alertView:clickedButtonAtIndex:");
    if (RefPtr<NSObject> delegate = m_delegate.retained(); delegate && delegate->respondsToSelector(clicked))
        objc_msgSend<void(id, long)>(delegate.get(), clicked, static_cast<id>(this), buttonIndex);
    std::erase_if(shownAlerts(), [&](auto& alert) { return alert.ptr() == this; });
    if (RefPtr<UIView> backdrop = std::move(m_backdrop))
        backdrop->removeFromSuperview();
    removeFromSuperview();
    m_buttonViews.clear();
}

std::vector<Ref<UIAlertView>> UIAlertView::visibleAlerts()
{
    return shownAlerts();
}
