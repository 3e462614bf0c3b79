#pragma once

// The simulated Settings app: it starts as com.apple.Preferences, opens a
// preference bundle's entry (its plist under
// /Library/PreferenceLoader/Preferences) by loading the bundle and making its
// principal class, and shows that controller in its navigation stack. The
// user's side (taps, switches, alerts, the back button) is offered as
// operations, for a headless app and for tests.

#include <chrono>
#include <string>

#include <uikit/UIAlertView.h>
#include <uikit/UITableView.h>

#include "PSViewController.h"

class SettingsApp {
public:
    static constexpr const char* bundleIdentifier = "com.apple.Preferences";

    // The app of this process, started on first use.
    static SettingsApp& launch();
    // A separate app with an empty stack, as tests make them.
    SettingsApp();

    // Loads the entry's bundle and shows its controller on top. Answers an
    // error message, or the empty string.
    std::string openEntry(const std::string& entryName);

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

    // What a user does. Each answers an error message, or the empty string.
    // A row is named by its text, or as SECTION:ROW.
    std::string tapRow(const std::string& row);
    std::string setSwitch(const std::string& row, bool isOn);
    std::string selectSegment(long index);
    enum class BarSide { Left, Right };
    std::string tapBarButton(BarSide);
    // A button by its title, or its index.
    std::string tapAlertButton(const std::string& button);
    // The back button: cancels a presented sheet, else pops the top screen.
    std::string goBack();
    // Runs what the main queue has ready, then lets time pass on the run
    // loop's clock so that deferred work runs.
    void runFor(std::chrono::nanoseconds);

private:
    bool findRow(const std::string& row, long& section, long& index, std::string& error) const;

    Ref<UINavigationController> m_splitNavigation;
    Ref<UINavigationController> m_navigation;
};
