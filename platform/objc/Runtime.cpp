#include "Runtime.h"

#include <cxxabi.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <thread>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "NSObject.h"

struct objc_selector {
    std::string name;
};

struct objc_method {
    SEL name;
    IMP implementation;
};

struct objc_ivar {
    std::string name;
    objc::IvarAccessor accessor;
    Class owner;
};

struct objc_class {
    std::string name;
    Class superclass { nullptr };
    const std::type_info* cxxType { nullptr };
    objc::Factory factory { nullptr };
    std::atomic<bool> isRegistered { false }; // read without the lock once set
    std::unordered_map<SEL, std::unique_ptr<objc_method>> methods;
    std::vector<std::unique_ptr<objc_ivar>> ivars;
    // Variables lately found by name in a registered class (whose variables
    // never change): MSHookIvar looks the same few up on every call.
    std::array<std::atomic<const objc_ivar*>, 16> foundIvars {};
};

namespace {

// The tables are read on every message and changed only as classes load and
// hooks install: a spinning reader-writer lock (one word: -1 while a writer
// holds it, else the count of readers) costs far less than a mutex.
class SpinLock {
public:
    void lock()
    {
        for (int expected = 0; !m_state.compare_exchange_weak(expected, -1, std::memory_order_acquire, std::memory_order_relaxed); expected = 0)
            waitWhile([](int state) { return state != 0; });
    }
    void unlock() { m_state.store(0, std::memory_order_release); }
    void lock_shared()
    {
        int expected = m_state.load(std::memory_order_relaxed);
        while (expected < 0 || !m_state.compare_exchange_weak(expected, expected + 1, std::memory_order_acquire, std::memory_order_relaxed)) {
            if (expected < 0) {
                waitWhile([](int state) { return state < 0; });
                expected = m_state.load(std::memory_order_relaxed);
            }
        }
    }
    void unlock_shared() { m_state.fetch_sub(1, std::memory_order_release); }

private:
    template <typename Predicate> void waitWhile(Predicate isBusy)
    {
        while (isBusy(m_state.load(std::memory_order_relaxed)))
            std::this_thread::yield();
    }

    std::atomic<int> m_state { 0 };
};

struct Runtime {
    SpinLock lock;
    std::unordered_map<std::string, std::unique_ptr<objc_class>> classes;
    std::unordered_map<std::type_index, Class> classesByType;
    std::unordered_map<std::string_view, std::unique_ptr<objc_selector>> selectors;
};

Runtime& runtime()
{
    static Runtime* instance = new Runtime; // never destroyed: classes outlive static destructors
    return *instance;
}

Method findMethod(Class cls, SEL op)
{
    for (; cls; cls = cls->superclass) {
        if (auto it = cls->methods.find(op); it != cls->methods.end())
            return it->second.get();
    }
    return nullptr;
}

}

