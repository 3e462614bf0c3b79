// `menutone springboard --serve`: the home screen as one of the simulator's
// phones, following a real pointer in real time.

#include <iostream>

#include <corefoundation/CFNotificationCenter.h>
#include <corefoundation/CFRunLoop.h>
#include <homescreen/HomeScreen.h>
#include <shared/SettingsStore.h>

#include "PhoneProtocol.h"
#include "Preview.h"

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

void settingsChanged(CFNotificationCenterRef, void* observer, CFStringRef, const void*, CFDictionaryRef)
{
    // The tweak heard it first (it observed before the home screen did), so
    // the menu opened again shows the new settings.
    static_cast<HomeScreen*>(observer)->reopenMenu();
}

}

ExitStatus runSpringBoardPhone(SpringBoard& springBoard)
{
    HomeScreen home(springBoard);
    auto sendFrame = [&] { std::cout << frameLine(home.window(), homeScreenElements(home, springBoard)) << std::endl; };
    home.setEventHandler([](const std::string& event) { std::cout << eventLine(event) << std::endl; });
    home.setChangeHandler(sendFrame);
    CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), &home, settingsChanged,
        CFStringMakeConstantString(kMenutoneSettingsChangedNotification), nullptr, CFNotificationSuspensionBehaviorDeliverImmediately);
    sendFrame();
    runLineLoop([&](const std::string& line) {
        std::string error;
        auto command = parsePhoneCommand(line, error);
        if (!command) {
            std::cout << errorLine(error) << std::endl;
            return;
        }
        auto& numbers = command->numbers;
        if (command->verb == "down")
            home.touchDown({ numbers[0], numbers[1] });
        else if (command->verb == "move")
            home.touchMoved({ numbers[0], numbers[1] }, UITouch::Seconds(numbers[2]));
        else if (command->verb == "up") {
            home.touchUp({ numbers[0], numbers[1] }, UITouch::Seconds(numbers[2]));
            sendFrame();
        } else if (command->verb == "activate") {
            bool isFound = false;
            for (auto& element : homeScreenElements(home, springBoard)) {
                if (element.id == command->argument) {
                    home.tap({ element.frame.origin.x + element.frame.size.width / 2, element.frame.origin.y + element.frame.size.height / 2 });
                    isFound = true;
                }
            }
            if (!isFound)
                error = "no element " + command->argument;
            sendFrame();
        } else if (command->verb == "frame" || command->verb == "scroll")
            sendFrame();
        else
            error = "the home screen takes no " + command->verb;
        if (!error.empty())
            std::cout << errorLine(error) << std::endl;
    });
    CFNotificationCenterRemoveEveryObserver(CFNotificationCenterGetDarwinNotifyCenter(), &home);
    return ExitStatus::Success;
}
