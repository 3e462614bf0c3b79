#include "HomeScreen.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include <corefoundation/CFRunLoop.h>
#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>
#include <uikit/UIGraphics.h>
#include <uikit/UILabel.h>
#include <uikit/UIViewRendering.h>
#include <uikit/ViewDrawing.h>

#include <corefoundation/CFNotificationCenter.h>
#include <springboard/SBIconState.h>
#include <springboard/SBWallpaper.h>

#include "Wallpaper.h"

// An app's icon with its name under it; holding it presses it.
class SBIconView : public UIView {
public:
    static Class objcClass();
    static Ref<SBIconView> create(HomeScreen& home, SBApplication& application, CGPoint origin, IconLabel label)
    {
        bool hasLabel = label == IconLabel::Shown;
        auto view = adoptRef(*new SBIconView);
        UIView::initWithFrame(view.ptr(), initWithFrameSelector(), CGRectMake(origin.x - 10, origin.y, 80, hasLabel ? 80 : 60));
        view->m_home = &home;
        view->m_application = &application;
        auto image = UIImageView::create(CGRectMake(10, 0, 60, 60));
        image->setImage(application.icon());
        image->layer()->setCornerRadius(13);
        image->setClipsToBounds(true);
        view->addSubview(image);
        // A held icon darkens, as iOS's do under a finger.
        view->m_shade = UIView::create(CGRectMake(10, 0, 60, 60));
        view->m_shade->setBackgroundColor(UIColor::colorWithWhite(0, 0.35).ptr());
        view->m_shade->layer()->setCornerRadius(13);
        view->m_shade->setHidden(true);
        view->m_shade->setUserInteractionEnabled(false);
        view->addSubview(*view->m_shade);
        if (hasLabel) {
            auto label = UILabel::create(CGRectMake(0, 64, 80, 16));
            label->setText(application.displayName());
            label->setFont(UIFont::systemFontOfSize(12));
            label->setTextColor(UIColor::whiteColor().ptr());
            label->setTextAlignment(NSTextAlignment::Center);
            view->addSubview(label);
        }
        return view;
    }
    SBApplication& application() const { return *m_application; }
    // The icon itself, without its name.
    CGRect iconFrame() const { return convertRectToView(CGRectMake(10, 0, 60, 60), nullptr); }

    bool isHighlighted() const { return !m_shade->isHidden(); }

    void touchesBegan(UITouch&) override
    {
        m_shade->setHidden(false);
        m_home->beginPress(*m_application);
    }
    void touchesMoved(UITouch& touch) override { m_home->touchMoved(touch.locationInWindow(), touch.holdDuration()); }
    void touchesEnded(UITouch& touch) override
    {
        m_shade->setHidden(true);
        m_home->endPress(!touch.hasMovedFar());
    }
    void touchesCancelled(UITouch&) override
    {
        m_shade->setHidden(true);
        m_home->endPress(false);
    }

private:
    HomeScreen* m_home { nullptr }; // the home screen holds its icons
    RefPtr<SBApplication> m_application;
    RefPtr<UIView> m_shade;
};

