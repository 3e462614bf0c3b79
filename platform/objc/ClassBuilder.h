#pragma once

#include <type_traits>

#include "NSObject.h"

// Registers a C++ class with the runtime under its device name, with its
// methods and named instance variables:
//
//     Class SBApplicationShortcutMenu::objcClass()
//     {
//         static Class cls = ClassBuilder<SBApplicationShortcutMenu>("SBApplicationShortcutMenu", UIView::objcClass())
//             .method("_updateBackgroundForBlurFraction:", &updateBackgroundForBlurFraction)
//             .ivar<&SBApplicationShortcutMenu::m_blurSettings>("_blurSettings")
//             .registerClass();
//         return cls;
//     }
template <typename T> class ClassBuilder {
    static_assert(std::is_base_of_v<NSObject, T>, "runtime classes derive from NSObject");

public:
    ClassBuilder(const char* name, Class superclass)
        : m_class(objc::allocateClass(name, superclass, typeid(T), factory(), &m_isDuplicate))
    {
    }

    ClassBuilder& method(const char* selector, IMP implementation)
    {
        if (!m_isDuplicate)
            class_addMethod(m_class, sel_registerName(selector), implementation);
        return *this;
    }

    template <auto Member> ClassBuilder& ivar(const char* name)
    {
        using Owner = typename MemberTraits<decltype(Member)>::Owner;
        using Type = typename MemberTraits<decltype(Member)>::Type;
        static_assert(std::is_base_of_v<Owner, T> || std::is_same_v<Owner, T>, "the variable belongs to this class");
        if (m_isDuplicate)
            return *this;
        objc::addIvar(m_class, name, { &typeid(Type), [](NSObject* object) -> void* { return &(static_cast<T*>(object)->*Member); } });
        return *this;
    }

    Class registerClass()
    {
        if (!m_isDuplicate)
            objc_registerClassPair(m_class);
        return m_class;
    }

private:
    template <typename M> struct MemberTraits;
    template <typename O, typename M> struct MemberTraits<M O::*> {
        using Owner = O;
        using Type = M;
    };

    static objc::Factory factory()
    {
        if constexpr (std::is_default_constructible_v<T>)
            return []() -> NSObject* { return new T; };
        else
            return nullptr;
    }

    bool m_isDuplicate { false };
    Class m_class;
};
