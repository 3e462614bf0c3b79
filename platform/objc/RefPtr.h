#pragma once

// Intrusive reference counting in the manner of WebKit's WTF: Ref<T> is never
// null and RefPtr<T> may be. Objects start with a count of one, so a fresh
// object is handed to adoptRef() rather than retained again.

#include <cstddef>
#include <type_traits>
#include <utility>

#include "Assertions.h"

template <typename T> class Ref;
template <typename T> class RefPtr;

template <typename T> Ref<T> adoptRef(T&);

template <typename T> class Ref {
public:
    Ref(T& object)
        : m_ptr(&object)
    {
        m_ptr->ref();
    }
    Ref(const Ref& other)
        : m_ptr(other.m_ptr)
    {
        m_ptr->ref();
    }
    template <typename U>
    requires std::is_convertible_v<U*, T*> Ref(const Ref<U>& other)
        : m_ptr(other.ptr())
    {
        m_ptr->ref();
    }
    Ref(Ref&& other)
        : m_ptr(other.leakRef())
    {
    }
    template <typename U>
    requires std::is_convertible_v<U*, T*> Ref(Ref<U>&& other)
        : m_ptr(other.leakRef())
    {
    }
    ~Ref()
    {
        if (m_ptr)
            m_ptr->deref();
    }

    Ref& operator=(Ref other)
    {
        std::swap(m_ptr, other.m_ptr);
        return *this;
    }

    T* operator->() const { return ptr(); }
    T& get() const { return *ptr(); }
    T* ptr() const
    {
        OBJC_ASSERT(m_ptr, "use of a moved-from Ref");
        return m_ptr;
    }
    operator T&() const { return get(); }

    T* leakRef()
    {
        OBJC_ASSERT(m_ptr, "use of a moved-from Ref");
        return std::exchange(m_ptr, nullptr);
    }

private:
    template <typename U> friend Ref<U> adoptRef(U&);
    enum class Adopt { Tag };
    Ref(T& object, Adopt)
        : m_ptr(&object)
    {
    }

    T* m_ptr;
};

template <typename T> Ref<T> adoptRef(T& object)
{
    return Ref<T>(object, Ref<T>::Adopt::Tag);
}

template <typename T> class RefPtr {
public:
    RefPtr() = default;
    RefPtr(std::nullptr_t) { }
    RefPtr(T* object)
        : m_ptr(object)
    {
        if (m_ptr)
            m_ptr->ref();
    }
    // Only where the pointer converts implicitly, as WTF allows; a downcast
    // goes through objc_dynamicCast.
    template <typename U>
    requires std::is_convertible_v<U*, T*> RefPtr(U* object)
        : RefPtr(static_cast<T*>(object))
    {
    }
    RefPtr(const RefPtr& other)
        : RefPtr(other.m_ptr)
    {
    }
    template <typename U>
    requires std::is_convertible_v<U*, T*> RefPtr(const RefPtr<U>& other)
        : RefPtr(other.get())
    {
    }
    RefPtr(RefPtr&& other)
        : m_ptr(std::exchange(other.m_ptr, nullptr))
    {
    }
    template <typename U>
    requires std::is_convertible_v<U*, T*> RefPtr(RefPtr<U>&& other)
        : m_ptr(other.leakRef())
    {
    }
    template <typename U>
    requires std::is_convertible_v<U*, T*> RefPtr(const Ref<U>& other)
        : RefPtr(other.ptr())
    {
    }
    template <typename U>
    requires std::is_convertible_v<U*, T*> RefPtr(Ref<U>&& other)
        : m_ptr(other.leakRef())
    {
    }
    ~RefPtr()
    {
        if (m_ptr)
            m_ptr->deref();
    }

    RefPtr& operator=(RefPtr other)
    {
        std::swap(m_ptr, other.m_ptr);
        return *this;
    }

    T* get() const { return m_ptr; }
    T* operator->() const
    {
        OBJC_ASSERT(m_ptr, "dereference of a null RefPtr");
        return m_ptr;
    }
    T& operator*() const
    {
        OBJC_ASSERT(m_ptr, "dereference of a null RefPtr");
        return *m_ptr;
    }
    explicit operator bool() const { return m_ptr; }
    bool operator!() const { return !m_ptr; }

    T* leakRef() { return std::exchange(m_ptr, nullptr); }
    Ref<T> releaseNonNull()
    {
        OBJC_ASSERT(m_ptr, "releaseNonNull on a null RefPtr");
        return adoptRef(*leakRef());
    }

private:
    T* m_ptr { nullptr };
};

template <typename T, typename U> bool operator==(const RefPtr<T>& a, const RefPtr<U>& b)
{
    return a.get() == b.get();
}
template <typename T, typename U> bool operator==(const RefPtr<T>& a, U* b)
{
    return a.get() == b;
}
template <typename T> bool operator==(const RefPtr<T>& a, std::nullptr_t)
{
    return !a.get();
}
template <typename T, typename U> bool operator==(const Ref<T>& a, const Ref<U>& b)
{
    return a.ptr() == b.ptr();
}
