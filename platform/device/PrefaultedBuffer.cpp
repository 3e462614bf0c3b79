#include "PrefaultedBuffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <utility>

namespace device {

namespace {

// Set once the thread's kept mappings are gone (the thread is ending), so
// that a buffer freed after that is simply unmapped.
thread_local bool isKeepingOver = false;

// A few mappings kept for reuse by the thread that gave them back.
struct KeptMappings {
    std::array<ZeroedPages, 4> kept {};
    ~KeptMappings()
    {
        isKeepingOver = true;
        for (auto& mapping : kept) {
            if (mapping.address)
                ::munmap(mapping.address, mapping.bytes);
        }
    }
};

thread_local KeptMappings keptMappings;

std::size_t wholePages(std::size_t bytes)
{
    static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

}

ZeroedPages mapZeroed(std::size_t bytes)
{
    if (!isKeepingOver) {
        // The smallest kept mapping that is large enough, zeroed as far as asked.
        ZeroedPages* best = nullptr;
        for (auto& mapping : keptMappings.kept) {
            if (mapping.address && mapping.bytes >= bytes && (!best || mapping.bytes < best->bytes))
                best = &mapping;
        }
        if (best) {
            std::memset(best->address, 0, bytes);
            return std::exchange(*best, {});
        }
    }
    bytes = wholePages(bytes);
    void* mapped = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (mapped == MAP_FAILED)
        return {};
    return { mapped, bytes };
}

void unmap(ZeroedPages pages)
{
    if (!pages.address)
        return;
    // Kept in place of the smallest kept one if it is larger; past 64 MiB
    // (a picture of a size seldom met twice) it goes back at once.
    constexpr std::size_t largestKept = 64 * 1024 * 1024;
    if (!isKeepingOver && pages.bytes <= largestKept) {
        ZeroedPages* smallest = &keptMappings.kept[0];
        for (auto& mapping : keptMappings.kept) {
            if (mapping.bytes < smallest->bytes)
                smallest = &mapping;
        }
        if (smallest->bytes < pages.bytes)
            std::swap(*smallest, pages);
    }
    if (pages.address)
        ::munmap(pages.address, pages.bytes);
}

}
