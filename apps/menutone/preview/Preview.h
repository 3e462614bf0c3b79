#pragma once

// `menutone preview` and `menutone springboard`: the
// simulated home screen with the tweak injected.

#include <string>

#include "ExitStatus.h"

class SBApplicationShortcutMenu;

std::string menuJSON(const SBApplicationShortcutMenu&, double press);

struct PreviewOptions {
    std::string application { "com.apple.mobileslideshow" };
    double press { 1.0 };
    std::string output { "menu.png" };
    bool isJSON { false };
};

ExitStatus preview(const PreviewOptions&);
// Lines: commands on stdin, JSON answers. Phone: the simulator's protocol (PhoneProtocol.h).
enum class HostMode { Lines, Phone };
ExitStatus runSpringBoard(HostMode = HostMode::Lines);
class SpringBoard;
ExitStatus runSpringBoardPhone(SpringBoard&);
