#pragma once

// The error every API of our own answers with (in an Expected): what kind of
// failure, for callers that act on it, and a message for people.

#include <string>

enum class ErrorKind {
    NotFound, // nothing at the path or key
    Unreadable, // there, but could not be read (permissions, a link leaving a confinement, I/O)
    TooLarge, // past a limit set to keep readers bounded
    Malformed, // read, but not what it should be
    Refused, // well formed, but not allowed
    Failed, // an operation that was attempted did not succeed
};

struct Error {
    ErrorKind kind;
    std::string message;

    bool operator==(const Error&) const = default;
};
