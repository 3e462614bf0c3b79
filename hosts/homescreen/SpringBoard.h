#pragma once

// The simulated home screen: it starts as com.apple.springboard, lets the
// loader inject tweak libraries, knows the installed apps, and builds an
// app's shortcut menu when its icon is pressed.

#include <filesystem>
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
    // The apps installed when the home screen started, as SpringBoard reads them once.
    const std::vector<Ref<SBApplication>>& applications() const { return m_applications; }
    RefPtr<SBApplication> applicationWithIdentifier(const std::string&) const;

    // Builds the app's shortcut menu and deepens the press to depth (0..1) in steps.
    Ref<SBApplicationShortcutMenu> pressIcon(SBApplication&, double depth, int steps = 5) const;

private:
    SpringBoard();
    std::vector<substrate::LoadedLibrary> m_loadedLibraries;
    std::vector<Ref<SBApplication>> m_applications;
};

// The menu over the wallpaper, at the device's scale, as a PNG: the wallpaper
// blurred and tinted by the menu's blur settings at the blur fraction the
// host last received, the plate, the items and the app's icon.
bool writeMenuPicture(const SBApplicationShortcutMenu&, const std::filesystem::path& hostPath);
inline constexpr double deviceScale = 2;
