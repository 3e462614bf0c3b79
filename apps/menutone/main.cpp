// menutone: the off-device system from the shell. Each subcommand registers
// itself (Subcommand.h); this sets up, parses and runs the one asked for.

#include <iostream>

#include <CLI/CLI.hpp>

#include <common/CommandLine.h>

#include "Subcommand.h"

int main(int argc, char** argv)
{
    CLI::App app { "Menutone off the device: edit the settings store and post notifications in a device root.", "menutone" };
    app.require_subcommand(1);
    app.set_version_flag("--version", "menutone 0.1.0");
    app.set_help_all_flag("--help-all", "Print the help of every subcommand");

    MenutoneCommandLine line(app, argc, argv);
    addDefaultsCommand(line);
    addNotifyCommand(line);
    addPreviewCommands(line);
    addSettingsCommand(line);
    addSimulatorCommand(line);
    addAppCommand(line);
    addPlistCommand(line);
    addRootCommand(line);
    addWallpaperCommand(line);
    addThemeCommand(line);
    addIndexCommand(line);
    addCompletionCommand(line);

    readDashGAsGlobalDomain(argc, argv);
    ManPageText manText { "the Menutone tweak, its settings and a device root off the device",
        { { 0, "Success." },
            { static_cast<int>(ExitStatus::Failure),
                "The command failed: a file could not be read or written, a domain or key was not found, an app was refused." },
            { static_cast<int>(ExitStatus::Usage), "The command line was wrong, or the root is not a device root." } },
        {} };
    if (auto status = parseCommandLine(app, "menutone", argc, argv, static_cast<int>(ExitStatus::Usage), manText))
        return *status;
    return line.run();
}
