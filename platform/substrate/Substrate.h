#pragma once

// Cydia Substrate's method and instance-variable hooks, on the object runtime.

#include <objc/Assertions.h>
#include <objc/Runtime.h>

namespace substrate {
using StoreReplaced = void (*)(void* slot, IMP replaced);
bool hookMessage(Class, SEL, IMP replacement, void* slot, StoreReplaced);
}

// Replaces the implementation of a selector on a class and hands back the one
// it replaced, which is in the slot before the replacement can be reached.
// A method the class only inherits gets an override on the class, and the slot
// then holds the superclass's implementation. Installs nothing, leaving the
// slot untouched, for a null class, selector or replacement, a selector the
// class does not answer, or a replacement whose signature differs from the
// method's (that last is reported on stderr). Answers whether it installed.
bool MSHookMessageEx(Class, SEL, IMP replacement, IMP* replaced);

template <typename R, typename... A> bool MSHookMessageEx(Class cls, SEL op, R (*replacement)(id, SEL, A...), R (**replaced)(id, SEL, A...))
{
    using Function = R(id, SEL, A...);
    return substrate::hookMessage(cls, op, replacement, replaced, [](void* slot, IMP previous) {
        if (slot)
            *static_cast<Function**>(slot) = previous.template as<Function>();
    });
}

// The named instance variable's slot in the object, or null when its class has
// no such variable. T is the variable's declared type; another type is a
// programming error.
template <typename T> T* MSHookIvar(const NSObject* self, const char* name)
{
    Ivar ivar = class_getInstanceVariable(object_getClass(self), name);
    if (!ivar)
        return nullptr;
    OBJC_ASSERT(ivar_getType(ivar) == typeid(T), "MSHookIvar with a type other than the variable's");
    return static_cast<T*>(object_getIvarSlot(self, ivar));
}
