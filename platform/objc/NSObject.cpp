#include "NSObject.h"

#include <cstdio>

#include "ClassBuilder.h"

NSObject::~NSObject() = default;

Class NSObject::objcClass()
{
    static Class cls = ClassBuilder<NSObject>("NSObject", nullptr).registerClass();
    return cls;
}

// Classes are registered when their library loads, as on the device, so that
// objc_getClass finds them by name before any code has touched them.
[[maybe_unused]] static Class registeredNSObject = NSObject::objcClass();

Ref<NSObject> NSObject::create()
{
    return adoptRef(*new NSObject);
}

Class NSObject::isa() const
{
    if (Class cls = m_isa.load(std::memory_order_acquire))
        return cls;
    Class cls = objc::classForCxxType(typeid(*this));
    if (!cls) {
        std::string message = "C++ class " + objc::demangle(typeid(*this).name()) + " is not registered with the runtime";
        objc::assertionFailed(__FILE__, __LINE__, message.c_str());
    }
    m_isa.store(cls, std::memory_order_release);
    return cls;
}

bool NSObject::isKindOfClass(Class cls) const
{
    return class_isSubclassOf(isa(), cls);
}

bool NSObject::respondsToSelector(SEL op) const
{
    return class_respondsToSelector(isa(), op);
}

std::string NSObject::description() const
{
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    return std::string("<") + class_getName(isa()) + ": " + address + ">";
}

void objc_setAssociatedObject(id object, const void* key, id value, objc_AssociationPolicy)
{
    if (!object)
        return;
    if (!object->m_associations)
        object->m_associations = std::make_unique<std::vector<std::pair<const void*, RefPtr<NSObject>>>>();
    auto& associations = *object->m_associations;
    for (auto it = associations.begin(); it != associations.end(); ++it) {
        if (it->first == key) {
            if (value)
                it->second = value;
            else
                associations.erase(it);
            return;
        }
    }
    if (value)
        associations.emplace_back(key, value);
}

id objc_getAssociatedObject(const NSObject* object, const void* key)
{
    if (!object || !object->m_associations)
        return nullptr;
    for (auto& [associatedKey, value] : *object->m_associations) {
        if (associatedKey == key)
            return value.get();
    }
    return nullptr;
}
