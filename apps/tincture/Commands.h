#pragma once

// The tincture command's subcommands. Each group of them (in its own file)
// registers its CLI11 subcommands with the action each runs; main parses
// the command line and runs the action of the one given.

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace CLI {
class App;
}

// The exit status of a wrong command line or colour.
inline constexpr int usageError = 2;

class Commands {
public:
    // The answer is the exit status.
    using Action = std::function<int()>;

    explicit Commands(CLI::App& app)
        : m_app(app)
    {
    }

    CLI::App* add(const std::string& name, const std::string& description, Action);
    // The action of the subcommand given on the command line; none when it was not one of these.
    std::optional<int> runParsed() const;
    const std::vector<std::pair<CLI::App*, Action>>& all() const { return m_actions; }

private:
    CLI::App& m_app;
    std::vector<std::pair<CLI::App*, Action>> m_actions;
};

class Output;

// The groups, each in its own file. The first two print through the shared
// output options (--json, --format, --color); the value types' subcommands
// have their own --json.
void addColorCommands(Commands&, const Output&);
void addImageCommands(Commands&, const Output&);
void addValueCommands(Commands&);
void addFormatCommand(Commands&);
