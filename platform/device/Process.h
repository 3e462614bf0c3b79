#pragma once

// Process calls of the product (system(3)), kept inside the device root. Only
// commands the platform knows run; nothing is handed to the host's shell and
// no host process is ever signalled by name.

#include <cstdio>
#include <string_view>

namespace device {

// "killall backboardd" (or "killall SpringBoard"): asks the simulated
// SpringBoard of the root, the process registered by registerHomeScreen(),
// to restart, by kRespringNotification.
// Answers killall's status: 0 when a home screen was told to restart, 1 when
// none runs. An unknown command runs nothing and answers 127, the shell's
// "command not found".
int system(std::string_view command);

// popen(3) for reading: "/usr/bin/dpkg -l" runs the host's dpkg, without a
// shell, against the root's own package database (var/lib/dpkg). Any other
// command, or another mode than "r", does not start: none.
FILE* popen(std::string_view command, const char* mode);
// pclose(3): waits for the command and answers its wait status; -1 for a
// stream that popen did not open.
int pclose(FILE*);

inline constexpr const char* kPackageDatabasePath = "/var/lib/dpkg";

// The running home screen's side: records this process as the root's
// SpringBoard (var/run/SpringBoard.pid, held under a lock while the process
// lives, so a stale file is never mistaken for a live home screen).
enum class HomeScreenRegistration { Registered, AnotherRuns, NoRunFolder, Unwritable };
HomeScreenRegistration registerHomeScreen();
void unregisterHomeScreen();

// The private Darwin notification a respring posts on the root; only the
// registered home screen observes it, and restarts itself on it.
inline constexpr const char* kRespringNotification = "com.apple.springboard.private.respring";

}
