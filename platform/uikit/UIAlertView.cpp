#include "UIAlertView.h"

#include <algorithm>

#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>

namespace {

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
    if (!isVisible())
        shownAlerts().push_back(*this);
}

bool UIAlertView::isVisible() const
{
    return std::any_of(shownAlerts().begin(), shownAlerts().end(), [&](auto& alert) { return alert.ptr() == this; });
}

void UIAlertView::dismissWithClickedButtonIndex(long buttonIndex, bool)
{
    Ref<UIAlertView> protectedThis(*this);
    static SEL clicked = sel_registerName("alertView:clickedButtonAtIndex:");
    if (m_delegate && m_delegate->respondsToSelector(clicked))
        objc_msgSend<void(id, long)>(m_delegate, clicked, static_cast<id>(this), buttonIndex);
    std::erase_if(shownAlerts(), [&](auto& alert) { return alert.ptr() == this; });
}

std::vector<Ref<UIAlertView>> UIAlertView::visibleAlerts()
{
    return shownAlerts();
}
