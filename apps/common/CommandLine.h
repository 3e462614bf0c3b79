#pragma once

// What both commands do with their CLI11 definitions besides parsing: shell
// completion scripts made from them, and a mistyped subcommand named with the
// closest real one.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ManPage.h"

namespace CLI {
class App;
}

enum class Shell { Bash, Zsh, Fish };

std::optional<Shell> shellNamed(std::string_view);

// A script that completes PROGRAM's subcommands and options at every depth;
// option values and positionals complete as file names.
std::string completionScript(const CLI::App&, const std::string& program, Shell);

// Parses the arguments. None when they parsed; otherwise the exit status,
// after --help or --version printed, or an error went to stderr, naming an
// unknown subcommand and the closest one ("did you mean 'defaults'?").
// `PROGRAM --man-page SECTIONS` prints the man page (ManPage.h) with
// those further sections, for the build to install.
std::optional<int> parseCommandLine(CLI::App&, const std::string& program, int argc, char** argv, int usageStatus, const ManPageText& = {});

// The candidate closest to the word within a couple of edits, or none.
std::optional<std::string> closestWord(std::string_view word, const std::vector<std::string>& candidates);
