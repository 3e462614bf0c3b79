#pragma once

#include <cstddef>

#include "Runtime.h"

// @autoreleasepool: objects autoreleased inside the scope live until it closes.
void* objc_autoreleasePoolPush();
void objc_autoreleasePoolPop(void* token);
id objc_autorelease(id);

class AutoreleasePool {
public:
    AutoreleasePool()
        : m_token(objc_autoreleasePoolPush())
    {
    }
    ~AutoreleasePool() { objc_autoreleasePoolPop(m_token); }
    AutoreleasePool(const AutoreleasePool&) = delete;
    AutoreleasePool& operator=(const AutoreleasePool&) = delete;

    static std::size_t pendingObjectCountForTesting();

private:
    void* m_token;
};
