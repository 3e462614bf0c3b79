#pragma once

// A set that counts how often each object was added; objects are the same
// when isEqual says so (and so hash alike).

#include <cstdint>
#include <unordered_map>
#include <vector>

#include <objc/NSObject.h>

class NSCountedSet {
public:
    void addObject(NSObject&, std::uint64_t times = 1);
    std::uint64_t countForObject(const NSObject*) const;
    // Each distinct object once, in the order first added.
    const std::vector<Ref<NSObject>>& allObjects() const { return m_objects; }
    std::size_t count() const { return m_objects.size(); }

private:
    std::vector<Ref<NSObject>> m_objects;
    std::vector<std::uint64_t> m_counts;
    std::unordered_multimap<std::size_t, std::size_t> m_indexByHash;
};
