#include "WeakReference.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

struct WeakTable {
    std::mutex lock;
    std::unordered_map<const NSObject*, std::vector<id*>> locations;
};

WeakTable& weakTable()
{
    static auto* table = new WeakTable;
    return *table;
}

void forget(WeakTable& table, id* location)
{
    id old = *location;
    if (!old)
        return;
    auto entry = table.locations.find(old);
    if (entry == table.locations.end())
        return;
    std::erase(entry->second, location);
    if (entry->second.empty())
        table.locations.erase(entry);
}

}

void objc_storeWeak(id* location, id object)
{
    auto& table = weakTable();
    std::lock_guard guard(table.lock);
    forget(table, location);
    // The caller holds the object; one on its way out (a destructor storing
    // itself) is not taken.
    if (object && !object->m_refCount.load(std::memory_order_relaxed)) {
        *location = nullptr;
        return;
    }
    *location = object;
    if (object) {
        object->m_isWeaklyReferenced.store(true, std::memory_order_relaxed);
        table.locations[object].push_back(location);
    }
}

RefPtr<NSObject> objc_loadWeakRetained(id* location)
{
    auto& table = weakTable();
    std::lock_guard guard(table.lock);
    id object = *location;
    if (!object || !object->tryRefForWeakLoad())
        return nullptr;
    return adoptRef(*object);
}

id objc_loadWeak(id* location)
{
    auto& table = weakTable();
    std::lock_guard guard(table.lock);
    return *location;
}

void objc_clearWeakReferences(const NSObject* object)
{
    auto& table = weakTable();
    std::lock_guard guard(table.lock);
    auto entry = table.locations.find(object);
    if (entry == table.locations.end())
        return;
    for (id* location : entry->second)
        *location = nullptr;
    table.locations.erase(entry);
}
