#pragma once

// Opening paths beneath a folder descriptor, resolved by the kernel at the
// moment of use: a link that leads out of the folder, or a folder swapped for
// one mid-way, makes the open fail instead of being followed. The device root
// and an app being installed are both kept in this way.

#include <sys/types.h>

#include <string>
#include <vector>

#include "FileDescriptor.h"

namespace device {

// Opens `relative` ("a/b"; "." for the folder itself) beneath the folder with
// openat2's RESOLVE_BENEATH, a raw descriptor or -1 with errno set. Links
// that stay beneath are followed. Without openat2 (Linux before 5.6), a walk
// of O_NOFOLLOW folder descriptors: as safe, but it refuses every link.
int openBeneath(int folderFd, const std::string& relative, int flags, mode_t = 0);

// Creates the folders along `components` beneath the folder, each step opened
// beneath it; the last gets `mode`.
bool createFoldersBeneath(int folderFd, const std::vector<std::string>& components, mode_t = 0755);

// The fallback walk in place of openat2 (true), or openat2 again (false), so
// the tests can run every confinement case on both.
void avoidOpenat2ForTesting(bool);

}
