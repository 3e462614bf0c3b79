// `menutone index N [--json]`: the colour a palette index in the settings
// store stands for, and the label the settings screens show for it.

#include <iostream>
#include <memory>
#include <unistd.h>

#include <CLI/CLI.hpp>

#include <common/ColorDescription.h>
#include <common/Validators.h>
#include <store/PaletteIndex.h>

#include "Subcommand.h"

void addIndexCommand(MenutoneCommandLine& line)
{
    struct Arguments {
        std::int64_t index { 0 };
        bool isJSON { false };
    };
    auto arguments = std::make_shared<Arguments>();
    auto* index = line.app().add_subcommand("index", "The colour of a palette index (0 gives black, the system colour here) and its label");
    index->add_option("N", arguments->index, "Palette index")->required()->check(wholeNumber());
    index->add_flag("--json", arguments->isJSON, "Print JSON");
    line.setAction(
        *index,
        [arguments] {
            auto [index, isJSON] = *arguments;
            auto color = colorInt(index, UIColor::blackColor().ptr());
            bool isKnown = index >= 0 && index < static_cast<std::int64_t>(kColorNames.size());
            const char* label = isKnown ? kColorNames[static_cast<std::size_t>(index)] : nullptr;
            if (isJSON)
                std::cout << jsonText({ { "index", index }, { "label", label ? JSON(label) : JSON() }, { "color", namedColorJSON(color.get()) } }) << "\n";
            else
                std::cout << index << "  " << (label ? label : "(no label)") << "  "
                          << colorDescription(
                                 color.get(), swatchDepth(ColorChoice::Auto, ::isatty(STDOUT_FILENO), [](const char* name) { return std::getenv(name); }))
                          << "\n";
            return ExitStatus::Success;
        },
        RootUse::None);
}
