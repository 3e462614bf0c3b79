#pragma once

// Where the system's own files are, found from where the platform's libraries
// were loaded, so that an installed prefix can be moved and the build tree,
// laid out the same way, works unchanged. Nothing here is an absolute path
// fixed at build time.

#include <filesystem>

namespace device {

// The folder holding the platform's libraries, the tweak and the settings
// bundle (PREFIX/lib/menutone).
std::filesystem::path libraryFolder();

// The folder holding the system's data: plists and completions
// (PREFIX/share/menutone).
std::filesystem::path dataFolder();

// Whether the libraries were loaded from a build tree rather than an
// installed prefix; the build tree keeps its own device root.
bool isBuildTree();

// The device root used when neither --root nor MENUTONE_ROOT names one: the
// build tree's "root" folder, or $XDG_DATA_HOME/menutone/root (by default
// ~/.local/share/menutone/root) for an installed prefix.
std::filesystem::path defaultRootFolder();

}