namespace objc {

void assertionFailed(const char* file, int line, const char* message)
{
    std::fprintf(stderr, "%s:%d: %s\n", file, line, message);
    std::fflush(stderr);
    std::abort();
}

Class classForCxxType(const std::type_info& type)
{
    auto& rt = runtime();
    std::shared_lock guard(rt.lock);
    auto it = rt.classesByType.find(std::type_index(type));
    return it == rt.classesByType.end() ? nullptr : it->second;
}

std::string demangle(const char* mangledName)
{
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> readable(abi::__cxa_demangle(mangledName, nullptr, nullptr, &status), &std::free);
    return status == 0 && readable ? std::string(readable.get()) : std::string(mangledName);
}

Class allocateClass(const char* name, Class superclass, const std::type_info& cxxType, Factory factory, bool* isDuplicate)
{
    auto& rt = runtime();
    std::unique_lock guard(rt.lock);
    std::string key(name);
    *isDuplicate = false;
    if (auto existing = rt.classes.find(key); existing != rt.classes.end()) {
        std::fprintf(stderr, "objc[%d]: Class %s is implemented in two libraries. One of the two will be used.\n", static_cast<int>(::getpid()), name);
        rt.classesByType.emplace(std::type_index(cxxType), existing->second.get());
        *isDuplicate = true;
        return existing->second.get();
    }
    auto cls = std::make_unique<objc_class>();
    cls->name = key;
    cls->superclass = superclass;
    cls->cxxType = &cxxType;
    cls->factory = factory;
    Class result = cls.get();
    rt.classes.emplace(key, std::move(cls));
    rt.classesByType.emplace(std::type_index(cxxType), result);
    return result;
}

void addIvar(Class cls, const char* name, IvarAccessor accessor)
{
    OBJC_ASSERT(cls && !cls->isRegistered, "instance variables are added before the class is registered");
    OBJC_ASSERT(cls->cxxType, "a class made at run time has no storage for instance variables");
    std::unique_lock guard(runtime().lock);
    cls->ivars.push_back(std::make_unique<objc_ivar>(objc_ivar { name, accessor, cls }));
}

void (*lookUpImplementation(const NSObject* receiver, Class startClass, SEL op, const std::type_info& signature))()
{
    Class receiverClass = receiver->isa();
    IMP implementation;
    {
        std::shared_lock guard(runtime().lock);
        if (Method method = findMethod(startClass ? startClass : receiverClass, op))
            implementation = method->implementation;
    }
    if (!implementation) {
        std::string message = std::string("-[") + class_getName(receiverClass) + " " + sel_getName(op) + "]: unrecognized selector sent to instance";
        assertionFailed(__FILE__, __LINE__, message.c_str());
    }
    if (!implementation.hasSignature(signature)) {
        std::string message = std::string("-[") + class_getName(receiverClass) + " " + sel_getName(op) + "] sent as " + demangle(signature.name())
            + " but implemented as " + implementation.signatureName();
        assertionFailed(__FILE__, __LINE__, message.c_str());
    }
    return implementation.function();
}

}

std::string IMP::signatureName() const
{
    return m_signature ? objc::demangle(m_signature->name()) : std::string("(none)");
}

SEL sel_registerName(std::string_view name)
{
    auto& rt = runtime();
    {
        std::shared_lock guard(rt.lock);
        if (auto it = rt.selectors.find(name); it != rt.selectors.end())
            return it->second.get();
    }
    std::unique_lock guard(rt.lock);
    if (auto it = rt.selectors.find(name); it != rt.selectors.end())
        return it->second.get();
    auto selector = std::make_unique<objc_selector>(objc_selector { std::string(name) });
    SEL result = selector.get();
    rt.selectors.emplace(std::string_view(selector->name), std::move(selector));
    return result;
}

const char* sel_getName(SEL op)
{
    return op ? op->name.c_str() : "<null selector>";
}

Class objc_getClass(const char* name)
{
    if (!name)
        return nullptr;
    auto& rt = runtime();
    std::shared_lock guard(rt.lock);
    auto it = rt.classes.find(name);
    if (it == rt.classes.end() || !it->second->isRegistered)
        return nullptr;
    return it->second.get();
}

Class object_getClass(const NSObject* object)
{
    return object ? object->isa() : nullptr;
}

const char* object_getClassName(const NSObject* object)
{
    return object ? class_getName(object->isa()) : "nil";
}

const char* class_getName(Class cls)
{
    return cls ? cls->name.c_str() : "nil";
}

Class class_getSuperclass(Class cls)
{
    return cls ? cls->superclass : nullptr;
}

bool class_isSubclassOf(Class cls, Class ancestor)
{
    for (; cls; cls = cls->superclass) {
        if (cls == ancestor)
            return true;
    }
    return false;
}

bool class_respondsToSelector(Class cls, SEL op)
{
    return class_getInstanceMethod(cls, op);
}

Method class_getInstanceMethod(Class cls, SEL op)
{
    if (!cls || !op)
        return nullptr;
    std::shared_lock guard(runtime().lock);
    return findMethod(cls, op);
}

IMP class_getMethodImplementation(Class cls, SEL op)
{
    Method method = class_getInstanceMethod(cls, op);
    return method ? method_getImplementation(method) : IMP();
}

bool class_addMethod(Class cls, SEL op, IMP implementation)
{
    if (!cls || !op || !implementation)
        return false;
    std::unique_lock guard(runtime().lock);
    if (cls->methods.contains(op))
        return false;
    cls->methods.emplace(op, std::make_unique<objc_method>(objc_method { op, implementation }));
    return true;
}

