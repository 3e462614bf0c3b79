#include "Substrate.h"

#include <cstdio>

namespace substrate {

bool hookMessage(Class cls, SEL op, IMP replacement, void* slot, StoreReplaced storeReplaced)
{
    if (!cls || !op || !replacement)
        return false;
    struct Slot {
        void* slot;
        StoreReplaced store;
    } target { slot, storeReplaced };
    IMP current;
    auto result = objc::installHook(
        cls, op, replacement, current, [](void* context, IMP previous) { static_cast<Slot*>(context)->store(static_cast<Slot*>(context)->slot, previous); },
        &target);
    switch (result) {
    case objc::HookResult::Installed:
        return true;
    case objc::HookResult::NotFound:
        std::fprintf(stderr, "MS:Error: message not found [%s %s]\n", class_getName(cls), sel_getName(op));
        return false;
    case objc::HookResult::WrongSignature:
        std::fprintf(stderr, "MS:Error: [%s %s] is %s; a replacement of type %s is not installed\n", class_getName(cls), sel_getName(op),
            current.signatureName().c_str(), replacement.signatureName().c_str());
        return false;
    }
    return false;
}

}

bool MSHookMessageEx(Class cls, SEL op, IMP replacement, IMP* replaced)
{
    return substrate::hookMessage(cls, op, replacement, replaced, [](void* slot, IMP previous) {
        if (slot)
            *static_cast<IMP*>(slot) = previous;
    });
}
