#pragma once

// A command's man page, made from its CLI11 definitions as the completions
// are, so it cannot fall out of date: every subcommand at every depth with
// its own arguments and options, laid out one to a paragraph, and an EXIT
// STATUS section.

#include <string>
#include <utility>
#include <vector>

namespace CLI {
class App;
}

struct ManPageText {
    std::string summary; // the NAME line's words after the dash
    std::vector<std::pair<int, std::string>> exitStatuses;
    // Further sections in this include format: "[EXAMPLES]" opens a
    // section, lines below it are roff as they stand.
    std::string extraSections;
};

std::string manPage(const CLI::App&, const std::string& program, const ManPageText&);
