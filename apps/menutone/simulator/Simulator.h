#pragma once

// `menutone simulator`: one page on 127.0.0.1 showing two phones side by
// side, the Settings app and the home screen, each its own process on the
// root. The server relays touches to them and their pictures to the page; it
// never writes the store itself.

#include <string>

#include "ExitStatus.h"

struct SimulatorOptions {
    int port { 8080 }; // 0: any free port
};

ExitStatus runSimulator(const SimulatorOptions&);

// The page the server serves, with the phones' model (a `--device` name) chosen.
std::string simulatorPage(const std::string& device);