IMP class_replaceMethod(Class cls, SEL op, IMP implementation)
{
    if (!cls || !op || !implementation)
        return {};
    std::unique_lock guard(runtime().lock);
    if (auto it = cls->methods.find(op); it != cls->methods.end())
        return std::exchange(it->second->implementation, implementation);
    cls->methods.emplace(op, std::make_unique<objc_method>(objc_method { op, implementation }));
    return {};
}

SEL method_getName(Method method)
{
    return method ? method->name : nullptr;
}

IMP method_getImplementation(Method method)
{
    if (!method)
        return {};
    std::shared_lock guard(runtime().lock);
    return method->implementation;
}

IMP method_setImplementation(Method method, IMP implementation)
{
    if (!method || !implementation)
        return {};
    std::unique_lock guard(runtime().lock);
    OBJC_ASSERT(implementation.hasSignature(*method->implementation.signature()), "method_setImplementation with a different signature");
    return std::exchange(method->implementation, implementation);
}

namespace {

Ivar findIvar(Class cls, const char* name)
{
    std::string_view wanted(name);
    for (; cls; cls = cls->superclass) {
        for (auto& ivar : cls->ivars) {
            if (ivar->name == wanted)
                return ivar.get();
        }
    }
    return nullptr;
}

}

Ivar class_getInstanceVariable(Class cls, const char* name)
{
    if (!cls || !name)
        return nullptr;
    if (!cls->isRegistered.load(std::memory_order_acquire)) {
        std::shared_lock guard(runtime().lock);
        return findIvar(cls, name);
    }
    // A registered class's variables and superclass never change: no lock is
    // needed to read them, and what was found stays true.
    auto& remembered = cls->foundIvars[(reinterpret_cast<std::uintptr_t>(name) * 0x9E3779B97F4A7C15ull) >> 60];
    const objc_ivar* found = remembered.load(std::memory_order_relaxed);
    if (found && std::strcmp(found->name.c_str(), name) == 0)
        return found;
    found = findIvar(cls, name);
    if (found)
        remembered.store(found, std::memory_order_relaxed);
    return found;
}

const char* ivar_getName(Ivar ivar)
{
    return ivar ? ivar->name.c_str() : nullptr;
}

const std::type_info& ivar_getType(Ivar ivar)
{
    OBJC_ASSERT(ivar, "ivar_getType of a null variable");
    return *ivar->accessor.type;
}

void* object_getIvarSlot(const NSObject* object, Ivar ivar)
{
    if (!object || !ivar)
        return nullptr;
    OBJC_ASSERT(class_isSubclassOf(object->isa(), ivar->owner), "the object does not have this instance variable");
    return ivar->accessor.slot(const_cast<NSObject*>(object));
}

Class objc_allocateClassPair(Class superclass, const char* name)
{
    if (!superclass || !name)
        return nullptr;
    auto& rt = runtime();
    std::unique_lock guard(rt.lock);
    if (rt.classes.contains(name))
        return nullptr;
    auto cls = std::make_unique<objc_class>();
    cls->name = name;
    cls->superclass = superclass;
    Class result = cls.get();
    rt.classes.emplace(name, std::move(cls));
    return result;
}

void objc_registerClassPair(Class cls)
{
    OBJC_ASSERT(cls, "objc_registerClassPair of a null class");
    std::unique_lock guard(runtime().lock);
    cls->isRegistered.store(true, std::memory_order_release);
}

namespace objc {

HookResult installHook(Class cls, SEL op, IMP replacement, IMP& current, void (*beforeInstall)(void* context, IMP current), void* context)
{
    std::unique_lock guard(runtime().lock);
    Method method = findMethod(cls, op);
    if (!method)
        return HookResult::NotFound;
    current = method->implementation;
    if (!replacement.hasSignature(*current.signature()))
        return HookResult::WrongSignature;
    // The slot is filled first: a replacement calls it without looking.
    beforeInstall(context, current);
    if (auto own = cls->methods.find(op); own != cls->methods.end())
        own->second->implementation = replacement;
    else
        cls->methods.emplace(op, std::make_unique<objc_method>(objc_method { op, replacement }));
    return HookResult::Installed;
}

}

RefPtr<NSObject> class_createInstance(Class cls)
{
    Class maker = cls;
    while (maker && !maker->cxxType)
        maker = maker->superclass;
    if (!maker || !maker->factory)
        return nullptr;
    NSObject* object = maker->factory();
    object->m_isa.store(cls);
    return adoptRef(*object);
}
