#pragma once

// The Darwin notification centre: system-wide notifications that carry a name
// and nothing else. A post reaches every observer of the name in every process
// that shares the device root, including the posting one, on the observer's
// main run loop; posts of one name made before that loop runs coalesce into
// one call. Posting never blocks and never fails the poster.

#include <functional>
#include <string>
#include <string_view>

#include "CFString.h"

using CFNotificationCenterRef = struct __CFNotificationCenter*;
using CFDictionaryRef = const struct __CFDictionary*;
using CFNotificationCallback = void (*)(CFNotificationCenterRef center, void* observer, CFStringRef name, const void* object, CFDictionaryRef userInfo);

enum CFNotificationSuspensionBehavior : long {
    CFNotificationSuspensionBehaviorDrop = 1,
    CFNotificationSuspensionBehaviorCoalesce = 2,
    CFNotificationSuspensionBehaviorHold = 3,
    CFNotificationSuspensionBehaviorDeliverImmediately = 4,
};

CFNotificationCenterRef CFNotificationCenterGetDarwinNotifyCenter();

// Object, user info and suspension behaviour are accepted and ignored, as the
// Darwin centre does; adding the same observer, callback and name twice
// registers it once.
void CFNotificationCenterAddObserver(
    CFNotificationCenterRef, const void* observer, CFNotificationCallback, CFStringRef name, const void* object, CFNotificationSuspensionBehavior);
void CFNotificationCenterRemoveObserver(CFNotificationCenterRef, const void* observer, CFStringRef name, const void* object);
void CFNotificationCenterRemoveEveryObserver(CFNotificationCenterRef, const void* observer);
void CFNotificationCenterPostNotification(CFNotificationCenterRef, CFStringRef name, const void* object, CFDictionaryRef userInfo, Boolean deliverImmediately);

namespace corefoundation {
// The file a notification name is posted through, under var/run/notify of the root.
inline constexpr const char* notifyFolder = "/var/run/notify";
std::string notificationFileName(std::string_view name);
// Hears every post this process makes, synchronously, before it goes out:
// delivery coalesces, so counting deliveries cannot count posts.
void setPostObserverForTesting(std::function<void(std::string_view name)>);
}
