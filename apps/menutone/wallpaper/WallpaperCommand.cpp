// `menutone wallpaper set FILE|-`, `menutone wallpaper set --built-in NAME`,
// `menutone wallpaper list`: the home screen's wallpaper in the root, set as
// the Settings app sets it.

#include <unistd.h>

#include <iostream>
#include <memory>

#include <CLI/CLI.hpp>

#include <device/FileSystem.h>
#include <springboard/SBWallpaper.h>

#include "Subcommand.h"

namespace {

ExitStatus setWallpaper(const std::string& file, const std::string& builtInName)
{
    Expected<void> done;
    if (!builtInName.empty())
        done = setBuiltInHomeBackground(builtInName);
    else if (file != "-")
        done = setHomeBackgroundFromHostFile(file);
    else {
        auto bytes = device::readStream(STDIN_FILENO);
        if (!bytes) {
            std::cerr << "menutone: wallpaper: standard input: " << bytes.error().message << "\n";
            return ExitStatus::Failure;
        }
        done = setHomeBackgroundFromData(*bytes);
    }
    if (!done) {
        std::cerr << "menutone: wallpaper: " << (builtInName.empty() ? file + ": " : std::string()) << done.error().message
                  << "; the wallpaper was not changed\n";
        return done.error().kind == ErrorKind::NotFound && !builtInName.empty() ? ExitStatus::Usage : ExitStatus::Failure;
    }
    return ExitStatus::Success;
}

}

void addWallpaperCommand(MenutoneCommandLine& line)
{
    struct Arguments {
        std::string file;
        std::string builtInName;
    };
    auto arguments = std::make_shared<Arguments>();
    auto* wallpaper = line.app().add_subcommand("wallpaper", "Set the home screen's wallpaper in the device root");
    wallpaper->require_subcommand(1);
    line.addRootOption(*wallpaper);

    auto* set = wallpaper->add_subcommand("set", "Set a photo (JPEG, PNG, HEIC or WebP; - reads standard input) or a built-in wallpaper");
    auto* file = set->add_option("file", arguments->file, "The photo, cropped to fill the screen");
    std::string names;
    for (auto& builtIn : builtInWallpapers())
        names += std::string(names.empty() ? "" : ", ") + builtIn.name;
    set->add_option("--built-in", arguments->builtInName, "One of the wallpapers the home screen draws itself: " + names)->excludes(file);
    line.addRootOption(*set);
    line.setAction(*set, [arguments] {
        if (arguments->file.empty() && arguments->builtInName.empty()) {
            std::cerr << "menutone: wallpaper set: name a photo (- for standard input) or --built-in NAME\n";
            return ExitStatus::Usage;
        }
        return setWallpaper(arguments->file, arguments->builtInName);
    });

    auto* list = wallpaper->add_subcommand("list", "Print the built-in wallpapers' names");
    line.setAction(
        *list,
        [] {
            for (auto& builtIn : builtInWallpapers())
                std::cout << builtIn.name << "\n";
            return ExitStatus::Success;
        },
        RootUse::None);
}
