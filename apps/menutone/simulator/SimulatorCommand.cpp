// `menutone simulator [--port P]`.

#include <memory>

#include <CLI/CLI.hpp>

#include "Simulator.h"
#include "Subcommand.h"

void addSimulatorCommand(MenutoneCommandLine& line)
{
    auto options = std::make_shared<SimulatorOptions>();
    auto* simulator = line.app().add_subcommand(
        "simulator", "Serve a page on 127.0.0.1 with the Settings app and the home screen side by side, live; open the address it prints");
    simulator->add_option("--port", options->port, "Port to listen on (default 8080; 0 picks a free one)")->check(CLI::Range(0, 65535));
    line.addRootOption(*simulator);
    line.addDeviceOption(*simulator);
    line.setAction(*simulator, [options] { return runSimulator(*options); });
}
