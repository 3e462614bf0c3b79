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
