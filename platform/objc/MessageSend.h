#pragma once

// Sending a message through the runtime. The signature is named as a function
// type, the way device code casts objc_msgSend:
//     objc_msgSend<id(CGRect)>(view, sel_registerName("initWithFrame:"), frame)
// A message to nil answers zero; an unknown selector or a signature that
// differs from the implementation's is a programming error and stops the
// process with the class and selector named.

#include <type_traits>
#include <utility>

#include "Runtime.h"

namespace objc {

template <typename Signature> struct Message;

template <typename R, typename... A> struct Message<R(A...)> {
    using Implementation = R (*)(id, SEL, A...);

    template <typename... Given> static R send(const NSObject* receiver, Class startClass, SEL op, Given&&... arguments)
    {
        if (!receiver) {
            if constexpr (std::is_void_v<R>)
                return;
            else
                return R {};
        }
        auto function = reinterpret_cast<Implementation>(lookUpImplementation(receiver, startClass, op, typeid(Implementation)));
        return function(const_cast<NSObject*>(receiver), op, std::forward<Given>(arguments)...);
    }
};

}

template <typename Signature, typename... Given> decltype(auto) objc_msgSend(const NSObject* receiver, SEL op, Given&&... arguments)
{
    return objc::Message<Signature>::send(receiver, nullptr, op, std::forward<Given>(arguments)...);
}

// [super op...]: the search starts at the superclass of the class whose code sends it.
template <typename Signature, typename... Given> decltype(auto) objc_msgSendSuper(Class currentClass, const NSObject* receiver, SEL op, Given&&... arguments)
{
    return objc::Message<Signature>::send(receiver, class_getSuperclass(currentClass), op, std::forward<Given>(arguments)...);
}
