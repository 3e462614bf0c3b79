#include "PSViewController.h"

#include <objc/ClassBuilder.h>

Class PSViewController::objcClass()
{
    static Class cls = ClassBuilder<PSViewController>("PSViewController", UIViewController::objcClass()).registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredPSViewController = PSViewController::objcClass();

void PSViewController::pushController(Ref<PSViewController> controller)
{
    controller->m_parentController = this;
    if (controller->m_bundlePath.empty())
        controller->m_bundlePath = m_bundlePath;
    if (auto* navigation = navigationController())
        navigation->pushViewController(controller, true);
}
