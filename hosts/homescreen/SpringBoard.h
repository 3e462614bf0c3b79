#pragma once

// The simulated home screen: it starts as com.apple.springboard, lets the
// loader inject tweak libraries, knows the installed apps, and builds an
// app's shortcut menu when its icon is pressed.

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <substrate/Loader.h>

#include <springboard/SBApplicationShortcutMenu.h>

class SpringBoard {
public:
    static constexpr const char* bundleIdentifier = "com.apple.springboard";
    static constexpr const char* executableName = "SpringBoard";

    // Starts the home screen once per process; later calls give the same one.
    static SpringBoard& launch();

    const std::vector<substrate::LoadedLibrary>& loadedLibraries() const { return m_loadedLibraries; }
    // The installed apps, read when the home screen starts and again each
    // time the installer posts that it installed or removed one.
    const std::vector<Ref<SBApplication>>& applications() const { return m_applications; }
    void reloadApplications();
    // Called after each reload, until removed by the number it gave.
    std::size_t addApplicationsObserver(std::function<void()>) const;
    void removeApplicationsObserver(std::size_t) const;
    RefPtr<SBApplication> applicationWithIdentifier(const std::string&) const;

    // Builds the app's shortcut menu and deepens the press to depth (0..1) in steps.
    Ref<SBApplicationShortcutMenu> pressIcon(SBApplication&, double depth, int steps = 5) const;

private:
    SpringBoard();
    std::vector<substrate::LoadedLibrary> m_loadedLibraries;
    std::vector<Ref<SBApplication>> m_applications;
    // Who is told of a reload (a home screen laying out its icons); not the apps themselves.
    mutable std::map<std::size_t, std::function<void()>> m_applicationsObservers;
    mutable std::size_t m_nextObserver { 1 };
};

// The menu over the wallpaper, at the screen's size and scale, as a PNG: the wallpaper
// blurred and tinted by the menu's blur settings at the blur fraction the
// host last received, the plate, the items and the app's icon.
bool writeMenuPicture(const SBApplicationShortcutMenu&, const std::filesystem::path& hostPath);
// The same picture, and where the menu's plate lies in it (points) at full growth.
struct MenuPicture {
    Ref<UIImage> image;
    CGRect plateFrame;
};
MenuPicture renderMenuPicture(const SBApplicationShortcutMenu&);
