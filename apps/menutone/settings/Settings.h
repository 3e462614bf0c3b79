#pragma once

// `menutone settings`: the Settings app without a display, driven by line
// commands (from --do arguments, else from stdin).

#include <string>
#include <vector>

#include "ExitStatus.h"

struct SettingsOptions {
    std::vector<std::string> commands; // from --do; none reads stdin
    bool isJSON { false };
    std::string picture; // PNG written by every show
};

ExitStatus runSettings(const SettingsOptions&);
// The simulator's phone (PhoneProtocol.h), in real time.
ExitStatus runSettingsPhone();

inline constexpr const char* kSettingsCommandHelp
    = "commands: show | touch X Y | scroll DY | tap ROW | switch ROW on|off | segment INDEX | bar left|right | alert BUTTON | back | wait SECONDS | quit\n"
      "  X, Y and DY are points on the 375 x 667 screen; ROW is a row's text or SECTION:ROW; BUTTON is a button's title or index";
