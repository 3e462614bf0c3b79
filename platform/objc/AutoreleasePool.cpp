#include "AutoreleasePool.h"

#include <cstdio>
#include <vector>

#include "NSObject.h"

namespace {
thread_local std::vector<RefPtr<NSObject>> autoreleasedObjects;
thread_local std::size_t openPoolCount = 0;
}

void* objc_autoreleasePoolPush()
{
    ++openPoolCount;
    return reinterpret_cast<void*>(autoreleasedObjects.size());
}

void objc_autoreleasePoolPop(void* token)
{
    OBJC_ASSERT(openPoolCount, "autorelease pool popped without a push");
    auto mark = reinterpret_cast<std::size_t>(token);
    OBJC_ASSERT(mark <= autoreleasedObjects.size(), "autorelease pools popped out of order");
    // Releasing may autorelease more objects into this same pool; pop until it is empty.
    while (autoreleasedObjects.size() > mark) {
        std::vector<RefPtr<NSObject>> released(std::make_move_iterator(autoreleasedObjects.begin() + mark), std::make_move_iterator(autoreleasedObjects.end()));
        autoreleasedObjects.resize(mark);
        released.clear();
    }
    --openPoolCount;
}

id objc_autorelease(id object)
{
    if (!object)
        return nullptr;
    if (!openPoolCount) {
        std::fprintf(stderr, "objc: %s autoreleased with no pool in place - just leaking\n", object->description().c_str());
        return object;
    }
    autoreleasedObjects.emplace_back(object);
    return object;
}

std::size_t AutoreleasePool::pendingObjectCountForTesting()
{
    return autoreleasedObjects.size();
}
