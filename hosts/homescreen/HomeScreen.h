#pragma once

// The home screen SpringBoard shows, as iOS 9 lays it out on an iPhone's
// 375 x 667 points: the wallpaper, the apps in rows of four 60-point icons
// with their names under them, the dock, and the status bar. A finger held
// on an icon presses it: the press deepens over half a second in steps (the
// backdrop blurring and the menu growing); a full press leaves the menu open.
// A tap outside an open menu closes it; a tap on an item closes it and
// chooses that shortcut, as launching the app with it would.

#include <functional>
#include <string>

#include <uikit/UIImageView.h>
#include <uikit/UIWindow.h>

#include "SpringBoard.h"

class SBIconView;
enum class IconLabel { Shown, Hidden };

class HomeScreen {
public:
    explicit HomeScreen(const SpringBoard&);
    ~HomeScreen();
    HomeScreen(const HomeScreen&) = delete;
    HomeScreen& operator=(const HomeScreen&) = delete;

    static constexpr UITouch::Seconds fullPressDuration { 0.5 };
    static constexpr int pressSteps = 5;

    UIWindow& window() const { return m_window.get(); }
    // The icon of the app, if the home screen shows it.
    SBIconView* iconView(const std::string& bundleIdentifier) const;
    // The app's icon with its name, on the screen; empty when not shown.
    CGRect iconFrame(const std::string& bundleIdentifier) const;

    // A finger on the screen, in points. While it is down on an icon, time
    // held deepens the press (touchMoved with the time so far, or holdFor).
    void touchDown(CGPoint);
    void touchMoved(CGPoint, UITouch::Seconds heldFor);
    void touchUp(CGPoint, UITouch::Seconds heldFor);
    void tap(CGPoint);
    // A full press at the point and the finger lifted, as the keyboard's
    // menu key gives: the icon's menu opens and stays open.
    void fullPress(CGPoint);

    // The pages of icons: a swipe sideways turns them ("page N" is said).
    std::size_t pageCount() const { return m_pageCount; }
    std::size_t currentPage() const { return m_currentPage; }
    void showPage(std::size_t);

    // The menu on screen (being pressed or open), and how deep the press went.
    SBApplicationShortcutMenu* menu() const { return m_menu.get(); }
    double pressDepth() const { return m_depth; }
    bool isMenuOpen() const { return m_menu && m_isMenuOpen; }
    // Builds the open menu again for its app at full depth, as releasing and
    // pressing again would (after the tweak's settings changed).
    void reopenMenu();
    void closeMenu();
    // Draws the wallpaper again from the root, and the menu's blur with it;
    // called when the wallpaper-changed notification comes.
    void wallpaperDidChange();

    // What the home screen did that a person would see: "menu APP",
    // "closed", "shortcut TYPE" (an item chosen), "launch APP" (a tap on an
    // icon), "page N" (a page turned to, from 1).
    void setEventHandler(std::function<void(const std::string&)> handler) { m_eventHandler = std::move(handler); }
    // Told whenever what the screen shows changed (a press deepening, a menu
    // opening or closing), for a host that sends pictures.
    void setChangeHandler(std::function<void()> handler) { m_changeHandler = std::move(handler); }

private:
    friend class SBIconView;
    void beginPress(SBApplication&);
    void deepenPress(double depth);
    void endPress(bool isTap);
    void layOutMenu();
    // Icons for the installed apps: the pages as the icon state places them,
    // then the dock; again after an install.
    void layOutIcons();
    void layOutPageDots();
    // The wallpaper drawn again from the root (at start, and when it changed).
    void loadWallpaper();
    enum class MissedMenu { Closes, StaysOpen };
    void chooseItemAt(CGPoint, MissedMenu);
    void emit(const std::string& event);

    const SpringBoard& m_springBoard;
    Ref<UIWindow> m_window;
    Ref<UIView> m_backdrop;
    Ref<UIImageView> m_blurredView;
    Ref<UIView> m_tintView;
    Ref<UIView> m_pagesView; // every page side by side, moved to show the current one
    Ref<UIView> m_pageDotsView;
    Ref<UIView> m_dockView;
    Ref<UIImageView> m_wallpaperView;
    std::size_t m_pageCount { 1 };
    std::size_t m_currentPage { 0 };
    CGPoint m_touchStart {};
    std::vector<Ref<SBIconView>> m_icons;
    std::size_t m_applicationsObserver { 0 };
    RefPtr<SBApplication> m_pressedApplication;
    RefPtr<SBIconView> m_liftedIcon;
    RefPtr<SBApplicationShortcutMenu> m_menu;
    RefPtr<UIImage> m_blurredScreen;
    double m_blurredRadius { -1 };
    double m_depth { 0 };
    bool m_isMenuOpen { false };
    bool m_isTouchForMenu { false };
    std::function<void(const std::string&)> m_eventHandler;
    std::function<void()> m_changeHandler;
    void changed();
};
