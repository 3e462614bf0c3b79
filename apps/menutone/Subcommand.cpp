#include "Subcommand.h"

#include <iostream>
#include <string_view>

#include <CLI/CLI.hpp>

#include <device/DeviceRoot.h>
#include <device/InstallLayout.h>
#include <uikit/UIGraphics.h>

MenutoneCommandLine::MenutoneCommandLine(CLI::App& app, int argc, char** argv)
    : m_app(app)
{
    // The default named as this copy of the command finds it: the build's
    // root, or the installed one. The man page, made in the build tree, is
    // for the installed command.
    bool isManPage = argc >= 2 && std::string_view(argv[1]) == "--man-page";
    m_rootHelp = "Device root folder (default: $MENUTONE_ROOT, else "
        + (isManPage                    ? std::string("$XDG_DATA_HOME/menutone/root, by default ~/.local/share/menutone/root")
                : device::isBuildTree() ? "the root the build lays out, " + device::defaultRootFolder().string()
                                        : device::defaultRootFolder().string())
        + ")";
    addRootOption(app);
    m_completionSources.forwardedOption = "--root";
}

void MenutoneCommandLine::completeArguments(const CLI::App& command, std::vector<CompletionSource> sources)
{
    auto& names = m_completionSources.byCommand[&command];
    for (auto source : sources)
        names.push_back(completionSourceName(source));
}

void MenutoneCommandLine::addRootOption(CLI::App& command)
{
    command.add_option("--root", m_root, m_rootHelp);
}

void MenutoneCommandLine::addDeviceOption(CLI::App& command)
{
    std::vector<std::string> names;
    std::string help = "The phone drawn:";
    for (auto& phone : kDevices) {
        names.push_back(phone.optionName);
        help += std::string(names.size() > 1 ? "," : "") + " " + phone.optionName + " (" + phone.name + ", "
            + std::to_string(static_cast<int>(phone.screenSize.width)) + " x " + std::to_string(static_cast<int>(phone.screenSize.height)) + " points @"
            + std::to_string(static_cast<int>(phone.scale)) + "x)";
    }
    command
        .add_option_function<std::string>(
            "--device",
            [](const std::string& name) {
                for (auto& phone : kDevices) {
                    if (name == phone.optionName)
                        UIScreen::mainScreen().setDevice(phone.model);
                }
            },
            help + "; default " + names.front())
        ->check(CLI::IsMember(names));
}

void MenutoneCommandLine::setAction(CLI::App& command, std::function<ExitStatus()> action, RootUse rootUse)
{
    command.callback([this, action = std::move(action), rootUse] {
        m_action = action;
        m_rootUse = rootUse;
    });
}

int MenutoneCommandLine::run()
{
    if (!m_action)
        return static_cast<int>(ExitStatus::Usage);
    if (m_rootUse != RootUse::None) {
        if (m_root && m_root->empty()) {
            std::cerr << "menutone: --root needs a folder\n";
            return static_cast<int>(ExitStatus::Usage);
        }
        if (m_root)
            DeviceRoot::setCurrent(*m_root);
        // Only root create makes a root: a mistyped --root, or "/", must not
        // quietly become one, nor have device paths written under it.
        if (m_rootUse == RootUse::Required && !DeviceRoot::current().isDeviceRoot()) {
            std::cerr << "menutone: " << DeviceRoot::current().hostFolder().string() << ": not a device root (make one with `menutone root create DIR`)\n";
            return static_cast<int>(ExitStatus::Usage);
        }
    }
    return static_cast<int>(m_action());
}
