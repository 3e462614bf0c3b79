#pragma once

// Zeroing weak references, as __weak: a location registered with the runtime
// is set to none the moment its object's last reference goes, before the
// object is destroyed, so a freed delegate is never messaged.

#include "NSObject.h"

// The runtime's entry points. The location must stay where it is while it
// holds an object (WeakObjCPtr moves it properly).
void objc_storeWeak(id* location, id object);
// The object with a reference taken, or none if it is gone or going.
RefPtr<NSObject> objc_loadWeakRetained(id* location);
// The object without a reference taken, for the thread that owns it.
id objc_loadWeak(id* location);

template <typename T = NSObject> class WeakObjCPtr {
public:
    WeakObjCPtr() = default;
    WeakObjCPtr(T* object) { objc_storeWeak(&m_location, object); }
    WeakObjCPtr(const WeakObjCPtr& other) { objc_storeWeak(&m_location, other.get()); }
    WeakObjCPtr& operator=(const WeakObjCPtr& other)
    {
        objc_storeWeak(&m_location, other.get());
        return *this;
    }
    WeakObjCPtr& operator=(T* object)
    {
        objc_storeWeak(&m_location, object);
        return *this;
    }
    ~WeakObjCPtr() { objc_storeWeak(&m_location, nullptr); }

    T* get() const { return static_cast<T*>(objc_loadWeak(const_cast<id*>(&m_location))); }
    RefPtr<T> retained() const
    {
        RefPtr<NSObject> object = objc_loadWeakRetained(const_cast<id*>(&m_location));
        if (!object)
            return nullptr;
        return adoptRef(*static_cast<T*>(object.leakRef()));
    }
    explicit operator bool() const { return get(); }

private:
    id m_location { nullptr };
};
