#pragma once

#include <atomic>

// The count for reference-counted platform values that are not objects of
// the runtime (CoreGraphics' colours, for one). Starts at one: hand a new
// value to adoptRef().
template <typename T> class RefCounted {
public:
    void ref() const { m_refCount.fetch_add(1, std::memory_order_relaxed); }
    void deref() const
    {
        if (m_refCount.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete static_cast<const T*>(this);
    }

protected:
    RefCounted() = default;
    ~RefCounted() = default;

private:
    mutable std::atomic<unsigned> m_refCount { 1 };
};
