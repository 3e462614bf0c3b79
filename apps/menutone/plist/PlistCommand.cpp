// `menutone plist ...`: plutil's own command line, read by the tool itself.

#include <CLI/CLI.hpp>

#include "PlistTool.h"
#include "Subcommand.h"

void addPlistCommand(MenutoneCommandLine& line)
{
    auto* plist = line.app().add_subcommand("plist", "Print, check, convert and edit any property-list file, as Apple's plutil does (plist -help)");
    plist->prefix_command();
    plist->set_help_flag();
    line.setAction(
        *plist, [plist] { return plistCommand(plist->remaining()); }, RootUse::None);
}
