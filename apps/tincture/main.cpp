// tincture: the colour library from the shell. The subcommands live in
// their groups' files; this sets up the command line and runs the one given.

#include <iostream>

#include <CLI/CLI.hpp>

#include <common/CommandLine.h>
#include <device/DeviceRoot.h>
#include <foundation/NSBundle.h>

#include "Commands.h"
#include "Output.h"

int main(int argc, char** argv)
{
    NSBundle::mainBundle().setBundleIdentifier("com.harbrook.tincture");

    CLI::App app { "Tincture, the flat colour library, from the shell. A COLOR is #RGB, #RGBA, #RRGGBB or #RRGGBBAA; rgb(255 0 0), rgb(255, 0, 0) or "
                   "rgba(...); hsl(0 100% 50%) or hsl(0, 100%, 50%); r,g,b or r,g,b,a in 0..1; hsb(H,S,B) in degrees and percents; a palette name such "
                   "as flatRedColor; or a CSS name such as rebeccapurple. Without a COLOR, colours come on standard input, one a line.",
        "tincture" };
    app.require_subcommand(1);
    app.set_version_flag("--version", "tincture 0.1.0");
    app.set_help_all_flag("--help-all", "Print the help of every subcommand");
    std::string root;
    app.add_option("--root", root, "Device root for the user defaults that keep the last random pick");
    bool isJSON = false;
    app.add_flag("--json", isJSON, "Print JSON: a colour is {\"r\",\"g\",\"b\",\"a\"}, with \"name\" when it is a flat colour");
    std::string formatName;
    const auto formats = CLI::IsMember({ "hex", "rgb", "hsl", "json" });
    app.add_option("--format", formatName, "Colours one a line, for pipelines: hex, rgb, hsl or json")->check(formats);
    std::string colorChoice = "auto";
    const auto colorChoices = CLI::IsMember({ "auto", "always", "never" });
    app.add_option("--color", colorChoice, "Swatches before colours: auto (in a terminal, unless NO_COLOR or TERM=dumb), always or never")->check(colorChoices);

    Commands commands(app);
    Output output;
    addColorCommands(commands, output);
    addImageCommands(commands, output);
    // The colour and image subcommands print through the shared output options.
    for (auto& [command, action] : commands.all()) {
        command->add_flag("--json", isJSON, "Print JSON");
        command->add_option("--format", formatName, "Colours one a line: hex, rgb, hsl or json")->check(formats);
        command->add_option("--color", colorChoice, "Swatches: auto, always or never")->check(colorChoices);
        command->add_option("--root", root, "Device root for the user defaults");
    }
    addFormatCommand(commands);
    addValueCommands(commands);
    std::string shellName;
    auto* completion = app.add_subcommand("completion", "Print a completion script for bash, zsh or fish");
    completion->add_option("SHELL", shellName, "bash, zsh or fish")->required()->check(CLI::IsMember({ "bash", "zsh", "fish" }));

    ManPageText manText { "the Tincture flat colour library from the shell",
        { { 0, "Success." }, { 1, "A file could not be read or written." }, { usageError, "The command line or a colour was wrong." } }, {} };
    if (auto status = parseCommandLine(app, "tincture", argc, argv, usageError, manText))
        return *status;
    if (completion->parsed()) {
        std::cout << completionScript(app, "tincture", *shellNamed(shellName));
        return 0;
    }
    if (!root.empty())
        DeviceRoot::setCurrent(root);
    output.configure(isJSON, formatName, colorChoice);
    return commands.runParsed().value_or(0);
}
