#pragma once

// Controls: targets and actions sent through the runtime, the switch and the
// segmented control.

#include <string>
#include <vector>

#include <objc/WeakReference.h>

#include "UIView.h"

enum UIControlEvents : unsigned long {
    UIControlEventTouchUpInside = 1 << 6,
    UIControlEventValueChanged = 1 << 12,
};

class UIControl : public UIView {
public:
    UIControl() = default;
    static Class objcClass();

    // Targets are not retained, as UIKit does not retain them; a freed one
    // is passed over (they are weak).
    void addTarget(id target, SEL action, unsigned long controlEvents);
    void removeTarget(id target, SEL action, unsigned long controlEvents);
    // Sends each matching action, with this control as the argument.
    void sendActionsForControlEvents(unsigned long controlEvents);

    bool isEnabled() const { return m_isEnabled; }
    void setEnabled(bool isEnabled) { m_isEnabled = isEnabled; }

    // Highlighted while a finger holds it and stays on it.
    bool isHighlighted() const { return m_isHighlighted; }
    virtual void setHighlighted(bool isHighlighted) { m_isHighlighted = isHighlighted; }

    // A control keeps its touches; one lifted inside it, without a drag,
    // does what a tap on it does.
    void touchesBegan(UITouch&) override;
    void touchesMoved(UITouch&) override;
    void touchesEnded(UITouch&) override;
    void touchesCancelled(UITouch&) override { setHighlighted(false); }

protected:
    // A tap at the point (in the control's coordinates): by default the
    // touch-up-inside actions go out.
    virtual void tapAt(CGPoint);

private:
    struct TargetAction {
        WeakObjCPtr<> target;
        SEL action;
        unsigned long events;
    };
    std::vector<TargetAction> m_targetActions;
    bool m_isEnabled { true };
    bool m_isHighlighted { false };
};

class UISwitch : public UIControl {
public:
    UISwitch() = default;
    static Class objcClass();
    static Ref<UISwitch> create(CGRect frame);

    bool isOn() const { return m_isOn; }
    void setOn(bool isOn) { setOn(isOn, false); }
    // setOn:animated: the knob slides and the track fills over a quarter second.
    void setOn(bool isOn, bool animated);
    UIColor* onTintColor() const { return m_onTintColor.get(); }
    void setOnTintColor(RefPtr<UIColor> color) { m_onTintColor = std::move(color); }
    // The on-tint it is drawn with: its own, else the appearance proxies'.
    UIColor* effectiveOnTintColor() const;

    // A user's flick: the state changes and the value-changed actions go out.
    void toggleByUser(bool isOn);
    void drawContent(cairo_t*) override;

protected:
    void tapAt(CGPoint) override;

private:
    bool m_isOn { false };
    double m_knobPosition { 0 }; // 0 at the off end, 1 at the on end
    RefPtr<UIColor> m_onTintColor;
};

class UISegmentedControl : public UIControl {
public:
    UISegmentedControl() = default;
    static Class objcClass();
    static Ref<UISegmentedControl> create(std::vector<std::string> items);

    static constexpr long noSegment = -1;
    const std::vector<std::string>& items() const { return m_items; }
    long selectedSegmentIndex() const { return m_selectedSegmentIndex; }
    void setSelectedSegmentIndex(long index) { m_selectedSegmentIndex = index >= 0 && index < static_cast<long>(m_items.size()) ? index : noSegment; }

    // A user's tap on a segment: a change of selection sends the value-changed
    // actions. Answers false for a segment that does not exist.
    bool selectByUser(long index);
    // The segment's rectangle, in the control's coordinates.
    CGRect segmentFrame(long index) const;
    void drawContent(cairo_t*) override;

protected:
    void tapAt(CGPoint) override;

private:
    std::vector<std::string> m_items;
    long m_selectedSegmentIndex { noSegment };
};
