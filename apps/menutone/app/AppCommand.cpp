// `menutone app install|list|remove`.

#include <memory>

#include <CLI/CLI.hpp>

#include "AppInstall.h"
#include "Subcommand.h"

void addAppCommand(MenutoneCommandLine& line)
{
    struct Arguments {
        std::string app;
        bool isJSON { false };
    };
    auto arguments = std::make_shared<Arguments>();
    auto* app = line.app().add_subcommand("app", "Install, list and remove apps in the root, as the device's installer does");
    app->require_subcommand(1);
    auto* install = app->add_subcommand("install", "Install an .app folder or an .ipa archive (Payload/NAME.app) into Applications/");
    install->add_option("PATH", arguments->app, "The .app folder or .ipa file")->required();
    line.setAction(*install, [arguments] { return appInstall(arguments->app); });
    auto* list = app->add_subcommand("list", "List the installed apps");
    list->add_flag("--json", arguments->isJSON, "Print JSON");
    line.setAction(*list, [arguments] { return appList(arguments->isJSON); });
    auto* remove = app->add_subcommand("remove", "Remove an installed app");
    remove->add_option("ID", arguments->app, "Its bundle identifier")->required();
    line.setAction(*remove, [arguments] { return appRemove(arguments->app); });
    line.completeArguments(*remove, { CompletionSource::Apps });
    for (auto* command : { app, install, list, remove })
        line.addRootOption(*command);
}
