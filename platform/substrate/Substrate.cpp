#include "Substrate.h"

#include <cstdio>

namespace substrate {

bool hookMessage(Class cls, SEL op, IMP replacement, void* slot, StoreReplaced storeReplaced)
{
    if (!cls || !op || !replacement)
        return false;
    Method method = class_getInstanceMethod(cls, op);
    if (!method) {
        std::fprintf(stderr, "MS:Error: message not found [%s %s]\n", class_getName(cls), sel_getName(op));
        return false;
    }
    IMP current = method_getImplementation(method);
    if (!replacement.hasSignature(*current.signature())) {
        std::fprintf(stderr, "MS:Error: [%s %s] is %s; a replacement of type %s is not installed\n", class_getName(cls), sel_getName(op),
            current.signatureName().c_str(), replacement.signatureName().c_str());
        return false;
    }

    bool isInherited = class_getInstanceMethod(class_getSuperclass(cls), op) == method;
    // The slot is filled first: a replacement calls it without looking.
    storeReplaced(slot, current);
    if (isInherited)
        class_addMethod(cls, op, replacement);
    else
        method_setImplementation(method, replacement);
    return true;
}

}

bool MSHookMessageEx(Class cls, SEL op, IMP replacement, IMP* replaced)
{
    return substrate::hookMessage(cls, op, replacement, replaced, [](void* slot, IMP previous) {
        if (slot)
            *static_cast<IMP*>(slot) = previous;
    });
}
