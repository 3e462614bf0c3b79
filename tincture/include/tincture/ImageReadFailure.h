#pragma once

// What the library's users say when a picture file cannot be read.

#include <string>

#include <base/Error.h>

namespace tincture {

// "PATH: no such file", "PATH: cannot read it (...)", "PATH: too large: ...",
// else "cannot read PATH as a PNG, JPEG, HEIC or WebP image".
std::string imageReadFailureMessage(const std::string& path, const ::Error&);

}
