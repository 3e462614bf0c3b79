#include "Notify.h"

#include <chrono>
#include <iostream>

#include <corefoundation/CFNotificationCenter.h>
#include <corefoundation/CFRunLoop.h>

#include "PrintError.h"

ExitStatus postNotification(const std::string& name)
{
    if (name.empty()) {
        printError("a notification needs a name");
        return ExitStatus::Usage;
    }
    CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), CFStringMakeConstantString(name.c_str()), nullptr, nullptr, true);
    return ExitStatus::Success;
}

namespace {
unsigned deliveredCount = 0;
unsigned wantedCount = 0;
}

ExitStatus waitForNotification(const std::string& name, unsigned count, double timeoutSeconds)
{
    if (name.empty()) {
        printError("a notification needs a name");
        return ExitStatus::Usage;
    }
    wantedCount = count;
    CFNotificationCenterAddObserver(
        CFNotificationCenterGetDarwinNotifyCenter(), nullptr,
        [](CFNotificationCenterRef, void*, CFStringRef delivered, const void*, CFDictionaryRef) {
            std::cout << "received " << CFStringGetCStringPtr(delivered) << std::endl;
            if (++deliveredCount == wantedCount)
                CFRunLoop::main().stop();
        },
        CFStringMakeConstantString(name.c_str()), nullptr, CFNotificationSuspensionBehaviorCoalesce);
    std::cout << "waiting for " << name << std::endl;
    bool isTimedOut = false;
    if (timeoutSeconds > 0) {
        auto timeout = std::chrono::duration_cast<Nanoseconds>(std::chrono::duration<double>(timeoutSeconds));
        CFRunLoop::main().addTimer(CFRunLoop::main().now() + timeout, [&] {
            isTimedOut = true;
            CFRunLoop::main().stop();
        });
    }
    CFRunLoop::main().run();
    if (isTimedOut) {
        printError("no " + name + " within " + std::to_string(timeoutSeconds) + " seconds");
        return ExitStatus::Failure;
    }
    return ExitStatus::Success;
}
