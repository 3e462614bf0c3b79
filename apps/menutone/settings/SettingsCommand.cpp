// `menutone settings`: the headless Settings app, or the simulator's phone.

#include <memory>

#include <CLI/CLI.hpp>

#include "Settings.h"
#include "Subcommand.h"

void addSettingsCommand(MenutoneCommandLine& line)
{
    struct Arguments {
        SettingsOptions options;
        bool isPhone { false };
    };
    auto arguments = std::make_shared<Arguments>();
    auto* settings = line.app().add_subcommand("settings",
        std::string("Run the Settings app's Menutone screens without a display; line commands come from --do, else stdin\n") + kSettingsCommandHelp);
    settings->add_option("--do", arguments->options.commands, "A command to run; repeat for several (then stdin is not read)");
    settings->add_flag("--json", arguments->options.isJSON, "Print show as JSON");
    settings->add_option("--png", arguments->options.picture, "Draw the screen into this PNG file at every show");
    settings->add_flag("--serve", arguments->isPhone, "Be one of the simulator's phones: touches in, pictures out (JSON lines)");
    line.addRootOption(*settings);
    line.setAction(*settings, [arguments] { return arguments->isPhone ? runSettingsPhone() : runSettings(arguments->options); });
}
