#include "Preview.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include <corefoundation/CFNotificationCenter.h>
#include <corefoundation/CFRunLoop.h>
#include <device/DeviceRoot.h>
#include <device/Process.h>
#include <homescreen/SpringBoard.h>
#include <uikit/UIFont.h>

#include "PrintError.h"
#include "phones/PhoneProtocol.h"
#include "plist/PropertyListText.h"
#include <common/JSON.h>

namespace {

JSON iconJSON(const SBSApplicationShortcutItem* item)
{
    if (!item)
        return nullptr;
    const char* kind = item->iconKind() == SBSApplicationShortcutItem::IconKind::File ? "file"
        : item->iconKind() == SBSApplicationShortcutItem::IconKind::System            ? "system"
                                                                                      : "none";
    return { { "kind", kind }, { "name", item->iconName().empty() ? JSON() : JSON(item->iconName()) } };
}

JSON fractionsJSON(const std::vector<double>& fractions)
{
    JSON list = JSON::array();
    for (double fraction : fractions)
        list.push_back(jsonNumber(fraction));
    return list;
}

std::string installedList()
{
    std::string list;
    for (auto& application : SpringBoard::launch().applications())
        list += (list.empty() ? "" : ", ") + application->bundleIdentifier();
    return list.empty() ? "none (menutone root create DIR lays some out)" : list;
}

}

std::string menuJSON(const SBApplicationShortcutMenu& menu, double press)
{
    JSON blurSettings;
    if (auto* settings = menu.blurSettings())
        blurSettings = { { "class", object_getClassName(settings) }, { "hostMade", menu.isBlurSettingsHostMade() } };
    JSON plateJSON;
    if (auto* plate = menu.backgroundView()) {
        CGColorRef border = plate->layer()->borderColor();
        plateJSON = { { "borderWidth", jsonNumber(plate->layer()->borderWidth()) },
            { "borderColor", border ? colorJSON(UIColor::colorWithCGColor(*border).ptr()) : JSON() },
            { "backgroundColor", colorJSON(plate->backgroundColor()) } };
    }
    JSON items = JSON::array();
    for (auto& itemView : menu.itemViews()) {
        auto& item = itemView.get();
        auto* shortcut = item.shortcutItem();
        auto* image = item.iconView() ? item.iconView()->image() : nullptr;
        items.push_back({
            { "type", shortcut ? shortcut->type() : "" },
            { "title", item.titleLabel() ? item.titleLabel()->text() : "" },
            { "subtitle", item.subtitleLabel() ? item.subtitleLabel()->text() : "" },
            { "titleColor", colorJSON(item.titleLabel() ? item.titleLabel()->textColor() : nullptr) },
            { "subtitleColor", colorJSON(item.subtitleLabel() ? item.subtitleLabel()->textColor() : nullptr) },
            { "iconTint", colorJSON(item.iconView() ? item.iconView()->tintColor() : nullptr) },
            { "iconRenderingMode", image ? JSON(static_cast<long>(image->renderingMode())) : JSON() },
            { "titleFont", fontJSON(item.titleLabel() ? item.titleLabel()->font() : nullptr) },
            { "subtitleFont", fontJSON(item.subtitleLabel() ? item.subtitleLabel()->font() : nullptr) },
            { "icon", iconJSON(shortcut) },
            { "userInfo", shortcut && shortcut->userInfo() ? propertyListJSON(*shortcut->userInfo()) : JSON() },
        });
    }
    JSON menuState { { "blurSettings", std::move(blurSettings) }, { "contentFractions", fractionsJSON(menu.contentFractions()) },
        { "peekBlurFractions", fractionsJSON(menu.peekBlurFractions()) }, { "updateBlurFractions", fractionsJSON(menu.updateBlurFractions()) } };
    return jsonText({ { "app", menu.application() ? menu.application()->bundleIdentifier() : "" }, { "press", jsonNumber(press) },
        { "menu", std::move(menuState) }, { "plate", std::move(plateJSON) }, { "items", std::move(items) } });
}

ExitStatus preview(const PreviewOptions& options)
{
    auto& springBoard = SpringBoard::launch();
    auto application = springBoard.applicationWithIdentifier(options.application);
    if (!application) {
        printError("no app " + options.application + " in the root " + DeviceRoot::current().hostFolder().string() + "; installed: " + installedList());
        return ExitStatus::Failure;
    }
    auto menu = springBoard.pressIcon(*application, options.press);
    if (!writeMenuPicture(menu, options.output)) {
        printError("could not write " + options.output);
        return ExitStatus::Failure;
    }
    if (options.isJSON)
        std::cout << menuJSON(menu, options.press) << "\n";
    else
        std::cout << "wrote " << std::filesystem::absolute(options.output).string() << "\n";
    return ExitStatus::Success;
}

