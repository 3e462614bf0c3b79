// A second process for the notification tests: posts a name, or observes one
// and reports each delivery on stdout.
//   notify-peer-for-testing ROOT post NAME
//   notify-peer-for-testing ROOT observe NAME COUNT

#include <cstdio>
#include <cstdlib>
#include <string>

#include <corefoundation/CFNotificationCenter.h>
#include <corefoundation/CFRunLoop.h>
#include <device/DeviceRoot.h>

namespace {
int deliveries = 0;
int expected = 0;
}

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    DeviceRoot::setCurrent(argv[1]);
    std::string mode = argv[2];
    CFStringRef name = CFStringMakeConstantString(argv[3]);
    auto* center = CFNotificationCenterGetDarwinNotifyCenter();
    if (mode == "post") {
        CFNotificationCenterPostNotification(center, name, nullptr, nullptr, true);
        return 0;
    }
    if (mode != "observe" || argc < 5)
        return 2;
    expected = std::atoi(argv[4]);
    CFNotificationCenterAddObserver(
        center, nullptr,
        [](CFNotificationCenterRef, void*, CFStringRef name, const void*, CFDictionaryRef) {
            std::printf("delivered %s\n", CFStringGetCStringPtr(name));
            std::fflush(stdout);
            if (++deliveries == expected)
                CFRunLoop::main().stop();
        },
        name, nullptr, CFNotificationSuspensionBehaviorCoalesce);
    std::printf("ready\n");
    std::fflush(stdout);
    // Give up rather than hang a test run if nothing comes.
    CFRunLoop::main().addTimer(CFRunLoop::main().now() + std::chrono::seconds(20), [] { std::exit(3); });
    CFRunLoop::main().run();
    return 0;
}
