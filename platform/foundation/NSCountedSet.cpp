#include "NSCountedSet.h"

namespace {

template <typename Map> std::size_t* find(const Map& map, const std::vector<Ref<NSObject>>& objects, const NSObject& object)
{
    auto [begin, end] = map.equal_range(object.hash());
    for (auto it = begin; it != end; ++it) {
        if (objects[it->second]->isEqual(&object))
            return const_cast<std::size_t*>(&it->second);
    }
    return nullptr;
}

}

void NSCountedSet::addObject(NSObject& object, std::uint64_t times)
{
    if (auto* index = find(m_indexByHash, m_objects, object)) {
        m_counts[*index] += times;
        return;
    }
    m_indexByHash.emplace(object.hash(), m_objects.size());
    m_objects.emplace_back(object);
    m_counts.push_back(times);
}

std::uint64_t NSCountedSet::countForObject(const NSObject* object) const
{
    if (!object)
        return 0;
    auto* index = find(m_indexByHash, m_objects, *object);
    return index ? m_counts[*index] : 0;
}
