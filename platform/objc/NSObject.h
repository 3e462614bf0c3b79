#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "RefPtr.h"
#include "Runtime.h"

// Values attached to an object under a key, released with the object. Every
// policy retains the value; atomicity is the caller's business, as the
// non-atomic policies say.
enum objc_AssociationPolicy : unsigned {
    OBJC_ASSOCIATION_ASSIGN = 0,
    OBJC_ASSOCIATION_RETAIN_NONATOMIC = 1,
    OBJC_ASSOCIATION_COPY_NONATOMIC = 3,
    OBJC_ASSOCIATION_RETAIN = 01401,
    OBJC_ASSOCIATION_COPY = 01403,
};

// The root class. Objects are reference counted (WTF's RefCounted, made
// thread-safe because colours cross threads in library use) and know their
// runtime class from their C++ type, so every subclass registers one.
class NSObject;
void objc_clearWeakReferences(const NSObject*);

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
        if (m_refCount.fetch_sub(1, std::memory_order_acq_rel) != 1)
            return;
        if (m_isWeaklyReferenced.load(std::memory_order_relaxed))
            objc_clearWeakReferences(this);
        delete this;
    }
    unsigned retainCountForTesting() const { return m_refCount.load(); }

    Class isa() const;
    bool isKindOfClass(Class) const;
    bool respondsToSelector(SEL) const;

    // -isEqual: and -description; subclasses with value semantics override.
    virtual bool isEqual(const NSObject* other) const { return this == other; }
    // Equal objects hash alike.
    virtual std::size_t hash() const { return reinterpret_cast<std::size_t>(this); }
    virtual std::string description() const;

private:
    friend RefPtr<NSObject> class_createInstance(Class);
    friend void objc_storeWeak(id*, id);
    friend RefPtr<NSObject> objc_loadWeakRetained(id*);
    // A reference for a weak load, unless the last one is already gone.
    bool tryRefForWeakLoad() const
    {
        unsigned count = m_refCount.load(std::memory_order_relaxed);
        while (count && !m_refCount.compare_exchange_weak(count, count + 1, std::memory_order_relaxed)) { }
        return count;
    }

    friend void objc_setAssociatedObject(id, const void*, id, objc_AssociationPolicy);
    friend id objc_getAssociatedObject(const NSObject*, const void*);

    mutable std::atomic<unsigned> m_refCount { 1 };
    mutable std::atomic<Class> m_isa { nullptr };
    mutable std::atomic<bool> m_isWeaklyReferenced { false };
    std::unique_ptr<std::vector<std::pair<const void*, RefPtr<NSObject>>>> m_associations;
};

void objc_setAssociatedObject(id object, const void* key, id value, objc_AssociationPolicy);
// Sets every weak location holding the object to none (WeakReference.h).
void objc_clearWeakReferences(const NSObject*);
id objc_getAssociatedObject(const NSObject* object, const void* key);

// A checked downcast along the runtime's class hierarchy.
template <typename T> T* objc_dynamicCast(NSObject* object)
{
    if (!object || !object->isKindOfClass(T::objcClass()))
        return nullptr;
    return static_cast<T*>(object);
}

template <typename T> const T* objc_dynamicCast(const NSObject* object)
{
    return objc_dynamicCast<T>(const_cast<NSObject*>(object));
}

template <typename T> RefPtr<T> objc_dynamicCast(RefPtr<NSObject>&& object)
{
    if (!objc_dynamicCast<T>(object.get()))
        return nullptr;
    return adoptRef(*static_cast<T*>(object.leakRef()));
}
