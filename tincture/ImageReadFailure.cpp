#include <tincture/ImageReadFailure.h>

namespace tincture {

std::string imageReadFailureMessage(const std::string& path, const ::Error& error)
{
    switch (error.kind) {
    case ErrorKind::NotFound:
        return path + ": no such file";
    case ErrorKind::Unreadable:
        return path + ": cannot read it (not a regular file, or no permission)";
    case ErrorKind::TooLarge:
        return path + ": " + error.message;
    default:
        return "cannot read " + path + " as a PNG, JPEG, HEIC or WebP image";
    }
}

}
