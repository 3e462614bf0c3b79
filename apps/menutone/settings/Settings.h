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

// The line commands: the help, the --do check and completion come from here.
struct SettingsCommandVerb {
    const char* verb;
    const char* arguments;
};
inline constexpr SettingsCommandVerb kSettingsCommandVerbs[] { { "show", "" }, { "touch", "X Y" }, { "scroll", "DY" }, { "tap", "ROW" },
    { "switch", "ROW on|off" }, { "segment", "INDEX" }, { "bar", "left|right" }, { "alert", "BUTTON" }, { "back", "" }, { "home", "" }, { "wait", "SECONDS" },
    { "quit", "" } };

// "commands: show | touch X Y | ...", with what the arguments mean.
std::string settingsCommandHelp();
