// `menutone settings --serve`: the Settings app as one of the simulator's
// phones, following a real pointer in real time.

#include <iostream>

#include <corefoundation/CFNotificationCenter.h>
#include <corefoundation/CFRunLoop.h>
#include <foundation/NSDictionary.h>
#include <preferences/PSListController.h>
#include <settingsapp/ScreenSnapshot.h>
#include <settingsapp/SettingsApp.h>
#include <springboard/SBWallpaper.h>
#include <store/SettingsStore.h>
#include <uikit/UIApplication.h>
#include <uikit/UIViewAnimation.h>

#include "phones/PhoneProtocol.h"
#include "settings/Settings.h"

namespace {

// Changes a touch sets off later (an alert shown from the main queue, a
// tint applied after a delay) are in the picture sent this long after it.
constexpr auto settleDelay = std::chrono::milliseconds(350);

std::vector<AccessibleElement> settingsElements(const SettingsApp& app)
{
    std::vector<AccessibleElement> elements;
    // While a screen slides in or out nothing answers touches, so nothing is offered.
    if (UIApplication::sharedApplication().isIgnoringInteractionEvents())
        return elements;
    auto screen = ScreenSnapshot::capture(app);
    // An alert is modal: only its buttons answer.
    if (screen.alert) {
        for (std::size_t i = 0; i < screen.alert->buttons.size() && i < screen.alert->buttonFrames.size(); ++i)
            elements.push_back({ "alert:" + std::to_string(i), screen.alert->buttons[i], "button", screen.alert->buttonFrames[i] });
        return elements;
    }
    auto barButton = [&](const std::optional<BarButtonSnapshot>& button, const std::string& id, const std::string& fallbackName) {
        if (button && button->frame.size.width > 0)
            elements.push_back({ id,
                !button->accessibilityLabel.empty() ? button->accessibilityLabel
                    : button->title.empty()         ? fallbackName
                                                    : button->title,
                "button", button->frame });
    };
    if (screen.sheet) {
        barButton(screen.sheet->leftBarButton, "bar:left", "Cancel");
        barButton(screen.sheet->rightBarButton, "bar:right", "Send");
        return elements;
    }
    barButton(screen.backButton, "back", "Back");
    barButton(screen.leftBarButton, "bar:left", "Left");
    barButton(screen.rightBarButton, "bar:right", "Right");
    for (std::size_t s = 0; s < screen.sections.size(); ++s) {
        for (std::size_t r = 0; r < screen.sections[s].rows.size(); ++r) {
            auto& row = screen.sections[s].rows[r];
            std::string path = std::to_string(s) + ":" + std::to_string(r);
            auto& accessory = row.accessory;
            if (accessory.kind == AccessorySnapshot::Kind::Switch) {
                AccessibleElement toggle { "switch:" + path, row.text, "switch", accessory.frame, row.takesTouches };
                toggle.isChecked = accessory.isOn;
                elements.push_back(toggle);
            } else if (accessory.kind == AccessorySnapshot::Kind::Segments) {
                double width = accessory.frame.size.width / static_cast<double>(std::max<std::size_t>(accessory.segments.size(), 1));
                for (std::size_t i = 0; i < accessory.segments.size(); ++i) {
                    CGRect frame = accessory.frame;
                    frame.origin.x += width * static_cast<double>(i);
                    frame.size.width = width;
                    AccessibleElement segment { "segment:" + std::to_string(i), accessory.segments[i], "radio", frame };
                    segment.isChecked = static_cast<long>(i) == accessory.selectedSegment;
                    elements.push_back(segment);
                }
            }
            if (!row.text.empty() && accessory.kind != AccessorySnapshot::Kind::Switch)
                elements.push_back({ "row:" + path, row.text, "button", row.frame, row.takesTouches });
        }
    }
    return elements;
}

Expected<void> activate(SettingsApp& app, const std::string& id)
{
    auto after = [&](std::string_view prefix) { return id.substr(prefix.size()); };
    if (id.starts_with("row:"))
        return app.tapRow(after("row:"));
    if (id.starts_with("switch:")) {
        auto* table = app.topTable();
        long section = 0, row = 0;
        if (std::sscanf(after("switch:").c_str(), "%ld:%ld", &section, &row) != 2 || !table || !table->cellForRow(section, row))
            return makeError(ErrorKind::NotFound, "no switch " + id);
        auto* toggle = objc_dynamicCast<UISwitch>(table->cellForRow(section, row)->accessoryView());
        if (!toggle)
            return makeError(ErrorKind::NotFound, "no switch " + id);
        return app.setSwitch(after("switch:"), !toggle->isOn());
    }
    if (id.starts_with("segment:"))
        return app.selectSegment(std::atol(after("segment:").c_str()));
    if (id.starts_with("alert:"))
        return app.tapAlertButton(after("alert:"));
    if (id == "back")
        return app.goBack();
    if (id == "bar:left" || id == "bar:right")
        return app.tapBarButton(id == "bar:left" ? SettingsApp::BarSide::Left : SettingsApp::BarSide::Right);
    return makeError(ErrorKind::NotFound, "no element " + id);
}

// A store from outside: read with the store's own reader, refused whole if
// malformed, else written atomically and posted as a change.
Expected<void> importStore(SettingsApp& app, const std::string& hostPath)
{
    auto store = NSDictionary::dictionaryWithContentsOfHostFile(hostPath);
    if (!store)
        return makeError(ErrorKind::Malformed, "not a settings store: the file is not a property list with a dictionary at its root");
    if (!SettingsStore::replace(*store))
        return makeError(ErrorKind::Failed, "cannot write " + std::string(kMenutoneSettingsPath));
    if (auto* list = objc_dynamicCast<PSListController>(app.topViewController()))
        list->reloadSpecifiers();
    return {};
}

// The wallpaper as Settings sets it: a photo staged at a host path (read
// with the bounded readers), or a built-in one by name.
Expected<void> setWallpaper(const std::string& fileOrName)
{
    if (!fileOrName.starts_with("/"))
        return setBuiltInHomeBackground(fileOrName);
    return setHomeBackgroundFromHostFile(fileOrName);
}

}

