#include "Commands.h"

#include <CLI/CLI.hpp>

CLI::App* Commands::add(const std::string& name, const std::string& description, Action action)
{
    CLI::App* command = m_app.add_subcommand(name, description);
    m_actions.emplace_back(command, std::move(action));
    return command;
}

std::optional<int> Commands::runParsed() const
{
    for (auto& [command, action] : m_actions) {
        if (command->parsed())
            return action();
    }
    return std::nullopt;
}
