#pragma once

// The object runtime: classes registered by name, interned selectors, method
// tables holding typed implementations, and instance variables by name. The
// functions keep the names of the device's runtime so that code calling them
// reads as it would there.

#include <cstdint>
#include <string>
#include <string_view>
#include <typeinfo>

class NSObject;
struct objc_class;
struct objc_selector;
struct objc_method;
struct objc_ivar;

using id = NSObject*;
using Class = objc_class*;
using SEL = const objc_selector*;
using Method = objc_method*;
using Ivar = const objc_ivar*;

// An implementation together with its exact C++ signature, R (*)(id, SEL, A...).
// The signature travels with the pointer so that a caller or a replacement of
// the wrong type is caught where it is installed or sent, never by a crash.
class IMP {
public:
    IMP() = default;
    IMP(std::nullptr_t) { }
    template <typename R, typename... A>
    IMP(R (*function)(id, SEL, A...))
        : m_function(reinterpret_cast<void (*)()>(function))
        , m_signature(function ? &typeid(R(*)(id, SEL, A...)) : nullptr)
    {
    }

    explicit operator bool() const { return m_function; }
    bool operator==(const IMP& other) const { return m_function == other.m_function; }

    void (*function() const)() { return m_function; }
    const std::type_info* signature() const { return m_signature; }
    bool hasSignature(const std::type_info& signature) const { return m_signature && *m_signature == signature; }
    std::string signatureName() const;

    template <typename Function> Function* as() const
    {
        if (!m_function || !hasSignature(typeid(Function*)))
            return nullptr;
        return reinterpret_cast<Function*>(m_function);
    }

private:
    void (*m_function)() { nullptr };
    const std::type_info* m_signature { nullptr };
};

SEL sel_registerName(std::string_view name);
const char* sel_getName(SEL);

Class objc_getClass(const char* name);
Class object_getClass(const NSObject*);
const char* object_getClassName(const NSObject*);

const char* class_getName(Class);
Class class_getSuperclass(Class);
bool class_isSubclassOf(Class, Class ancestor);
bool class_respondsToSelector(Class, SEL);

// Method tables. class_getInstanceMethod searches the superclasses as well.
Method class_getInstanceMethod(Class, SEL);
IMP class_getMethodImplementation(Class, SEL);
bool class_addMethod(Class, SEL, IMP);
IMP class_replaceMethod(Class, SEL, IMP);
SEL method_getName(Method);
IMP method_getImplementation(Method);
IMP method_setImplementation(Method, IMP);

// Instance variables. A slot is reached through the variable rather than a
// byte offset: C++ member layout is the compiler's, so each variable carries a
// typed accessor instead.
Ivar class_getInstanceVariable(Class, const char* name);
const char* ivar_getName(Ivar);
const std::type_info& ivar_getType(Ivar);
void* object_getIvarSlot(const NSObject*, Ivar);

// Subclasses made at run time (no C++ type of their own): instances are of
// the nearest registered C++ superclass and answer the new class's methods.
Class objc_allocateClassPair(Class superclass, const char* name);
void objc_registerClassPair(Class);

// +alloc: a new instance of the class, or null when the class cannot be made
// without arguments.
template <typename T> class RefPtr;
RefPtr<NSObject> class_createInstance(Class);

namespace objc {

using Factory = NSObject* (*)();
struct IvarAccessor {
    const std::type_info* type;
    void* (*slot)(NSObject*);
};

// Used by ClassBuilder. A second library defining a class of the same name
// (two deliverables carrying one library) gets the first class back, as the
// device's runtime keeps one of the two; isDuplicate then tells it to add nothing.
Class allocateClass(const char* name, Class superclass, const std::type_info& cxxType, Factory, bool* isDuplicate);
void addIvar(Class, const char* name, IvarAccessor);

Class classForCxxType(const std::type_info&);
void (*lookUpImplementation(const NSObject* receiver, Class startClass, SEL, const std::type_info& signature))();

std::string demangle(const char* mangledName);

// A hook's lookup and install as one step under the runtime's lock, so no
// other thread's hook or method change comes between them. Finds the method,
// checks the replacement's signature, calls beforeInstall with the current
// implementation (it must not call the runtime), then replaces the class's
// own method or adds an override of an inherited one.
enum class HookResult { Installed, NotFound, WrongSignature };
HookResult installHook(Class, SEL, IMP replacement, IMP& current, void (*beforeInstall)(void* context, IMP current), void* context);

}
