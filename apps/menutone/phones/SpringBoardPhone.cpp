// `menutone springboard --serve`: the home screen as one of the simulator's
// phones, following a real pointer in real time.

#include <cstdio>
#include <iostream>

#include <corefoundation/CFNotificationCenter.h>
#include <corefoundation/CFRunLoop.h>
#include <corefoundation/Dispatch.h>
#include <homescreen/HomeScreen.h>
#include <store/SettingsStore.h>
#include <uikit/UIViewRendering.h>

#include "phones/PhoneProtocol.h"
#include "preview/Preview.h"
#include "theme/Theme.h"

namespace {

std::vector<AccessibleElement> homeScreenElements(const HomeScreen& home, const SpringBoard& springBoard)
{
    std::vector<AccessibleElement> elements;
    if (auto* menu = home.menu(); menu && home.isMenuOpen()) {
        for (std::size_t i = 0; i < menu->itemViews().size(); ++i) {
            auto& item = menu->itemViews()[i].get();
            std::string title = item.titleLabel() ? item.titleLabel()->text() : std::string();
            elements.push_back({ "item:" + std::to_string(i), title, "button", item.convertRectToView(item.bounds(), nullptr) });
        }
        return elements;
    }
    for (auto& application : springBoard.applications()) {
        CGRect frame = home.iconFrame(application->bundleIdentifier());
        if (frame.size.width > 0)
            elements.push_back({ "icon:" + application->bundleIdentifier(), application->displayName(), "button", frame });
    }
    return elements;
}

// The home screen while the phone runs; a block queued as it ends finds none.
HomeScreen* runningHome = nullptr;

void settingsChanged(CFNotificationCenterRef, void* observer, CFStringRef, const void*, CFDictionaryRef)
{
    // Every observer of this post runs before the main queue's next block, so
    // the menu opens again after the tweak's LoadSettings, whichever of the
    // two observed first.
    auto* home = static_cast<HomeScreen*>(observer);
    dispatch_async(dispatch_get_main_queue(), [home] {
        if (home == runningHome)
            home->reopenMenu();
    });
}

}

ExitStatus runSpringBoardPhone(SpringBoard& springBoard)
{
    HomeScreen home(springBoard);
    runningHome = &home;
    // Once a menu is fully open (and each time it is built again), the page
    // hears whether its title reads on its plate: "contrast RATIO pass|fail".
    RefPtr<SBApplicationShortcutMenu> measuredMenu;
    auto sendFrame = [&] {
        auto picture = imageOfViewHierarchy(home.window());
        std::cout << frameLine(home.window(), picture.get(), homeScreenElements(home, springBoard)) << std::endl;
        if (picture && home.isMenuOpen() && home.menu() != measuredMenu.get()) {
            measuredMenu = home.menu();
            // The plate as the picture just sent shows it: no second drawing.
            auto* menu = home.menu();
            CGRect plate = menu->superview() ? menu->superview()->convertRectToView(menu->frame(), nullptr) : menu->frame();
            auto check = checkTheme(*menu, MenuPicture { *picture, plate });
            char event[64];
            std::snprintf(event, sizeof event, "contrast %.2f %s", check.roles[0].ratio, check.isPassed() ? "pass" : "fail");
            std::cout << eventLine(event) << std::endl;
        }
        if (!home.isMenuOpen())
            measuredMenu = nullptr;
    };
    home.setEventHandler([](const std::string& event) { std::cout << eventLine(event) << std::endl; });
    home.setChangeHandler(sendFrame);
    // An element by its id, touched at its middle.
    auto touchElement = [&](const std::string& id, const std::function<void(CGPoint)>& touch) -> Expected<void> {
        for (auto& element : homeScreenElements(home, springBoard)) {
            if (element.id == id) {
                touch({ CGRectGetMidX(element.frame), CGRectGetMidY(element.frame) });
                sendFrame();
                return {};
            }
        }
        sendFrame();
        return makeError(ErrorKind::NotFound, "no element " + id);
    };
    CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), &home, settingsChanged,
        CFStringMakeConstantString(kMenutoneSettingsChangedNotification), nullptr, CFNotificationSuspensionBehaviorDeliverImmediately);
    runPhoneCommands({
        .touchDown = [&](CGPoint point) { home.touchDown(point); },
        .touchMoved = [&](CGPoint point, UITouch::Seconds heldFor) { home.touchMoved(point, heldFor); },
        .touchUp =
            [&](CGPoint point, UITouch::Seconds heldFor) {
                home.touchUp(point, heldFor);
                sendFrame();
            },
        .scroll =
            [&](CGFloat) {
                sendFrame();
                return Expected<void>();
            },
        .activate = [&](const std::string& id) { return touchElement(id, [&](CGPoint center) { home.tap(center); }); },
        .press = [&](const std::string& id) { return touchElement(id, [&](CGPoint center) { home.fullPress(center); }); },
        .import = nullptr,
        .wallpaper = nullptr,
        .matchWallpaper = [&]() -> Expected<void> {
            // The open menu's plate, else Mail's.
            RefPtr<SBApplicationShortcutMenu> menu = home.isMenuOpen() ? home.menu() : nullptr;
            if (!menu) {
                auto mail = springBoard.applicationWithIdentifier("com.apple.mobilemail");
                if (!mail)
                    return makeError(ErrorKind::NotFound, "no open menu, and no Mail to measure a menu on");
                menu = springBoard.pressIcon(*mail, 1.0).ptr();
            }
            applyTheme(suggestTheme(checkTheme(*menu)));
            return {};
        },
        .home =
            [&] {
                home.closeMenu();
                sendFrame();
            },
        .sendFrame = sendFrame,
    });
    CFNotificationCenterRemoveEveryObserver(CFNotificationCenterGetDarwinNotifyCenter(), &home);
    runningHome = nullptr;
    return ExitStatus::Success;
}
