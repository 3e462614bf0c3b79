#include "UIControl.h"

#include <algorithm>

#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>

#include "UIAppearance.h"

Class UIControl::objcClass()
{
    static Class cls = ClassBuilder<UIControl>("UIControl", UIView::objcClass()).registerClass();
    return cls;
}

Class UISwitch::objcClass()
{
    static Class cls = ClassBuilder<UISwitch>("UISwitch", UIControl::objcClass()).registerClass();
    return cls;
}

Class UISegmentedControl::objcClass()
{
    static Class cls = ClassBuilder<UISegmentedControl>("UISegmentedControl", UIControl::objcClass()).registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredUIControl = UIControl::objcClass();
[[maybe_unused]] static Class registeredUISwitch = UISwitch::objcClass();
[[maybe_unused]] static Class registeredUISegmentedControl = UISegmentedControl::objcClass();

void UIControl::addTarget(id target, SEL action, unsigned long controlEvents)
{
    for (auto& entry : m_targetActions) {
        if (entry.target == target && entry.action == action) {
            entry.events |= controlEvents;
            return;
        }
    }
    m_targetActions.push_back({ target, action, controlEvents });
}

void UIControl::removeTarget(id target, SEL action, unsigned long controlEvents)
{
    for (auto& entry : m_targetActions) {
        if (entry.target == target && (!action || entry.action == action))
            entry.events &= ~controlEvents;
    }
    std::erase_if(m_targetActions, [](auto& entry) { return !entry.events; });
}

void UIControl::sendActionsForControlEvents(unsigned long controlEvents)
{
    Ref<UIControl> protectedThis(*this);
    auto targetActions = m_targetActions;
    for (auto& entry : targetActions) {
        if (entry.events & controlEvents)
            objc_msgSend<void(id)>(entry.target, entry.action, static_cast<id>(this));
    }
}

Ref<UISwitch> UISwitch::create(CGRect frame)
{
    auto control = adoptRef(*new UISwitch);
    objc_msgSend<id(CGRect)>(control.ptr(), initWithFrameSelector(), CGRectMake(frame.origin.x, frame.origin.y, 51, 31));
    return control;
}

UIColor* UISwitch::effectiveOnTintColor() const
{
    if (m_onTintColor)
        return m_onTintColor.get();
    return UIAppearance::resolvedValue(object_getClass(this), this, UIAppearance::Property::OnTintColor);
}

void UISwitch::toggleByUser(bool isOn)
{
    if (!isEnabled() || isOn == m_isOn)
        return;
    m_isOn = isOn;
    sendActionsForControlEvents(UIControlEventValueChanged);
}

Ref<UISegmentedControl> UISegmentedControl::create(std::vector<std::string> items)
{
    auto control = adoptRef(*new UISegmentedControl);
    control->m_items = std::move(items);
    objc_msgSend<id(CGRect)>(control.ptr(), initWithFrameSelector(), CGRectMake(0, 0, 80.0 * static_cast<CGFloat>(control->m_items.size()), 29));
    return control;
}

bool UISegmentedControl::selectByUser(long index)
{
    if (index < 0 || index >= static_cast<long>(m_items.size()))
        return false;
    if (!isEnabled() || index == m_selectedSegmentIndex)
        return true;
    m_selectedSegmentIndex = index;
    sendActionsForControlEvents(UIControlEventValueChanged);
    return true;
}
