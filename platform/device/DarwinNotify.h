#pragma once

// The transport under Darwin notifications: a post touches
// <root>/var/run/notify/<name>, and observers watch that folder. Every step
// is opened beneath the root.

#include <string>
#include <string_view>

#include "FileDescriptor.h"

namespace device {

inline constexpr const char* kNotifyFolder = "/var/run/notify";

// The file name a notification name is posted through: safe characters kept,
// others %-escaped, long names shortened with a hash.
std::string notificationFileName(std::string_view name);

// The root's notification folder, created (mode 0700) if missing, opened for reading.
FileDescriptor openNotifyFolder();

// Touches the name's file. Never blocks and never fails the poster.
void postNotification(std::string_view name);

}
