#pragma once

// A finger on the screen: where it is, which view it went down on, and how
// long it has been held.

#include <chrono>

#include <objc/NSObject.h>

#include "CGGeometry.h"

class UIView;
class UIWindow;

enum class UITouchPhase { Began, Moved, Stationary, Ended, Cancelled };

class UITouch : public NSObject {
public:
    using Seconds = std::chrono::duration<double>;

    UITouch(UIWindow&, CGPoint locationInWindow);
    static Class objcClass();

    UITouchPhase phase() const { return m_phase; }
    // The view the touch went down on; it gets every phase of the touch.
    UIView* view() const { return m_view.get(); }
    UIWindow& window() const { return m_window.get(); }
    CGPoint locationInView(const UIView*) const;
    CGPoint locationInWindow() const { return m_location; }
    // How long the finger has been down.
    Seconds holdDuration() const { return m_holdDuration; }
    // Whether the finger moved far enough to be a drag, not a tap.
    bool hasMovedFar() const { return m_hasMovedFar; }

private:
    friend class UIWindow;

    Ref<UIWindow> m_window;
    RefPtr<UIView> m_view;
    CGPoint m_location;
    CGPoint m_startLocation;
    UITouchPhase m_phase { UITouchPhase::Began };
    Seconds m_holdDuration { 0 };
    bool m_hasMovedFar { false };
};
