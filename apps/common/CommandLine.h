#pragma once

// What both commands do with their CLI11 definitions besides parsing: shell
// completion scripts made from them, and a mistyped subcommand named with the
// closest real one.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ManPage.h"

namespace CLI {
class App;
}

enum class Shell { Bash, Zsh, Fish };

// Words only the running command knows (the domains of a root, the keys of a
// domain, the installed apps). For the arguments of a subcommand, by position,
// the name of a source; the script asks `PROGRAM [OPTION VALUE] __complete
// SOURCE PREVIOUS-WORD` for the words, passing on the forwarded option (such
// as --root) when the line has it. An empty name leaves that position to the
// static words.
struct CompletionSources {
    std::map<const CLI::App*, std::vector<std::string>> byCommand;
    std::string forwardedOption;
};

inline constexpr const char* kCompleteSubcommand = "__complete";

std::optional<Shell> shellNamed(std::string_view);

// A script that completes PROGRAM's subcommands and options at every depth,
// the values a check allows, the sources' words, and otherwise file names.
std::string completionScript(const CLI::App&, const std::string& program, Shell, const CompletionSources& = {});

// Parses the arguments. None when they parsed; otherwise the exit status,
// after --help or --version printed, or an error went to stderr, naming an
// unknown subcommand and the closest one ("did you mean 'defaults'?").
// `PROGRAM --man-page SECTIONS` prints the man page (ManPage.h) with
// those further sections, for the build to install.
std::optional<int> parseCommandLine(CLI::App&, const std::string& program, int argc, char** argv, int usageStatus, const ManPageText& = {});

// The candidate closest to the word within a couple of edits, or none.
std::optional<std::string> closestWord(std::string_view word, const std::vector<std::string>& candidates);