Class SBIconView::objcClass()
{
    static Class cls = ClassBuilder<SBIconView>("SBIconView", UIView::objcClass()).registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredSBIconView = SBIconView::objcClass();

namespace {

// iOS 9's home screen: a page of four columns and six rows of 60-point
// icons, spaced evenly across the screen (27 points on a 4.7-inch phone),
// rows 88 points apart from 28 there, a little more on a 5.5-inch one; a
// dock of four; the page dots above the dock.
struct Metrics {
    CGFloat screenWidth, screenHeight;
    CGFloat firstColumn, columnPitch, firstRow, rowPitch;
};
Metrics metrics()
{
    CGSize screen = UIScreen::mainScreen().bounds().size;
    CGFloat gap = (screen.width - 4 * 60) / 5, heightRatio = screen.height / 667;
    return { screen.width, screen.height, gap, 60 + gap, std::round(28 * heightRatio), std::round(88 * heightRatio) };
}
constexpr CGFloat dockHeight = 96;
constexpr CGFloat iconSize = 60;
constexpr std::size_t columns = 4, rows = 6, dockSize = 4;
constexpr CGFloat pageDotSide = 7, pageDotPitch = 16, pageDotsAboveDock = 14;
// A finger that travels this far sideways, more than up or down, turns the page.
constexpr CGFloat pageSwipeDistance = 40;
// The blurred screen is drawn at a quarter of the points, as the device
// downsamples before it blurs.
constexpr CGFloat blurScale = 0.5;

void wallpaperChanged(CFNotificationCenterRef, void* observer, CFStringRef, const void*, CFDictionaryRef)
{
    static_cast<HomeScreen*>(observer)->wallpaperDidChange();
}

}

HomeScreen::HomeScreen(const SpringBoard& springBoard)
    : m_springBoard(springBoard)
    , m_window(UIWindow::create(UIScreen::mainScreen().bounds()))
    , m_backdrop(UIView::create(UIScreen::mainScreen().bounds()))
    , m_blurredView(UIImageView::create(UIScreen::mainScreen().bounds()))
    , m_tintView(UIView::create(UIScreen::mainScreen().bounds()))
    , m_pagesView(UIView::create(CGRect {}))
    , m_pageDotsView(UIView::create(CGRect {}))
    , m_dockView(UIView::create(CGRect {}))
    , m_wallpaperView(UIImageView::create(UIScreen::mainScreen().bounds()))
{
    const CGSize screen = UIScreen::mainScreen().bounds().size;
    m_dockView->setFrame(CGRectMake(0, screen.height - dockHeight, screen.width, dockHeight));
    loadWallpaper();
    m_window->addSubview(m_wallpaperView);
    CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), this, wallpaperChanged,
        CFStringMakeConstantString(kWallpaperChangedNotification), nullptr, CFNotificationSuspensionBehaviorDeliverImmediately);

    // Above the wallpaper, under what a press lays over: the pages, their
    // dots, the dock.
    m_window->addSubview(m_pagesView);
    m_pageDotsView->setUserInteractionEnabled(false);
    m_window->addSubview(m_pageDotsView);
    m_dockView->setBackgroundColor(UIColor::colorWithWhite(1, 0.3).ptr());
    m_window->addSubview(m_dockView);
    layOutIcons();

    // White over the wallpaper; a press's backdrop blurs it with the icons.
    m_window->setStatusBar(UIStatusBar::create(screen.width, UIStatusBarStyle::LightContent));

    // What a press lays over the screen: the blurred screen, its tint, the
    // lifted icon and the menu. Hidden until a press.
    m_backdrop->addSubview(m_blurredView);
    m_backdrop->addSubview(m_tintView);
    m_backdrop->setHidden(true);
    m_window->addSubview(m_backdrop);

    m_applicationsObserver = m_springBoard.addApplicationsObserver([this] {
        // An app installed or removed: its menu, if open, goes, and the icons are laid out again.
        if (m_menu)
            closeMenu();
        layOutIcons();
        if (m_changeHandler)
            m_changeHandler();
    });
}

HomeScreen::~HomeScreen()
{
    CFNotificationCenterRemoveObserver(CFNotificationCenterGetDarwinNotifyCenter(), this, CFStringMakeConstantString(kWallpaperChangedNotification), nullptr);
    m_springBoard.removeApplicationsObserver(m_applicationsObserver);
}

void HomeScreen::loadWallpaper()
{
    m_wallpaperView->setImage(homeBackgroundImage(UIScreen::mainScreen().bounds().size, 0).get());
}

void HomeScreen::wallpaperDidChange()
{
    loadWallpaper();
    // The menu's blur is made from the screen, wallpaper and all.
    m_blurredScreen = nullptr;
    m_blurredRadius = -1;
    if (m_menu)
        reopenMenu();
    changed();
}

