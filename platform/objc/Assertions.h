#pragma once

// Programming errors stop the process with a message; they are never reported
// as results. User errors are the commands' business, not this.

namespace objc {
[[noreturn]] void assertionFailed(const char* file, int line, const char* message);
}

#define OBJC_ASSERT(condition, message)                                                                                                                        \
    do {                                                                                                                                                       \
        if (!(condition)) [[unlikely]]                                                                                                                         \
            ::objc::assertionFailed(__FILE__, __LINE__, (message));                                                                                            \
    } while (0)
