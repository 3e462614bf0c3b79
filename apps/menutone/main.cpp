// menutone: the off-device system from the shell.

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <set>
#include <string_view>

#include <CLI/CLI.hpp>

#include <device/DeviceRoot.h>
#include <device/InstallLayout.h>

#include "../common/CommandLine.h"
#include "AppInstall.h"
#include "Defaults.h"
#include "PlistTool.h"
#include "Preview.h"
#include "Settings.h"
#include "simulator/Simulator.h"

int main(int argc, char** argv)
{
    CLI::App app { "Menutone off the device: edit the settings store and post notifications in a device root.", "menutone" };
    app.require_subcommand(1);
    app.set_version_flag("--version", "menutone 0.1.0");
    app.set_help_all_flag("--help-all", "Print the help of every subcommand");

    std::optional<std::string> root;
    // The default named as this copy of the command finds it: the build's root, or the installed one.
    // The man page, made in the build tree, is for the installed command.
    bool isManPage = argc >= 2 && std::string_view(argv[1]) == "--man-page";
    std::string rootHelp = "Device root folder (default: $MENUTONE_ROOT, else "
        + (isManPage                    ? std::string("$XDG_DATA_HOME/menutone/root, by default ~/.local/share/menutone/root")
                : device::isBuildTree() ? "the root the build lays out, " + device::defaultRootFolder().string()
                                        : device::defaultRootFolder().string())
        + ")";
    auto addRootOption = [&](CLI::App* command) { command->add_option("--root", root, rootHelp); };
    addRootOption(&app);

    DefaultsOptions options;
    auto* defaults = app.add_subcommand("defaults", "Read and edit a preferences domain, as Apple's defaults tool does");
    defaults->require_subcommand(1);
    addRootOption(defaults);

    std::string domain;
    std::optional<std::string> key;
    auto* read = defaults->add_subcommand("read", "Print a domain, or one key of it; every domain with none");
    read->add_option("domain", domain, "Domain, such as com.harbrook.Menutone, or a plist path within the root");
    read->add_option("key", key, "Key to print");
    read->add_flag("--json", options.isJSON, "Print JSON");
    read->add_flag("--resolved", options.isResolved, "Print every Menutone key as the tweak reads it, defaults filled in");
    addRootOption(read);

    // Values such as -bool are the defaults tool's spelling, not options: they are read from the extras.
    auto* write = defaults->add_subcommand("write",
        "Set one key: write DOMAIN KEY [-bool|-int|-float|-string|-data|-date|-color] VALUE, KEY -array|-array-add VALUE..., "
        "or KEY -dict|-dict-add KEY VALUE...; -g is the global domain");
    write->allow_extras();
    bool isQuiet = false;
    write->add_flag("--no-notify", isQuiet, "Do not post com.harbrook.Menutone.notify after writing that domain");
    addRootOption(write);

    auto* remove = defaults->add_subcommand("delete", "Remove one key, or the whole domain");
    remove->add_option("domain", domain, "Domain")->required();
    remove->add_option("key", key, "Key to remove");
    remove->add_flag("--no-notify", isQuiet, "Do not post com.harbrook.Menutone.notify after changing that domain");
    addRootOption(remove);

    std::string word, file, newKey;
    auto* domainsCommand = defaults->add_subcommand("domains", "List the domains of the root");
    auto* findCommand = defaults->add_subcommand("find", "Print the keys whose names or strings contain WORD, in every domain");
    findCommand->add_option("WORD", word, "The word, matched ignoring case")->required();
    auto* exportCommand = defaults->add_subcommand("export", "Write a domain as an XML property list to FILE, or standard output for -");
    exportCommand->add_option("domain", domain, "Domain")->required();
    exportCommand->add_option("FILE", file, "File, or - for standard output")->required();
    auto* importCommand = defaults->add_subcommand("import", "Replace a domain with the XML or binary property list of FILE, or standard input for -");
    importCommand->add_option("domain", domain, "Domain")->required();
    importCommand->add_option("FILE", file, "File, or - for standard input")->required();
    importCommand->add_flag("--no-notify", isQuiet, "Do not post com.harbrook.Menutone.notify after changing that domain");
    auto* readTypeCommand = defaults->add_subcommand("read-type", "Print the type of a key's value");
    readTypeCommand->add_option("domain", domain, "Domain")->required();
    readTypeCommand->add_option("key", key, "Key")->required();
    auto* renameCommand = defaults->add_subcommand("rename", "Rename a key, keeping its value");
    renameCommand->add_option("domain", domain, "Domain")->required();
    renameCommand->add_option("old", key, "The key")->required();
    renameCommand->add_option("new", newKey, "Its new name")->required();
    renameCommand->add_flag("--no-notify", isQuiet, "Do not post com.harbrook.Menutone.notify after changing that domain");
    for (auto* command : { domainsCommand, findCommand, exportCommand, importCommand, readTypeCommand, renameCommand })
        addRootOption(command);

    std::string name;
    bool isWaiting = false;
    unsigned waitCount = 0;
    double timeoutSeconds = 0;
    auto* notify = app.add_subcommand("notify", "Post a Darwin notification in the device root, or wait for one");
    notify->add_option("name", name, "Notification name, such as com.harbrook.Menutone.notify")->required();
    notify->add_flag("--wait", isWaiting, "Wait for the notification and print each delivery instead of posting");
    notify->add_option("--count", waitCount, "With --wait: end after this many deliveries (default: never)");
    notify->add_option("--timeout", timeoutSeconds, "With --wait: fail after this many seconds (default: never)")->check(CLI::NonNegativeNumber);
    addRootOption(notify);

    PreviewOptions previewOptions;
    auto* previewCommand = app.add_subcommand("preview", "Press an app's icon in a simulated SpringBoard with the tweak injected and draw its shortcut menu");
    previewCommand->add_option("--app", previewOptions.application, "Bundle identifier of the app (default com.apple.mobileslideshow)");
    previewCommand->add_option("--press", previewOptions.press, "Press depth, 0 to 1 (default 1, a full press)")
        ->check(CLI::Validator(
            [](std::string& text) {
                char* end = nullptr;
                double depth = std::strtod(text.c_str(), &end);
                bool isDepth = !text.empty() && *end == '\0' && depth >= 0 && depth <= 1;
                return isDepth ? std::string() : "expects a number from 0 to 1, not '" + text + "'";
            },
            "0..1"));
    previewCommand->add_option("-o,--output", previewOptions.output, "PNG file to write (default menu.png)");
    previewCommand->add_flag("--json", previewOptions.isJSON, "Print what was built as JSON");
    addRootOption(previewCommand);

    auto* springboard = app.add_subcommand("springboard", "Run the home screen; commands on stdin: apps, press APP DEPTH [FILE.png], quit");
    bool isSpringBoardPhone = false;
    springboard->add_flag("--serve", isSpringBoardPhone, "Be one of the simulator's phones: touches in, pictures out (JSON lines)");
    addRootOption(springboard);

    SettingsOptions settingsOptions;
    auto* settingsCommand = app.add_subcommand("settings",
        std::string("Run the Settings app's Menutone screens without a display; line commands come from --do, else stdin\n") + kSettingsCommandHelp);
    settingsCommand->add_option("--do", settingsOptions.commands, "A command to run; repeat for several (then stdin is not read)");
    settingsCommand->add_flag("--json", settingsOptions.isJSON, "Print show as JSON");
    settingsCommand->add_option("--png", settingsOptions.picture, "Draw the screen into this PNG file at every show");
    bool isSettingsPhone = false;
    settingsCommand->add_flag("--serve", isSettingsPhone, "Be one of the simulator's phones: touches in, pictures out (JSON lines)");
    addRootOption(settingsCommand);

    SimulatorOptions simulatorOptions;
    auto* simulatorCommand
        = app.add_subcommand("simulator", "Serve a page on 127.0.0.1 with the Settings app and the home screen side by side, live; open the address it prints");
    simulatorCommand->add_option("--port", simulatorOptions.port, "Port to listen on (default 8080; 0 picks a free one)")->check(CLI::Range(0, 65535));
    addRootOption(simulatorCommand);

    std::string appArgument;
    bool isAppListJSON = false;
    auto* appCommand = app.add_subcommand("app", "Install, list and remove apps in the root, as the device's installer does");
    appCommand->require_subcommand(1);
    auto* appInstallCommand = appCommand->add_subcommand("install", "Install an .app folder or an .ipa archive (Payload/NAME.app) into Applications/");
    appInstallCommand->add_option("PATH", appArgument, "The .app folder or .ipa file")->required();
    auto* appListCommand = appCommand->add_subcommand("list", "List the installed apps");
    appListCommand->add_flag("--json", isAppListJSON, "Print JSON");
    auto* appRemoveCommand = appCommand->add_subcommand("remove", "Remove an installed app");
    appRemoveCommand->add_option("ID", appArgument, "Its bundle identifier")->required();
    for (auto* command : { appCommand, appInstallCommand, appListCommand, appRemoveCommand })
        addRootOption(command);

    auto* plistCommandLine = app.add_subcommand("plist", "Print, check, convert and edit any property-list file, as Apple's plutil does (plist -help)");
    plistCommandLine->prefix_command();
    plistCommandLine->set_help_flag();

    std::string rootFolder;
    auto* rootCommand = app.add_subcommand("root", "Lay out a device root, or print the default one");
    rootCommand->require_subcommand(1);
    auto* rootCreate = rootCommand->add_subcommand("create", "Lay out a root as the package install does: sample apps and the tweak");
    rootCreate->add_option("DIR", rootFolder, "Folder of the new root")->required();
    auto* rootPath = rootCommand->add_subcommand("path", "Print the root in use (--root, $MENUTONE_ROOT, or the build's)");
    addRootOption(rootCommand);
    addRootOption(rootPath);

    std::string shellName;
    auto* completion = app.add_subcommand("completion", "Print a completion script for bash, zsh or fish");
    completion->add_option("SHELL", shellName, "bash, zsh or fish")->required()->check(CLI::IsMember({ "bash", "zsh", "fish" }));

    // -g stands where a domain goes, as in Apple's tool; to the parser it
    // would be an option, so it is read as the global domain's name.
    std::string globalDomain = "NSGlobalDomain";
    for (int i = 2; i < argc; ++i) {
        static const std::set<std::string_view> verbs { "read", "delete", "export", "import", "read-type", "rename" };
        if (std::string_view(argv[i]) == "-g" && verbs.contains(argv[i - 1]) && std::find(argv + 1, argv + i - 1, std::string_view("defaults")) != argv + i - 1)
            argv[i] = globalDomain.data();
    }
    ManPageText manText { "the Menutone tweak, its settings and a device root off the device",
        { { 0, "Success." },
            { static_cast<int>(ExitStatus::Failure),
                "The command failed: a file could not be read or written, a domain or key was not found, an app was refused." },
            { static_cast<int>(ExitStatus::Usage), "The command line was wrong, or the root is not a device root." } },
        {} };
    if (auto status = parseCommandLine(app, "menutone", argc, argv, static_cast<int>(ExitStatus::Usage), manText))
        return *status;
    if (plistCommandLine->parsed())
        return static_cast<int>(plistCommand(plistCommandLine->remaining()));
    if (completion->parsed()) {
        std::cout << completionScript(app, "menutone", *shellNamed(shellName));
        return 0;
    }

    if (root && root->empty()) {
        std::cerr << "menutone: --root needs a folder\n";
        return static_cast<int>(ExitStatus::Usage);
    }
    if (root)
        DeviceRoot::setCurrent(*root);
    options.shouldNotify = !isQuiet;
    // Only root create makes a root: a mistyped --root, or "/", must not
    // quietly become one, nor have device paths written under it.
    if (!rootCreate->parsed() && !rootPath->parsed() && !DeviceRoot::current().isDeviceRoot()) {
        std::cerr << "menutone: " << DeviceRoot::current().hostFolder().string() << ": not a device root (make one with `menutone root create DIR`)\n";
        return static_cast<int>(ExitStatus::Usage);
    }

    ExitStatus status = ExitStatus::Success;
    if (read->parsed())
        status = domain.empty() ? defaultsReadAll(options) : defaultsRead(domain, key ? &*key : nullptr, options);
    else if (domainsCommand->parsed())
        status = defaultsDomains();
    else if (findCommand->parsed())
        status = defaultsFind(word);
    else if (exportCommand->parsed())
        status = defaultsExport(domain, file);
    else if (importCommand->parsed())
        status = defaultsImport(domain, file, options);
    else if (readTypeCommand->parsed())
        status = defaultsReadType(domain, *key);
    else if (renameCommand->parsed())
        status = defaultsRename(domain, *key, newKey, options);
    else if (remove->parsed())
        status = defaultsDelete(domain, key ? &*key : nullptr, options);
    else if (write->parsed()) {
        std::vector<std::string> arguments = write->remaining();
        if (arguments.empty()) {
            std::cerr << "menutone: usage: menutone defaults write DOMAIN KEY [-bool|-int|-float|-string|-data|-date|-color] VALUE, KEY -array|-array-add "
                         "VALUE..., or KEY -dict|-dict-add KEY VALUE...\n";
            return static_cast<int>(ExitStatus::Usage);
        }
        std::string writeDomain = arguments.front();
        arguments.erase(arguments.begin());
        status = defaultsWrite(writeDomain, arguments, options);
    } else if (previewCommand->parsed())
        status = preview(previewOptions);
    else if (springboard->parsed())
        status = runSpringBoard(isSpringBoardPhone ? HostMode::Phone : HostMode::Lines);
    else if (settingsCommand->parsed())
        status = isSettingsPhone ? runSettingsPhone() : runSettings(settingsOptions);
    else if (simulatorCommand->parsed())
        status = runSimulator(simulatorOptions);
    else if (appInstallCommand->parsed())
        status = appInstall(appArgument);
    else if (appListCommand->parsed())
        status = appList(isAppListJSON);
    else if (appRemoveCommand->parsed())
        status = appRemove(appArgument);
    else if (rootCreate->parsed())
        status = createRootCommand(rootFolder);
    else if (rootPath->parsed())
        status = printRootPath();
    else if (notify->parsed())
        status = isWaiting ? waitForNotification(name, waitCount, timeoutSeconds) : postNotification(name);
    return static_cast<int>(status);
}
