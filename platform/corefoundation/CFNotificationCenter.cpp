#include "CFNotificationCenter.h"

#include <functional>

// Darwin notifications cross processes through the device root: a post
// touches <root>/var/run/notify/<name> and every observing process watches
// that folder with inotify from its main run loop. Over-delivery is harmless
// and loss is not, so an overflowed event queue delivers every observed name.

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>
#include <vector>

#include <device/DarwinNotify.h>
#include <device/DeviceRoot.h>

#include "CFRunLoop.h"

namespace {

struct Observation {
    const void* observer;
    CFNotificationCallback callback;
    CFStringRef name;
    std::string fileName;
};

}

struct __CFNotificationCenter {
    std::mutex lock;
    std::vector<Observation> observations;
    int inotifyFd { -1 };
    int watch { -1 };
    std::filesystem::path watchedFolder;
    CFRunLoop::SourceID source { 0 };

    void watchCurrentRoot();
    void deliverPendingEvents();
};

namespace corefoundation {

std::string notificationFileName(std::string_view name)
{
    return device::notificationFileName(name);
}

}

void __CFNotificationCenter::watchCurrentRoot()
{
    std::filesystem::path folderPath = DeviceRoot::current().hostFolder() / "var/run/notify";
    if (inotifyFd >= 0 && watch >= 0 && folderPath == watchedFolder)
        return;
    device::FileDescriptor folder = device::openNotifyFolder();
    if (!folder.isValid())
        return;
    if (inotifyFd < 0) {
        inotifyFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (inotifyFd < 0) {
            std::perror("CFNotificationCenter: inotify_init1");
            return;
        }
        source = CFRunLoop::main().addFileDescriptorSource(inotifyFd, [this] { deliverPendingEvents(); });
    }
    if (watch >= 0)
        ::inotify_rm_watch(inotifyFd, watch);
    // Through the descriptor, so the watch is on the folder that was opened beneath the root.
    std::string opened = "/proc/self/fd/" + std::to_string(folder.get());
    watch = ::inotify_add_watch(inotifyFd, opened.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_ONLYDIR);
    watchedFolder = folderPath;
    if (watch < 0)
        std::perror("CFNotificationCenter: inotify_add_watch");
}

void __CFNotificationCenter::deliverPendingEvents()
{
    std::set<std::string> posted;
    bool isOverflowed = false;
    bool isWatchLost = false;
    alignas(inotify_event) char buffer[16384];
    while (true) {
        ssize_t length = ::read(inotifyFd, buffer, sizeof buffer);
        if (length <= 0) {
            if (length < 0 && errno == EINTR)
                continue;
            break;
        }
        for (ssize_t offset = 0; offset + static_cast<ssize_t>(sizeof(inotify_event)) <= length;) {
            auto* event = reinterpret_cast<inotify_event*>(buffer + offset);
            if (event->mask & IN_Q_OVERFLOW)
                isOverflowed = true;
            // A watch removed on moving to another root ends with IN_IGNORED too; only the current one matters.
            if ((event->mask & IN_IGNORED) && event->wd == watch)
                isWatchLost = true;
            if (event->len)
                posted.insert(event->name);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }

    std::vector<Observation> observers;
    {
        std::lock_guard guard(lock);
        if (isWatchLost) {
            // The folder went away (a root cleaned by hand); watch the new one.
            watch = -1;
            watchCurrentRoot();
        }
        observers = observations;
    }
    for (auto& observation : observers) {
        if (isOverflowed || posted.contains(observation.fileName))
            observation.callback(this, const_cast<void*>(observation.observer), observation.name, nullptr, nullptr);
    }
}

CFNotificationCenterRef CFNotificationCenterGetDarwinNotifyCenter()
{
    static auto* center = new __CFNotificationCenter;
    return center;
}

void CFNotificationCenterAddObserver(
    CFNotificationCenterRef center, const void* observer, CFNotificationCallback callback, CFStringRef name, const void*, CFNotificationSuspensionBehavior)
{
    if (!center || !callback || !name)
        return;
    std::lock_guard guard(center->lock);
    center->watchCurrentRoot();
    for (auto& observation : center->observations) {
        if (observation.observer == observer && observation.callback == callback && observation.name == name)
            return;
    }
    center->observations.push_back({ observer, callback, name, corefoundation::notificationFileName(CFStringGetCStringPtr(name)) });
}

void CFNotificationCenterRemoveObserver(CFNotificationCenterRef center, const void* observer, CFStringRef name, const void*)
{
    if (!center)
        return;
    std::lock_guard guard(center->lock);
    std::erase_if(
        center->observations, [&](const Observation& observation) { return observation.observer == observer && (!name || observation.name == name); });
}

void CFNotificationCenterRemoveEveryObserver(CFNotificationCenterRef center, const void* observer)
{
    CFNotificationCenterRemoveObserver(center, observer, nullptr, nullptr);
}

namespace {

std::function<void(std::string_view)>& postObserver()
{
    static std::function<void(std::string_view)> observer;
    return observer;
}

}

void corefoundation::setPostObserverForTesting(std::function<void(std::string_view)> observer)
{
    postObserver() = std::move(observer);
}

void CFNotificationCenterPostNotification(CFNotificationCenterRef center, CFStringRef name, const void*, CFDictionaryRef, Boolean)
{
    if (!center || !name)
        return;
    if (auto& observer = postObserver())
        observer(CFStringGetCStringPtr(name));
    device::postNotification(CFStringGetCStringPtr(name));
}
