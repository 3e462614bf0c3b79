// `menutone preview` and `menutone springboard`.

#include <cstdlib>
#include <memory>

#include <CLI/CLI.hpp>

#include "Preview.h"
#include "Subcommand.h"

void addPreviewCommands(MenutoneCommandLine& line)
{
    auto options = std::make_shared<PreviewOptions>();
    auto* preview = line.app().add_subcommand("preview", "Press an app's icon in a simulated SpringBoard with the tweak injected and draw its shortcut menu");
    preview->add_option("--app", options->application, "Bundle identifier of the app (default com.apple.mobileslideshow)");
    preview->add_option("--press", options->press, "Press depth, 0 to 1 (default 1, a full press)")
        ->check(CLI::Validator(
            [](std::string& text) {
                char* end = nullptr;
                double depth = std::strtod(text.c_str(), &end);
                bool isDepth = !text.empty() && *end == '\0' && depth >= 0 && depth <= 1;
                return isDepth ? std::string() : "expects a number from 0 to 1, not '" + text + "'";
            },
            "0..1"));
    preview->add_option("-o,--output", options->output, "PNG file to write (default menu.png)");
    preview->add_flag("--json", options->isJSON, "Print what was built as JSON");
    line.addRootOption(*preview);
    line.addDeviceOption(*preview);
    line.setAction(*preview, [options] { return ::preview(*options); });

    auto isPhone = std::make_shared<bool>(false);
    auto* springboard = line.app().add_subcommand("springboard", "Run the home screen; commands on stdin: apps, press APP DEPTH [FILE.png], quit");
    springboard->add_flag("--serve", *isPhone, "Be one of the simulator's phones: touches in, pictures out (JSON lines)");
    line.addRootOption(*springboard);
    line.addDeviceOption(*springboard);
    line.setAction(*springboard, [isPhone] { return runSpringBoard(*isPhone ? HostMode::Phone : HostMode::Lines); });
}
