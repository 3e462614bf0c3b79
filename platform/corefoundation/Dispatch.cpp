#include "Dispatch.h"

#include <limits>

#include <objc/Assertions.h>

#include "CFRunLoop.h"

struct dispatch_queue_s {
    CFRunLoop& loop;
};

dispatch_queue_t dispatch_get_main_queue()
{
    static dispatch_queue_s mainQueue { CFRunLoop::main() };
    return &mainQueue;
}

void dispatch_async(dispatch_queue_t queue, dispatch_block_t block)
{
    OBJC_ASSERT(queue, "dispatch_async to a null queue");
    queue->loop.performAsync(std::move(block));
}

dispatch_time_t dispatch_time(dispatch_time_t when, std::int64_t deltaNs)
{
    if (when == DISPATCH_TIME_FOREVER)
        return DISPATCH_TIME_FOREVER;
    std::int64_t base = when == DISPATCH_TIME_NOW ? CFRunLoop::main().now().count() : static_cast<std::int64_t>(when);
    if (deltaNs > 0 && base > std::numeric_limits<std::int64_t>::max() - deltaNs)
        return DISPATCH_TIME_FOREVER;
    std::int64_t result = base + deltaNs;
    // 0 means "now"; a time at or before the clock's start is due at once.
    return result <= 0 ? 1 : static_cast<dispatch_time_t>(result);
}

void dispatch_after(dispatch_time_t when, dispatch_queue_t queue, dispatch_block_t block)
{
    OBJC_ASSERT(queue, "dispatch_after to a null queue");
    if (when == DISPATCH_TIME_FOREVER)
        return;
    Nanoseconds fireTime = when == DISPATCH_TIME_NOW ? queue->loop.now() : Nanoseconds(static_cast<std::int64_t>(when));
    queue->loop.addTimer(fireTime, std::move(block));
}
