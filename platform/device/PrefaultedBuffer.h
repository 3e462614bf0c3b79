#pragma once

// A zeroed buffer whose pages are all mapped when it is made, in one call
// (MAP_POPULATE), for memory that will be written through at once: faulting
// it in a page at a time costs several times more, most of all in a virtual
// machine. Small buffers come from the heap as usual.

#include <cstddef>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>

namespace device {

// Zeroed pages, mapped in at once; a thread's last few unmapped are kept for
// its next buffers (zeroed again), so that a worker going from one photo to
// the next neither faults again nor makes the other cores flush their TLBs.
struct ZeroedPages {
    void* address { nullptr }; // null when there was no memory
    std::size_t bytes { 0 }; // whole pages, at least as many as asked for
};
ZeroedPages mapZeroed(std::size_t bytes);
void unmap(ZeroedPages);

template <typename T> class PrefaultedBuffer {
    static_assert(std::is_trivial_v<T>, "a prefaulted buffer holds plain values");

public:
    PrefaultedBuffer() = default;
    explicit PrefaultedBuffer(std::size_t count)
        : m_count(count)
    {
        if (count * sizeof(T) >= mappedFrom) {
            m_pages = mapZeroed(count * sizeof(T));
            if (m_pages.address) {
                m_data = static_cast<T*>(m_pages.address);
                return;
            }
        }
        m_data = static_cast<T*>(std::calloc(count ? count : 1, sizeof(T)));
        if (!m_data)
            throw std::bad_alloc();
    }
    ~PrefaultedBuffer() { release(); }
    PrefaultedBuffer(PrefaultedBuffer&& other) noexcept
        : m_data(std::exchange(other.m_data, nullptr))
        , m_count(std::exchange(other.m_count, 0))
        , m_pages(std::exchange(other.m_pages, {}))
    {
    }
    PrefaultedBuffer& operator=(PrefaultedBuffer&& other) noexcept
    {
        if (this != &other) {
            release();
            m_data = std::exchange(other.m_data, nullptr);
            m_count = std::exchange(other.m_count, 0);
            m_pages = std::exchange(other.m_pages, {});
        }
        return *this;
    }
    PrefaultedBuffer(const PrefaultedBuffer&) = delete;
    PrefaultedBuffer& operator=(const PrefaultedBuffer&) = delete;

    T* data() { return m_data; }
    const T* data() const { return m_data; }
    std::size_t size() const { return m_count; }
    T& operator[](std::size_t i) { return m_data[i]; }
    const T& operator[](std::size_t i) const { return m_data[i]; }
    T* begin() { return m_data; }
    T* end() { return m_data + m_count; }

private:
    static constexpr std::size_t mappedFrom = 256 * 1024;

    void release()
    {
        if (m_pages.address)
            unmap(std::exchange(m_pages, {}));
        else
            std::free(m_data);
        m_data = nullptr;
    }

    T* m_data { nullptr };
    std::size_t m_count { 0 };
    ZeroedPages m_pages;
};

}
