#pragma once

// A zeroed buffer whose pages are all mapped when it is made, in one call
// (MAP_POPULATE), for memory that will be written through at once: faulting
// it in a page at a time costs several times more, most of all in a virtual
// machine. Small buffers come from the heap as usual.

#include <sys/mman.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace device {

template <typename T> class PrefaultedBuffer {
    static_assert(std::is_trivial_v<T>, "a prefaulted buffer holds plain values");

public:
    PrefaultedBuffer() = default;
    explicit PrefaultedBuffer(std::size_t count)
        : m_count(count)
        , m_bytes(count * sizeof(T))
    {
        if (m_bytes >= mappedFrom) {
            void* mapped = ::mmap(nullptr, m_bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
            if (mapped != MAP_FAILED) {
                m_data = static_cast<T*>(mapped);
                m_isMapped = true;
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
        , m_bytes(std::exchange(other.m_bytes, 0))
        , m_isMapped(std::exchange(other.m_isMapped, false))
    {
    }
    PrefaultedBuffer& operator=(PrefaultedBuffer&& other) noexcept
    {
        if (this != &other) {
            release();
            m_data = std::exchange(other.m_data, nullptr);
            m_count = std::exchange(other.m_count, 0);
            m_bytes = std::exchange(other.m_bytes, 0);
            m_isMapped = std::exchange(other.m_isMapped, false);
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
        if (m_isMapped)
            ::munmap(m_data, m_bytes);
        else
            std::free(m_data);
        m_data = nullptr;
    }

    T* m_data { nullptr };
    std::size_t m_count { 0 };
    std::size_t m_bytes { 0 };
    bool m_isMapped { false };
};

}
