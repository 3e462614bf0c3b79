// `menutone index N [--json]`: the colour a palette index in the settings
// store stands for, and the label the settings screens show for it.

#include <iostream>
#include <memory>
#include <unistd.h>

#include <CLI/CLI.hpp>

#include <common/PaletteIndexText.h>
#include <common/Validators.h>

#include "Subcommand.h"

void addIndexCommand(MenutoneCommandLine& line)
{
    struct Arguments {
        std::int64_t index { 0 };
        bool isJSON { false };
    };
    auto arguments = std::make_shared<Arguments>();
    auto* index = line.app().add_subcommand("index", "The colour of a palette index (0 gives black, the system colour here) and its label");
    index->add_option("N", arguments->index, "Palette index")->required()->check(paletteIndex());
    index->add_flag("--json", arguments->isJSON, "Print JSON");
    line.setAction(
        *index,
        [arguments] {
            auto [index, isJSON] = *arguments;
            auto swatches = swatchDepth(ColorChoice::Auto, ::isatty(STDOUT_FILENO), [](const char* name) { return std::getenv(name); });
            std::cout << (isJSON ? paletteIndexJSON(index) : paletteIndexLine(index, swatches)) << "\n";
            return ExitStatus::Success;
        },
        RootUse::None);
}
