#include "UIControl.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>

#include "NSStringDrawing.h"
#include "UIAppearance.h"
#include "UIFont.h"
#include "UIGraphics.h"
#include "UITouch.h"
#include "UIViewAnimation.h"
#include "ViewDrawing.h"

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
        if (entry.target.get() == target && entry.action == action) {
            entry.events |= controlEvents;
            return;
        }
    }
    m_targetActions.push_back({ target, action, controlEvents });
}

void UIControl::removeTarget(id target, SEL action, unsigned long controlEvents)
{
    for (auto& entry : m_targetActions) {
        if (entry.target.get() == target && (!action || entry.action == action))
            entry.events &= ~controlEvents;
    }
    std::erase_if(m_targetActions, [](auto& entry) { return !entry.events; });
}

void UIControl::sendActionsForControlEvents(unsigned long controlEvents)
{
    Ref<UIControl> protectedThis(*this);
    auto targetActions = m_targetActions;
    for (auto& entry : targetActions) {
        if (!(entry.events & controlEvents))
            continue;
        if (RefPtr<NSObject> target = entry.target.retained())
            objc_msgSend<void(id)>(target.get(), entry.action, static_cast<id>(this));
    }
}

void UIControl::touchesBegan(UITouch&)
{
    setHighlighted(m_isEnabled);
}

void UIControl::touchesMoved(UITouch& touch)
{
    setHighlighted(m_isEnabled && !touch.hasMovedFar() && pointInside(touch.locationInView(this)));
}

void UIControl::touchesEnded(UITouch& touch)
{
    setHighlighted(false);
    CGPoint point = touch.locationInView(this);
    if (m_isEnabled && !touch.hasMovedFar() && pointInside(point))
        tapAt(point);
}

void UIControl::tapAt(CGPoint)
{
    sendActionsForControlEvents(UIControlEventTouchUpInside);
}

void UISwitch::tapAt(CGPoint point)
{
    toggleByUser(!m_isOn);
    UIControl::tapAt(point);
}

void UISwitch::drawContent(cairo_t* cr)
{
    using namespace viewdrawing;
    // iOS 7's switch: a 51 x 31 capsule, green (or the on-tint) when on,
    // outlined when off, with a white knob at the end the state names.
    // Between the two, the on-tint grows over the outlined track as the knob slides.
    CGRect track = CGRectMake(0.5, 0.5, 50, 30);
    if (m_knobPosition < 1) {
        addRoundedRectangle(cr, track.origin.x, track.origin.y, track.size.width, track.size.height, 15);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill_preserve(cr);
        cairo_set_source_rgb(cr, 0.9, 0.9, 0.92);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
    if (m_knobPosition > 0) {
        RGBA tint = components(effectiveOnTintColor(), systemGreen);
        tint.alpha *= m_knobPosition;
        addRoundedRectangle(cr, track.origin.x, track.origin.y, track.size.width, track.size.height, 15);
        setSource(cr, tint);
        cairo_fill(cr);
    }
    double knobX = 15.5 + 20 * m_knobPosition;
    cairo_arc(cr, knobX, 15.5, 13.5, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.15);
    cairo_set_line_width(cr, 0.5);
    cairo_stroke(cr);
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

void UISwitch::setOn(bool isOn, bool animated)
{
    m_isOn = isOn;
    // A later setOn: that one moves the knob.
    UIViewAnimation::moveValue(*this, &UISwitch::m_knobPosition, isOn ? 1 : 0, animated, UIViewAnimation::Seconds(0.25),
        [isOn](const UISwitch& toggle) { return toggle.m_isOn == isOn; });
}

void UISwitch::toggleByUser(bool isOn)
{
    if (!isEnabled() || isOn == m_isOn)
        return;
    setOn(isOn, true);
    sendActionsForControlEvents(UIControlEventValueChanged);
}

Ref<UISegmentedControl> UISegmentedControl::create(std::vector<std::string> items)
{
    auto control = adoptRef(*new UISegmentedControl);
    control->m_items = std::move(items);
    // As initWithItems: sizes it: every segment as wide as the widest title
    // with its margins, at least 44 points.
    auto font = UIFont::systemFontOfSize(13);
    CGFloat segmentWidth = 44;
    for (auto& item : control->m_items)
        segmentWidth = std::max(segmentWidth, std::ceil(sizeWithAttributes(item, { font.ptr() }).width) + 2 * 10);
    objc_msgSend<id(CGRect)>(control.ptr(), initWithFrameSelector(), CGRectMake(0, 0, segmentWidth * static_cast<CGFloat>(control->m_items.size()), 29));
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

CGRect UISegmentedControl::segmentFrame(long index) const
{
    CGSize size = bounds().size;
    double count = static_cast<double>(std::max<std::size_t>(m_items.size(), 1));
    double width = size.width / count;
    return CGRectMake(width * static_cast<double>(index), 0, width, size.height);
}

void UISegmentedControl::tapAt(CGPoint point)
{
    double count = static_cast<double>(std::max<std::size_t>(m_items.size(), 1));
    long index = static_cast<long>(point.x / (bounds().size.width / count));
    selectByUser(std::clamp(index, 0l, static_cast<long>(m_items.size()) - 1));
}

void UISegmentedControl::drawContent(cairo_t* cr)
{
    using namespace viewdrawing;
    // iOS 7's segmented control: a rounded outline in the tint, hairline
    // dividers, the selected segment filled within the outline.
    RGBA tint = components(tintColor(), systemBlue);
    CGSize size = bounds().size;
    const double radius = 4;
    cairo_save(cr);
    addRoundedRectangle(cr, 0.5, 0.5, size.width - 1, size.height - 1, radius);
    cairo_clip(cr);
    if (m_selectedSegmentIndex != noSegment) {
        CGRect selected = segmentFrame(m_selectedSegmentIndex);
        fillRectangle(cr, selected, tint);
    }
    cairo_restore(cr);
    addRoundedRectangle(cr, 0.5, 0.5, size.width - 1, size.height - 1, radius);
    setSource(cr, tint);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    for (std::size_t i = 1; i < m_items.size(); ++i) {
        CGRect segment = segmentFrame(static_cast<long>(i));
        fillRectangle(cr, CGRectMake(segment.origin.x - 0.5, 0, 1, size.height), tint);
    }
    auto white = UIColor::whiteColor();
    auto tintColor = UIColor::colorWithRed(tint.red, tint.green, tint.blue, tint.alpha);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        CGRect segment = segmentFrame(static_cast<long>(i));
        bool isSelected = static_cast<long>(i) == m_selectedSegmentIndex;
        // A title wider than its segment shrinks, down to three quarters, as
        // UIKit's segment labels do; past that it is truncated.
        CGFloat room = segment.size.width - 8;
        CGFloat fullWidth = sizeWithAttributes(m_items[i], { UIFont::systemFontOfSize(13).ptr() }).width;
        auto font = UIFont::systemFontOfSize(fullWidth > room && fullWidth > 0 ? std::max(13 * 0.75, std::floor(13 * room / fullWidth * 2) / 2) : 13);
        drawTextInRect(cr, m_items[i], CGRectMake(segment.origin.x + 4, 0, room, size.height), { font.ptr() }, isSelected ? white.ptr() : tintColor.ptr(),
            NSTextAlignment::Center, NSLineBreakMode::ByTruncatingTail);
    }
}
