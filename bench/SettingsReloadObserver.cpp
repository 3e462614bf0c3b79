// SpringBoard's side of the cross-process settings benchmark: loads the
// tweak into this process as the loader does for SpringBoard, then prints a
// line each time the settings change notification has been handled. Its own
// observer is added after the tweak's, and a run loop calls observers in the
// order they were added, so the line comes right after LoadSettings returns.
//   settings-reload-observer ROOT

#include <cstdio>

#include <corefoundation/CFNotificationCenter.h>
#include <corefoundation/CFRunLoop.h>
#include <device/DeviceRoot.h>
#include <homescreen/SpringBoard.h>
#include <store/SettingsStore.h>
#include <substrate/Loader.h>

namespace {

void settingsReloaded(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef)
{
    std::fputs("reloaded\n", stdout);
    std::fflush(stdout);
}

}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: settings-reload-observer ROOT\n", stderr);
        return 2;
    }
    DeviceRoot::setCurrent(argv[1]);
    SpringBoard::launch();
    if (substrate::loadTweakLibraries(SpringBoard::bundleIdentifier, SpringBoard::executableName).empty()) {
        std::fputs("settings-reload-observer: the tweak did not load\n", stderr);
        return 1;
    }
    CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), nullptr, &settingsReloaded,
        CFStringMakeConstantString(kMenutoneSettingsChangedNotification), nullptr, CFNotificationSuspensionBehaviorCoalesce);
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    CFRunLoop::main().run();
}
