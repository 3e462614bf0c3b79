#pragma once

#include <atomic>
#include <string>

#include "RefPtr.h"
#include "Runtime.h"

// The root class. Objects are reference counted (WTF's RefCounted, made
// thread-safe because colours cross threads in library use) and know their
// runtime class from their C++ type, so every subclass registers one.
class NSObject {
public:
    NSObject() = default;
    NSObject(const NSObject&) = delete;
    NSObject& operator=(const NSObject&) = delete;
    virtual ~NSObject();

    static Class objcClass();
    static Ref<NSObject> create();

    void ref() const { m_refCount.fetch_add(1, std::memory_order_relaxed); }
    void deref() const
    {
        if (m_refCount.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete this;
    }
    unsigned retainCountForTesting() const { return m_refCount.load(); }

    Class isa() const;
    bool isKindOfClass(Class) const;
    bool respondsToSelector(SEL) const;

    // -isEqual: and -description; subclasses with value semantics override.
    virtual bool isEqual(const NSObject* other) const { return this == other; }
    virtual std::string description() const;

private:
    friend RefPtr<NSObject> class_createInstance(Class);

    mutable std::atomic<unsigned> m_refCount { 1 };
    mutable std::atomic<Class> m_isa { nullptr };
};

// A checked downcast along the runtime's class hierarchy.
template <typename T> T* objc_dynamicCast(NSObject* object)
{
    if (!object || !object->isKindOfClass(T::objcClass()))
        return nullptr;
    return static_cast<T*>(object);
}

template <typename T> RefPtr<T> objc_dynamicCast(RefPtr<NSObject>&& object)
{
    if (!objc_dynamicCast<T>(object.get()))
        return nullptr;
    return adoptRef(*static_cast<T*>(object.leakRef()));
}
