#pragma once

// The window: the top of a screen's view hierarchy. It shows its root view
// controller's view, takes the screen's touches, finds the view under each
// (hit-testing) and delivers the touch there.

#include "UIStatusBar.h"
#include "UITouch.h"
#include "UIView.h"

class UIViewController;

class UIWindow : public UIView {
public:
    UIWindow() = default;
    ~UIWindow() override;
    static Class objcClass();
    static Ref<UIWindow> create(CGRect frame);

    UIViewController* rootViewController() const { return m_rootViewController.get(); }
    // Its view fills the window, under anything shown above it.
    void setRootViewController(RefPtr<UIViewController>);

    // The status bar, over the app and its presented sheets.
    UIStatusBar* statusBar() const { return m_statusBar.get(); }
    void setStatusBar(RefPtr<UIStatusBar>);
    // Adds the view on top of the app, under the status bar.
    void addSubviewUnderStatusBar(Ref<UIView>);

    // The window alerts and presented screens appear in.
    void makeKeyAndVisible();
    static UIWindow* keyWindow();

    // A finger, in the window's coordinates. Down hit-tests; the view hit
    // gets the touch and every later phase of it, wherever the finger goes.
    // A new touch while one is down cancels the old one.
    void touchDown(CGPoint);
    void touchMoved(CGPoint, UITouch::Seconds heldFor);
    void touchUp(CGPoint, UITouch::Seconds heldFor);
    // Down and up at one point: what a tap does. Answers whether a view was hit.
    bool tap(CGPoint);
    UITouch* activeTouch() const { return m_touch.get(); }

    // Moves the scroll view under the point by the distance (content up for
    // a positive one); answers whether one was there.
    bool scroll(CGPoint, CGFloat dy);

private:
    RefPtr<UIViewController> m_rootViewController;
    RefPtr<UIStatusBar> m_statusBar;
    RefPtr<UITouch> m_touch;
};
