// `menutone completion SHELL`, and the words of a root the scripts ask for
// while a line is typed (`menutone __complete domains`).

#include <iostream>
#include <memory>

#include <CLI/CLI.hpp>

#include <device/DeviceRoot.h>
#include <springboard/SBApplication.h>

#include "Subcommand.h"
#include "defaults/Defaults.h"

namespace {

struct SourceEntry {
    CompletionSource source;
    const char* name;
    // The words, given the word before the one being completed.
    std::vector<std::string> (*words)(const std::string& previous);
};

constexpr SourceEntry kSources[] {
    { CompletionSource::Domains, "domains", [](const std::string&) { return defaultsDomainNames(); } },
    { CompletionSource::Keys, "keys", [](const std::string& domain) { return defaultsKeyNames(domain); } },
    { CompletionSource::Apps, "apps",
        [](const std::string&) {
            std::vector<std::string> identifiers;
            for (auto& application : SBApplication::installedApplications())
                identifiers.push_back(application->bundleIdentifier());
            return identifiers;
        } },
};

}

const char* completionSourceName(CompletionSource source)
{
    for (auto& entry : kSources)
        if (entry.source == source)
            return entry.name;
    return "";
}

void addCompletionCommand(MenutoneCommandLine& line)
{
    auto shell = std::make_shared<std::string>();
    auto* completion = line.app().add_subcommand("completion", "Print a completion script for bash, zsh or fish");
    completion->add_option("SHELL", *shell, "bash, zsh or fish")->required()->check(CLI::IsMember({ "bash", "zsh", "fish" }));
    line.setAction(
        *completion,
        [&line, shell] {
            std::cout << completionScript(line.app(), "menutone", *shellNamed(*shell), line.completionSources());
            return ExitStatus::Success;
        },
        RootUse::None);

    // In no group: not in --help, the man page or the scripts' own words.
    struct Arguments {
        std::string source, previous;
    };
    auto arguments = std::make_shared<Arguments>();
    auto* complete = line.app().add_subcommand(kCompleteSubcommand, "The words of a root for the completion scripts, one a line");
    complete->group("");
    complete->add_option("SOURCE", arguments->source)->required();
    complete->add_option("PREVIOUS", arguments->previous);
    line.setAction(
        *complete,
        [arguments] {
            // Completion asks quietly: no root, or an unknown source, gives no words.
            if (!DeviceRoot::current().isDeviceRoot())
                return ExitStatus::Success;
            for (auto& entry : kSources)
                if (arguments->source == entry.name)
                    for (auto& word : entry.words(arguments->previous))
                        std::cout << word << "\n";
            return ExitStatus::Success;
        },
        RootUse::Named);
}
