#pragma once

// The simulated Settings app: it starts as com.apple.Preferences, opens a
// preference bundle's entry (its plist under
// /Library/PreferenceLoader/Preferences) by loading the bundle and making its
// principal class, and shows that controller in its navigation stack, in a
// window the size of the device's screen. The user's side is a finger on
// that window (touch, scroll); the named operations (tap a row, flip a
// switch, answer an alert, go back) find the view on screen and touch its
// centre, as a person would.

#include <chrono>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <base/Expected.h>
#include <uikit/UIAlertView.h>
#include <uikit/UITableView.h>
#include <uikit/UIWindow.h>

#include <preferences/PSViewController.h>

class SettingsApp {
public:
    static constexpr const char* bundleIdentifier = "com.apple.Preferences";

    // The app of this process, started on first use.
    static SettingsApp& launch();
    // A separate app with an empty stack, as tests make them.
    SettingsApp();
    ~SettingsApp();
    SettingsApp(const SettingsApp&) = delete;
    SettingsApp& operator=(const SettingsApp&) = delete;

    UIWindow& window() const { return m_window.get(); }

    // Loads the entry's bundle and shows its controller on top.
    Expected<void> openEntry(const std::string& entryName);

    // The navigation controller of the app, which holds the one the
    // preference screens are pushed on.
    UINavigationController& splitNavigationController() const { return m_splitNavigation.get(); }
    UINavigationController& navigationController() const { return m_navigation.get(); }
    // The screen on top of the stack.
    UIViewController* topViewController() const { return m_navigation->topViewController(); }
    // The screen's table, when its view is one.
    UITableView* topTable() const;
    UIAlertView* visibleAlert() const;
    // A sheet presented over the screen (by it or by a navigation controller).
    UIViewController* presentedSheet() const;

    // What a user does. Each answers why it could not be done (Refused), if
    // it could not.
    // A finger down and up at a point of the screen, in points.
    Expected<void> touch(CGPoint);
    // A drag on the screen's table by the distance (content up for positive).
    Expected<void> scroll(CGFloat dy);
    // A finger's phases, for a host that follows a real pointer.
    void touchDown(CGPoint);
    void touchMoved(CGPoint, UITouch::Seconds heldFor);
    void touchUp(CGPoint, UITouch::Seconds heldFor);
    // A row is named by its text, or as SECTION:ROW; one out of sight is
    // scrolled into view first.
    Expected<void> tapRow(const std::string& row);
    Expected<void> setSwitch(const std::string& row, bool isOn);
    Expected<void> selectSegment(long index);
    enum class BarSide { Left, Right };
    Expected<void> tapBarButton(BarSide);
    // A button by its title, or its index.
    Expected<void> tapAlertButton(const std::string& button);
    // The back button: cancels a presented sheet, else pops the top screen.
    Expected<void> goBack();
    // The home button: the app leaves what it showed and opens again at its
    // first screen (a sheet is cancelled, the screens are popped).
    void pressHome();
    // Runs what the main queue has ready, then lets time pass on the run
    // loop's clock so that deferred work runs.
    void runFor(std::chrono::nanoseconds);

    // What the app asked the system for: every address it opened (with the
    // app that took it; empty: none), and every mail it sent (device paths of
    // the messages that reached the outbox since the app started).
    const std::vector<std::pair<std::string, std::string>>& openedURLs() const { return m_openedURLs; }
    void clearOpenedURLs() { m_openedURLs.clear(); }
    std::vector<std::string> sentMail() const;

private:
    struct RowPosition {
        long section;
        long row;
    };
    Expected<RowPosition> findRow(const std::string& row) const;
    // Touches the view's centre (or the point in it), scrolling it into view first.
    void touchView(UIView&);
    void touchView(UIView&, CGPoint);
    UIView* barButtonView(UIBarButtonItem*) const;
    std::set<std::string> outboxNames() const;

    Ref<UIWindow> m_window;
    Ref<UINavigationController> m_splitNavigation;
    Ref<UINavigationController> m_navigation;
    std::vector<std::pair<std::string, std::string>> m_openedURLs;
    std::set<std::string> m_outboxAtLaunch;
};