ExitStatus runSettingsPhone()
{
    auto& app = SettingsApp::launch();
    if (auto opened = app.openEntry("MenutoneSettings"); !opened) {
        std::cout << errorLine(opened.error().message) << std::endl;
        return ExitStatus::Failure;
    }
    auto& loop = CFRunLoop::main();
    auto sendFrame = [&] { std::cout << frameLine(app.window(), settingsElements(app)) << std::endl; };
    std::optional<CFRunLoop::SourceID> settleTimer;
    auto sendFrameNowAndSettled = [&] {
        sendFrame();
        if (settleTimer)
            loop.cancelTimer(*settleTimer);
        settleTimer = loop.addTimer(loop.now() + settleDelay, [&] {
            settleTimer.reset();
            sendFrame();
        });
    };
    // An animation (a switch sliding, a row's grey fading) reaches the page as
    // frames: at most 30 a second while it runs, and always its end.
    constexpr auto animationFrameInterval = std::chrono::milliseconds(33);
    Nanoseconds lastAnimationFrame {};
    UIViewAnimation::setFrameHandler([&] {
        if (UIViewAnimation::isAnimating() && loop.now() - lastAnimationFrame < animationFrameInterval)
            return;
        lastAnimationFrame = loop.now();
        sendFrame();
    });
    runPhoneCommands({
        .touchDown =
            [&](CGPoint point) {
                // A touched row greys and a touched bar button dims at once.
                app.touchDown(point);
                sendFrame();
            },
        .touchMoved = [&](CGPoint point, UITouch::Seconds heldFor) { app.touchMoved(point, heldFor); },
        .touchUp =
            [&](CGPoint point, UITouch::Seconds heldFor) {
                app.touchUp(point, heldFor);
                sendFrameNowAndSettled();
            },
        .scroll =
            [&](CGFloat dy) {
                auto scrolled = app.scroll(dy);
                sendFrame();
                return scrolled;
            },
        .activate =
            [&](const std::string& id) {
                auto activated = activate(app, id);
                sendFrameNowAndSettled();
                return activated;
            },
        .press = nullptr,
        .import =
            [&](const std::string& hostPath) {
                // Answered either way: the simulator waits for it.
                auto imported = importStore(app, hostPath);
                std::cout << replyLine("import", imported ? std::nullopt : std::optional(imported.error().message)) << std::endl;
                sendFrameNowAndSettled();
                return Expected<void>();
            },
        .wallpaper =
            [&](const std::string& fileOrName) {
                auto set = setWallpaper(fileOrName);
                std::cout << replyLine("wallpaper", set ? std::nullopt : std::optional(set.error().message)) << std::endl;
                return Expected<void>();
            },
        .matchWallpaper = nullptr,
        .home =
            [&] {
                app.pressHome();
                sendFrameNowAndSettled();
            },
        .sendFrame = sendFrame,
    });
    UIViewAnimation::setFrameHandler(nullptr);
    return ExitStatus::Success;
}