void HomeScreen::layOutIcons()
{
    const Metrics layout = metrics();
    for (auto& icon : m_icons)
        icon->removeFromSuperview();
    m_icons.clear();
    std::vector<std::string> installed;
    for (auto& application : m_springBoard.applications())
        installed.push_back(application->bundleIdentifier());
    auto state = SBIconState::read();
    auto placement = placeIcons(state ? state : SBIconState::defaultState(), installed, columns * rows, dockSize);
    m_pageCount = placement.pages.size();
    m_currentPage = std::min(m_currentPage, m_pageCount - 1);
    m_pagesView->setFrame(CGRectMake(-layout.screenWidth * static_cast<CGFloat>(m_currentPage), 0, layout.screenWidth * static_cast<CGFloat>(m_pageCount),
        layout.screenHeight - dockHeight));
    for (std::size_t page = 0; page < placement.pages.size(); ++page) {
        for (std::size_t index = 0; index < placement.pages[page].size(); ++index) {
            CGPoint origin { layout.screenWidth * static_cast<CGFloat>(page) + layout.firstColumn + layout.columnPitch * static_cast<CGFloat>(index % columns),
                layout.firstRow + layout.rowPitch * static_cast<CGFloat>(index / columns) };
            auto icon = SBIconView::create(*this, *m_springBoard.applicationWithIdentifier(placement.pages[page][index]), origin, IconLabel::Shown);
            m_pagesView->addSubview(icon);
            m_icons.push_back(icon);
        }
    }
    for (std::size_t index = 0; index < placement.dock.size(); ++index) {
        CGPoint origin { layout.firstColumn + layout.columnPitch * static_cast<CGFloat>(index), 14 };
        auto icon = SBIconView::create(*this, *m_springBoard.applicationWithIdentifier(placement.dock[index]), origin, IconLabel::Shown);
        m_dockView->addSubview(icon);
        m_icons.push_back(icon);
    }
    layOutPageDots();
}

void HomeScreen::layOutPageDots()
{
    const Metrics layout = metrics();
    for (auto subviews = m_pageDotsView->subviews(); auto& dot : subviews)
        dot->removeFromSuperview();
    CGFloat width = pageDotPitch * static_cast<CGFloat>(m_pageCount);
    m_pageDotsView->setFrame(
        CGRectMake((layout.screenWidth - width) / 2, layout.screenHeight - dockHeight - pageDotsAboveDock - pageDotPitch / 2, width, pageDotPitch));
    for (std::size_t page = 0; page < m_pageCount; ++page) {
        auto dot = UIView::create(CGRectMake(
            pageDotPitch * static_cast<CGFloat>(page) + (pageDotPitch - pageDotSide) / 2, (pageDotPitch - pageDotSide) / 2, pageDotSide, pageDotSide));
        dot->setBackgroundColor(UIColor::colorWithWhite(1, page == m_currentPage ? 1 : 0.35).ptr());
        dot->layer()->setCornerRadius(pageDotSide / 2);
        dot->setUserInteractionEnabled(false);
        m_pageDotsView->addSubview(dot);
    }
}

void HomeScreen::showPage(std::size_t page)
{
    const Metrics layout = metrics();
    page = std::min(page, m_pageCount - 1);
    if (page == m_currentPage)
        return;
    m_currentPage = page;
    CGRect frame = m_pagesView->frame();
    frame.origin.x = -layout.screenWidth * static_cast<CGFloat>(page);
    m_pagesView->setFrame(frame);
    layOutPageDots();
    emit("page " + std::to_string(page + 1));
    changed();
}

SBIconView* HomeScreen::iconView(const std::string& bundleIdentifier) const
{
    for (auto& icon : m_icons) {
        if (icon->application().bundleIdentifier() == bundleIdentifier)
            return icon.ptr();
    }
    return nullptr;
}

CGRect HomeScreen::iconFrame(const std::string& bundleIdentifier) const
{
    const Metrics layout = metrics();
    auto* icon = iconView(bundleIdentifier);
    CGRect frame = icon ? icon->convertRectToView(icon->bounds(), nullptr) : CGRect {};
    // On another page: not shown.
    return frame.origin.x + frame.size.width > 0 && frame.origin.x < layout.screenWidth ? frame : CGRect {};
}

void HomeScreen::emit(const std::string& event)
{
    if (m_eventHandler) {
        auto handler = m_eventHandler;
        handler(event);
    }
}

void HomeScreen::changed()
{
    if (m_changeHandler) {
        auto handler = m_changeHandler;
        handler();
    }
}

// How deep a press held that long went: whole steps only, as the timers take it.
static double depthAfter(UITouch::Seconds heldFor)
{
    double steps = std::floor(heldFor / HomeScreen::fullPressDuration * HomeScreen::pressSteps + 1e-9);
    return std::clamp(steps / HomeScreen::pressSteps, 0.0, 1.0);
}

void HomeScreen::touchDown(CGPoint point)
{
    if (m_menu) {
        // With a menu on screen, a new finger answers the menu when it lifts.
        m_isTouchForMenu = true;
        return;
    }
    m_isTouchForMenu = false;
    m_touchStart = point;
    m_window->touchDown(point);
}

