// `menutone root create DIR` and `menutone root path`.

#include <filesystem>
#include <iostream>
#include <memory>

#include <CLI/CLI.hpp>

#include <device/DeviceRoot.h>

#include "SampleRoot.h"
#include "Subcommand.h"

namespace {

ExitStatus createRootCommand(const std::string& folder)
{
    if (auto created = createRoot(folder); !created) {
        std::cerr << "menutone: " << created.error().message << "\n";
        return ExitStatus::Failure;
    }
    std::cout << "laid out " << std::filesystem::absolute(folder).string() << "\n";
    return ExitStatus::Success;
}

}

void addRootCommand(MenutoneCommandLine& line)
{
    auto folder = std::make_shared<std::string>();
    auto* root = line.app().add_subcommand("root", "Lay out a device root, or print the default one");
    root->require_subcommand(1);
    auto* create = root->add_subcommand("create", "Lay out a root as the package install does: sample apps and the tweak");
    create->add_option("DIR", *folder, "Folder of the new root")->required();
    line.setAction(
        *create, [folder] { return createRootCommand(*folder); }, RootUse::Named);
    auto* path = root->add_subcommand("path", "Print the root in use (--root, $MENUTONE_ROOT, or the build's)");
    line.setAction(
        *path,
        [] {
            std::cout << DeviceRoot::current().hostFolder().string() << "\n";
            return ExitStatus::Success;
        },
        RootUse::Named);
    line.addRootOption(*root);
    line.addRootOption(*path);
}
