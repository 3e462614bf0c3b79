#pragma once

// What each of menutone's subcommands registers: its CLI11 definition, and
// the action that runs once the whole line has parsed and the device root is
// settled. main() only sets up, parses and runs the action.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <common/CommandLine.h>

#include "ExitStatus.h"

namespace CLI {
class App;
}

// Words of a root the completion scripts ask for (`menutone __complete domains`).
enum class CompletionSource { Domains, Keys, Apps };

// How an action uses the device root.
enum class RootUse {
    Required, // the root must be one `root create` laid out
    Named, // --root may name it, but it need not be laid out yet (root create, root path)
    None, // files are named on the command line (plist, completion)
};

class MenutoneCommandLine {
public:
    MenutoneCommandLine(CLI::App&, int argc, char** argv);

    CLI::App& app() { return m_app; }
    // --root, accepted on this command as on every level.
    void addRootOption(CLI::App&);
    // --device 6s|6s-plus: the phone whose screen the command draws.
    void addDeviceOption(CLI::App&);
    // What the command does once the line has parsed.
    void setAction(CLI::App& command, std::function<ExitStatus()>, RootUse = RootUse::Required);

    // Where the command's arguments, in order, complete from.
    void completeArguments(const CLI::App& command, std::vector<CompletionSource>);
    const CompletionSources& completionSources() const { return m_completionSources; }

    // After a successful parse: settles the root and runs the action.
    int run();

private:
    CLI::App& m_app;
    std::optional<std::string> m_root;
    std::string m_rootHelp;
    std::function<ExitStatus()> m_action;
    RootUse m_rootUse { RootUse::Required };
    CompletionSources m_completionSources;
};

// "domains", as the scripts name the source.
const char* completionSourceName(CompletionSource);

// The registrations, one file each, in the folders of the tools.
void addDefaultsCommand(MenutoneCommandLine&);
void addNotifyCommand(MenutoneCommandLine&);
void addPreviewCommands(MenutoneCommandLine&);
void addSettingsCommand(MenutoneCommandLine&);
void addSimulatorCommand(MenutoneCommandLine&);
void addAppCommand(MenutoneCommandLine&);
void addPlistCommand(MenutoneCommandLine&);
void addRootCommand(MenutoneCommandLine&);
void addIndexCommand(MenutoneCommandLine&);
void addCompletionCommand(MenutoneCommandLine&);
void addWallpaperCommand(MenutoneCommandLine&);
void addThemeCommand(MenutoneCommandLine&);

// `-g` where a domain goes, read as the global domain's name before parsing.
void readDashGAsGlobalDomain(int argc, char** argv);
