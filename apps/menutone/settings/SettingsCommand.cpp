// `menutone settings`: the headless Settings app, or the simulator's phone.

#include <algorithm>
#include <memory>

#include <CLI/CLI.hpp>

#include "Settings.h"
#include "Subcommand.h"

namespace {

// A --do line must start with a command; its verbs, in braces, are what
// completion offers.
CLI::Validator settingsVerbCheck()
{
    std::string verbs;
    for (auto& entry : kSettingsCommandVerbs)
        verbs += (verbs.empty() ? "" : ",") + std::string(entry.verb);
    return CLI::Validator(
        [](std::string& line) -> std::string {
            std::string verb = line.substr(0, line.find(' '));
            bool isVerb = std::any_of(std::begin(kSettingsCommandVerbs), std::end(kSettingsCommandVerbs), [&](auto& entry) { return verb == entry.verb; });
            return isVerb ? std::string() : "unknown command \"" + verb + "\"; " + settingsCommandHelp().substr(0, settingsCommandHelp().find('\n'));
        },
        "{" + verbs + "}");
}

}

void addSettingsCommand(MenutoneCommandLine& line)
{
    struct Arguments {
        SettingsOptions options;
        bool isPhone { false };
    };
    auto arguments = std::make_shared<Arguments>();
    auto* settings = line.app().add_subcommand("settings",
        std::string("Run the Settings app's Menutone screens without a display; line commands come from --do, else stdin\n") + settingsCommandHelp());
    settings->add_option("--do", arguments->options.commands, "A command to run; repeat for several (then stdin is not read)")->check(settingsVerbCheck());
    settings->add_flag("--json", arguments->options.isJSON, "Print show as JSON");
    settings->add_option("--png", arguments->options.picture, "Draw the screen into this PNG file at every show");
    settings->add_flag("--serve", arguments->isPhone, "Be one of the simulator's phones: touches in, pictures out (JSON lines)");
    line.addRootOption(*settings);
    line.addDeviceOption(*settings);
    line.setAction(*settings, [arguments] { return arguments->isPhone ? runSettingsPhone() : runSettings(arguments->options); });
}
