#include "SpringBoard.h"

#include <algorithm>

#include <corefoundation/CFNotificationCenter.h>
#include <foundation/NSBundle.h>
#include <objc/MessageSend.h>

SpringBoard& SpringBoard::launch()
{
    static SpringBoard* springBoard = new SpringBoard;
    return *springBoard;
}

SpringBoard::SpringBoard()
{
    NSBundle::mainBundle().setBundleIdentifier(bundleIdentifier);
    m_loadedLibraries = substrate::loadTweakLibraries(bundleIdentifier, executableName);
    m_applications = SBApplication::installedApplications();
    auto installerPosted = [](CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef) { SpringBoard::launch().reloadApplications(); };
    for (const char* name : { kApplicationInstalledNotification, kApplicationUninstalledNotification })
        CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), this, installerPosted, CFStringMakeConstantString(name), nullptr,
            CFNotificationSuspensionBehaviorCoalesce);
}

void SpringBoard::reloadApplications()
{
    m_applications = SBApplication::installedApplications();
    // A copy: an observer may remove itself.
    auto observers = m_applicationsObservers;
    for (auto& [number, observer] : observers)
        observer();
}

std::size_t SpringBoard::addApplicationsObserver(std::function<void()> observer) const
{
    m_applicationsObservers.emplace(m_nextObserver, std::move(observer));
    return m_nextObserver++;
}

void SpringBoard::removeApplicationsObserver(std::size_t number) const
{
    m_applicationsObservers.erase(number);
}

RefPtr<SBApplication> SpringBoard::applicationWithIdentifier(const std::string& identifier) const
{
    for (auto& application : applications()) {
        if (application->bundleIdentifier() == identifier)
            return application.ptr();
    }
    return nullptr;
}

Ref<SBApplicationShortcutMenu> SpringBoard::pressIcon(SBApplication& application, double depth, int steps) const
{
    depth = std::clamp(depth, 0.0, 1.0);
    RefPtr<NSObject> instance = class_createInstance(SBApplicationShortcutMenu::objcClass());
    id made = objc_msgSend<MenuInit>(instance.get(), sel_registerName(menuInitSelector), CGRectMake(62.5, 60, menuWidth, 0), static_cast<id>(&application),
        static_cast<id>(nullptr), static_cast<id>(nullptr), std::int64_t(1));
    RefPtr<SBApplicationShortcutMenu> menu = objc_dynamicCast<SBApplicationShortcutMenu>(made);
    OBJC_ASSERT(menu, "the shortcut menu's initialiser gave no menu");
    for (int step = 1; step <= steps; ++step) {
        double fraction = depth * step / steps;
        objc_msgSend<void(double, double)>(menu.get(), sel_registerName(peekSelector), fraction, fraction);
        objc_msgSend<void(double)>(menu.get(), sel_registerName(updateBackgroundSelector), fraction);
    }
    return menu.releaseNonNull();
}