void HomeScreen::touchMoved(CGPoint point, UITouch::Seconds heldFor)
{
    if (m_pressedApplication && !m_isMenuOpen)
        deepenPress(depthAfter(heldFor));
    if (m_window->activeTouch() && m_window->activeTouch()->holdDuration() < heldFor)
        m_window->touchMoved(point, heldFor);
}

void HomeScreen::touchUp(CGPoint point, UITouch::Seconds heldFor)
{
    if (m_isTouchForMenu) {
        m_isTouchForMenu = false;
        chooseItemAt(point, MissedMenu::Closes);
        return;
    }
    CGFloat dx = point.x - m_touchStart.x, dy = point.y - m_touchStart.y;
    if (!m_isMenuOpen && std::fabs(dx) >= pageSwipeDistance && std::fabs(dx) > std::fabs(dy)) {
        // A swipe: the icon under the finger is let go, and the page turns.
        m_window->touchUp(point, UITouch::Seconds(0));
        closeMenu();
        if (dx < 0)
            showPage(m_currentPage + 1);
        else if (m_currentPage > 0)
            showPage(m_currentPage - 1);
        return;
    }
    if (m_pressedApplication)
        deepenPress(depthAfter(heldFor));
    bool wasOpen = m_isMenuOpen;
    m_window->touchUp(point, heldFor);
    // The finger that opened the menu may slide onto an item and lift there.
    if (wasOpen)
        chooseItemAt(point, MissedMenu::StaysOpen);
}

void HomeScreen::tap(CGPoint point)
{
    touchDown(point);
    touchUp(point, UITouch::Seconds(0.1));
}

void HomeScreen::fullPress(CGPoint point)
{
    touchDown(point);
    touchMoved(point, fullPressDuration);
    touchUp(point, fullPressDuration);
}

void HomeScreen::beginPress(SBApplication& application)
{
    m_pressedApplication = &application;
    m_depth = 0;
    changed(); // the icon darkened
    // The host's steps: the press deepens while the finger stays down.
    auto& loop = CFRunLoop::main();
    auto stepTime = std::chrono::duration_cast<Nanoseconds>(fullPressDuration / pressSteps);
    for (int step = 1; step <= pressSteps; ++step) {
        loop.addTimer(loop.now() + stepTime * step, [this, protectedApplication = Ref<SBApplication>(application), step] {
            if (m_pressedApplication.get() == protectedApplication.ptr() && !m_isMenuOpen)
                deepenPress(static_cast<double>(step) / pressSteps);
        });
    }
}

void HomeScreen::deepenPress(double depth)
{
    if (!m_pressedApplication || depth <= m_depth)
        return;
    bool isFirst = !m_menu;
    if (isFirst) {
        m_menu = m_springBoard.pressIcon(*m_pressedApplication, 0, 0).ptr();
        if (m_menu->itemViews().empty()) {
            m_menu = nullptr;
            return;
        }
    }
    // The fractions between the last depth and this one, in the host's steps.
    int from = static_cast<int>(std::lround(m_depth * pressSteps)), to = static_cast<int>(std::lround(depth * pressSteps));
    for (int step = std::max(from, 0) + 1; step <= to; ++step) {
        double fraction = static_cast<double>(step) / pressSteps;
        objc_msgSend<void(double, double)>(m_menu.get(), sel_registerName(peekSelector), fraction, fraction);
        objc_msgSend<void(double)>(m_menu.get(), sel_registerName(updateBackgroundSelector), fraction);
    }
    m_depth = depth;
    layOutMenu();
    if (m_depth >= 1) {
        m_isMenuOpen = true;
        emit("menu " + m_pressedApplication->bundleIdentifier());
    }
    changed();
}

void HomeScreen::endPress(bool isTap)
{
    RefPtr<SBApplication> application = std::move(m_pressedApplication);
    if (m_isMenuOpen)
        return; // a full press leaves the menu open
    bool wasPressed = m_menu.get();
    closeMenu();
    if (!wasPressed)
        changed(); // the icon lit again
    if (application && isTap && !wasPressed)
        emit("launch " + application->bundleIdentifier());
}

