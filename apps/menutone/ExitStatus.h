#pragma once

// What menutone's subcommands end with; the process exits with its value.
enum class ExitStatus : int { Success = 0, Failure = 1, Usage = 2 };
