#pragma once

// Loading a library of the device root, as the device's dyld loads a tweak or
// a preference bundle.

#include <string>
#include <string_view>

#include <base/Expected.h>

namespace device {

// dlopen(3) with RTLD_NOW | RTLD_GLOBAL of the root's file at the device
// path. The file is opened beneath the root at the moment of use and loaded
// from that descriptor, so a library that is a link leading out of the root
// (or that a swapped folder would redirect) never runs. Answers the handle,
// or why there is none.
Expected<void*> loadLibrary(std::string_view devicePath);

}