namespace {

// A respring: the home screen starts over as a new program image in the same
// process, so the loader injects the tweaks afresh and the pid file still
// names it.
[[noreturn]] void restartHomeScreen()
{
    std::cout << std::flush;
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    std::vector<std::string> arguments;
    for (std::string argument; std::getline(file, argument, '\0');)
        arguments.push_back(argument);
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    ::execv("/proc/self/exe", argv.data());
    std::cerr << "menutone: cannot restart SpringBoard: " << std::strerror(errno) << std::endl;
    std::_Exit(static_cast<int>(ExitStatus::Failure));
}

}

namespace {

bool isPhone = false;

void respringRequested(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef)
{
    std::cout << (isPhone ? "{\"event\":\"respring\"}" : "respring") << std::endl;
    restartHomeScreen();
}

// "DEPTH" of a press: a number from 0 to 1, nothing after it.
std::optional<double> pressDepth(const std::string& text)
{
    char* end = nullptr;
    errno = 0;
    double depth = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || errno != 0 || !(depth >= 0 && depth <= 1))
        return std::nullopt;
    return depth;
}

}

ExitStatus runSpringBoard(HostMode mode)
{
    isPhone = mode == HostMode::Phone;
    // Registered before it starts, so a second home screen of the root loads nothing.
    switch (device::registerHomeScreen()) {
    case device::HomeScreenRegistration::Registered:
        break;
    case device::HomeScreenRegistration::AnotherRuns:
        printError("another SpringBoard runs in " + DeviceRoot::current().hostFolder().string());
        return ExitStatus::Failure;
    case device::HomeScreenRegistration::NoRunFolder:
        printError("the root " + DeviceRoot::current().hostFolder().string() + " has no var/run folder (menutone root create DIR lays one out)");
        return ExitStatus::Failure;
    case device::HomeScreenRegistration::Unwritable:
        printError("cannot write var/run/SpringBoard.pid in " + DeviceRoot::current().hostFolder().string());
        return ExitStatus::Failure;
    }
    auto& springBoard = SpringBoard::launch();
    CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), nullptr, respringRequested,
        CFStringMakeConstantString(device::kRespringNotification), nullptr, CFNotificationSuspensionBehaviorDeliverImmediately);
    if (isPhone) {
        auto status = runSpringBoardPhone(springBoard);
        device::unregisterHomeScreen();
        return status;
    }
    std::string tweaks;
    for (auto& library : springBoard.loadedLibraries())
        tweaks += " " + library.name + (library.isLoaded ? "" : " (not loaded: " + library.reason + ")");
    std::cout << "SpringBoard in " << DeviceRoot::current().hostFolder().string() << " (pid " << ::getpid()
              << "); tweaks:" << (tweaks.empty() ? " none" : tweaks) << std::endl;
    std::cout << "commands: apps | press APP DEPTH [FILE.png] | quit" << std::endl;

    auto handleLine = [&](const std::string& line) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        if (command.empty())
            return;
        if (command == "apps") {
            for (auto& application : springBoard.applications())
                std::cout << application->bundleIdentifier() << "  " << application->displayName() << "  (" << application->shortcutItems().size()
                          << " items)\n";
            std::cout << std::flush;
        } else if (command == "press") {
            std::string identifier, depthText, file, extra;
            words >> identifier >> depthText >> file >> extra;
            auto depth = pressDepth(depthText);
            if (identifier.empty() || !depth || !extra.empty()) {
                std::cerr << "menutone: usage: press APP DEPTH [FILE.png], DEPTH from 0 to 1" << std::endl;
                return;
            }
            auto application = springBoard.applicationWithIdentifier(identifier);
            if (!application) {
                std::cerr << "menutone: no app " << identifier << std::endl;
                return;
            }
            auto menu = springBoard.pressIcon(*application, *depth);
            if (!file.empty() && !writeMenuPicture(menu, file))
                std::cerr << "menutone: could not write " << file << std::endl;
            std::cout << menuJSON(menu, *depth) << std::endl;
        } else
            std::cerr << "menutone: unknown command " << command << "; commands: apps | press APP DEPTH [FILE.png] | quit" << std::endl;
    };
    runLineLoop(handleLine);
    device::unregisterHomeScreen();
    return ExitStatus::Success;
}
