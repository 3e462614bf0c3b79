// `menutone theme check [--app ID] [--json]` and `menutone theme suggest
// [--app ID] [--apply] [--json]`: whether the menu's colours read on its
// plate over the wallpaper, and colours from the flat palette that do.

#include <iostream>
#include <memory>

#include <CLI/CLI.hpp>

#include <homescreen/SpringBoard.h>
#include <store/PaletteIndex.h>

#include "Subcommand.h"
#include "theme/Theme.h"

namespace {

struct ThemeArguments {
    std::string application { "com.apple.mobilemail" };
    bool isJSON { false };
    bool isApplied { false };
};

std::optional<ThemeCheck> checkApplication(const std::string& identifier)
{
    auto& springBoard = SpringBoard::launch();
    auto application = springBoard.applicationWithIdentifier(identifier);
    if (!application) {
        std::cerr << "menutone: theme: no app " << identifier << " in the root\n";
        return std::nullopt;
    }
    return checkTheme(springBoard.pressIcon(*application, 1.0));
}

ExitStatus runCheck(const ThemeArguments& arguments)
{
    auto check = checkApplication(arguments.application);
    if (!check)
        return ExitStatus::Usage;
    std::cout << (arguments.isJSON ? themeCheckJSON(*check).dump() + "\n" : themeCheckText(*check));
    return check->isPassed() ? ExitStatus::Success : ExitStatus::Failure;
}

ExitStatus runSuggest(const ThemeArguments& arguments)
{
    auto check = checkApplication(arguments.application);
    if (!check)
        return ExitStatus::Usage;
    auto choices = suggestTheme(*check);
    JSON list = JSON::array();
    for (auto& choice : choices) {
        if (arguments.isJSON) {
            list.push_back(
                { { "role", choice.role }, { "key", choice.key }, { "index", choice.index }, { "label", kColorNames[static_cast<std::size_t>(choice.index)] },
                    { "color", choice.color.hex() }, { "ratio", jsonNumber(choice.ratio) }, { "echoes", choice.accent.hex() } });
            continue;
        }
        char line[240];
        std::snprintf(line, sizeof line, "%-9s %-18s (index %2ld)  %s  %.2f:1 on the plate %s, echoing the wallpaper's %s\n", choice.role,
            kColorNames[static_cast<std::size_t>(choice.index)], choice.index, choice.color.hex().c_str(), choice.ratio, check->plate.hex().c_str(),
            choice.accent.hex().c_str());
        std::cout << line;
    }
    if (arguments.isJSON)
        std::cout << JSON { { "plate", check->plate.hex() }, { "choices", std::move(list) }, { "applied", arguments.isApplied } }.dump() << "\n";
    if (arguments.isApplied) {
        applyTheme(choices);
        if (!arguments.isJSON)
            std::cout << "applied: written to the store, with its notification\n";
    }
    return ExitStatus::Success;
}

}

void addThemeCommand(MenutoneCommandLine& line)
{
    auto arguments = std::make_shared<ThemeArguments>();
    auto* theme = line.app().add_subcommand("theme", "Whether the shortcut menu's colours read on its plate over the wallpaper, and colours that do");
    theme->require_subcommand(1);
    line.addRootOption(*theme);
    auto* check = theme->add_subcommand("check",
        "The plate's colour as drawn, and the WCAG 2 ratio and APCA Lc of the title, subtitle and icon on it; "
        "exit 1 below 4.5:1 for titles or 3:1 for subtitles and icons");
    auto* suggest = theme->add_subcommand("suggest",
        "Title, subtitle and icon colours from the 48 flat colours that pass on the plate and echo the "
        "wallpaper's accents");
    suggest->add_flag("--apply", arguments->isApplied, "Write them to the store (and turn the presets off), with its notification");
    for (auto* command : { check, suggest }) {
        command->add_option("--app", arguments->application, "The app whose menu is measured (default com.apple.mobilemail)");
        command->add_flag("--json", arguments->isJSON, "Print JSON");
        line.addRootOption(*command);
        line.addDeviceOption(*command);
    }
    line.setAction(*check, [arguments] { return runCheck(*arguments); });
    line.setAction(*suggest, [arguments] { return runSuggest(*arguments); });
}