void HomeScreen::layOutMenu()
{
    const Metrics layout = metrics();
    if (!m_menu)
        return;
    auto* icon = iconView(m_menu->application()->bundleIdentifier());
    CGRect iconFrame = icon ? icon->iconFrame() : CGRectMake((layout.screenWidth - iconSize) / 2, layout.screenHeight / 2, iconSize, iconSize);

    // The backdrop: the screen as it was, blurred once per radius, shown as
    // far as the press has gone, under the settings' tint.
    auto* settings = objc_dynamicCast<_UIBackdropViewSettings>(m_menu->blurSettings());
    double radius = settings ? settings->blurRadius() : 0;
    double fraction = std::clamp(m_menu->lastBlurFraction(), 0.0, 1.0);
    if (!m_blurredScreen || radius != m_blurredRadius) {
        m_backdrop->setHidden(true);
        UIGraphicsBeginImageContextWithOptions(m_window->bounds().size, true, blurScale);
        drawViewHierarchy(m_window, UIGraphicsGetCurrentContext()->cairo);
        viewdrawing::boxBlur(UIGraphicsGetCurrentContext()->surface, static_cast<int>(std::lround(radius * blurScale / 3)));
        m_blurredScreen = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        m_blurredRadius = radius;
    }
    m_blurredView->setImage(m_blurredScreen);
    m_blurredView->setAlpha(fraction);
    m_tintView->setBackgroundColor(settings ? settings->colorTint() : nullptr);
    m_tintView->setAlpha(settings ? settings->colorTintAlpha() * fraction : 0);
    m_backdrop->setHidden(false);

    // The pressed icon stays sharp over the blur (made once per press).
    if (icon && !m_liftedIcon) {
        m_liftedIcon = SBIconView::create(*this, icon->application(), { iconFrame.origin.x, iconFrame.origin.y }, IconLabel::Hidden);
        m_liftedIcon->setUserInteractionEnabled(false);
        m_backdrop->addSubview(*m_liftedIcon);
    }

    // Over the icon when it is in the lower half, else under it; on the
    // icon's side of the screen; growing with the press.
    CGSize size = m_menu->bounds().size;
    bool isAbove = iconFrame.origin.y > layout.screenHeight / 2;
    CGFloat x = CGRectGetMidX(iconFrame) < layout.screenWidth / 2 ? iconFrame.origin.x : iconFrame.origin.x + iconFrame.size.width - size.width;
    x = std::clamp(x, 10.0, layout.screenWidth - 10 - size.width);
    CGFloat y = isAbove ? iconFrame.origin.y - 12 - size.height : iconFrame.origin.y + iconFrame.size.height + 12;
    m_menu->setFrame(CGRectMake(x, y, size.width, size.height));
    double growth = menuGrowth(m_menu->contentFractions().empty() ? 0 : m_menu->contentFractions().back());
    m_menu->setAlpha(growth);
    m_menu->setTransform(
        growth >= 1 ? CGAffineTransformIdentity : menuGrowthTransform(growth, m_menu->center(), { CGRectGetMidX(iconFrame), CGRectGetMidY(iconFrame) }));
    m_backdrop->addSubview(*m_menu);
}

void HomeScreen::chooseItemAt(CGPoint point, MissedMenu missed)
{
    RefPtr<SBApplicationShortcutMenu> menu = m_menu;
    if (!menu)
        return;
    CGPoint inMenu = menu->convertPointFromView(point, nullptr);
    if (menu->pointInside(inMenu)) {
        for (auto& item : menu->itemViews()) {
            CGRect frame = item->frame();
            if (inMenu.y >= frame.origin.y && inMenu.y < frame.origin.y + frame.size.height) {
                auto* shortcut = item->shortcutItem();
                closeMenu();
                emit("shortcut " + (shortcut ? shortcut->type() : std::string()));
                return;
            }
        }
        return; // on the plate between items: nothing
    }
    if (missed == MissedMenu::Closes)
        closeMenu();
}

void HomeScreen::closeMenu()
{
    bool wasOpen = m_menu.get();
    if (m_menu)
        m_menu->removeFromSuperview();
    if (m_liftedIcon)
        m_liftedIcon->removeFromSuperview();
    m_menu = nullptr;
    m_liftedIcon = nullptr;
    m_pressedApplication = nullptr;
    m_isMenuOpen = false;
    m_depth = 0;
    m_backdrop->setHidden(true);
    if (wasOpen) {
        emit("closed");
        changed();
    }
}

void HomeScreen::reopenMenu()
{
    if (!m_menu)
        return;
    RefPtr<SBApplication> application = m_menu->application();
    m_menu->removeFromSuperview();
    m_menu = nullptr;
    m_isMenuOpen = false;
    m_depth = 0;
    m_blurredScreen = nullptr;
    m_pressedApplication = application;
    deepenPress(1);
    m_pressedApplication = nullptr;
}
