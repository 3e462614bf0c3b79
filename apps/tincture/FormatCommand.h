#pragma once

// `tincture format SPACE [COLOR...]`: each colour written in one space,
// read with the colour library's value types alone.

#include <memory>
#include <string>
#include <vector>

namespace CLI {
class App;
}

struct FormatArguments {
    CLI::App* command { nullptr };
    std::string space;
    std::vector<std::string> colors;
    bool isJSON { false };
};

std::shared_ptr<FormatArguments> addFormatCommand(CLI::App&);
// The exit status: 0, or 2 when a colour could not be read (each said on stderr).
int runFormatCommand(const FormatArguments&);
