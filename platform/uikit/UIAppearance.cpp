#include "UIAppearance.h"

#include <map>
#include <memory>
#include <utility>

#include "UIView.h"
#include "UIViewController.h"

namespace {

// Keyed by (class, container); a null container is the app-wide proxy.
std::map<std::pair<Class, Class>, std::unique_ptr<UIAppearance>>& proxies()
{
    static auto* table = new std::map<std::pair<Class, Class>, std::unique_ptr<UIAppearance>>;
    return *table;
}

const UIAppearance* proxyFor(Class cls, Class container)
{
    for (Class current = cls; current; current = class_getSuperclass(current)) {
        auto found = proxies().find({ current, container });
        if (found != proxies().end())
            return found->second.get();
    }
    return nullptr;
}

}

UIAppearance& UIAppearance::appearance(Class cls)
{
    return appearanceWhenContainedIn(cls, nullptr);
}

UIAppearance& UIAppearance::appearanceWhenContainedIn(Class cls, Class container)
{
    auto& slot = proxies()[{ cls, container }];
    if (!slot)
        slot = std::make_unique<UIAppearance>();
    return *slot;
}

UIColor* UIAppearance::resolvedValue(Class cls, const UIView* placement, Property property)
{
    for (const UIView* view = placement; view; view = view->superview()) {
        auto* controller = view->viewController();
        if (!controller)
            continue;
        for (Class container = object_getClass(controller); container; container = class_getSuperclass(container)) {
            auto* proxy = proxyFor(cls, container);
            if (proxy && proxy->value(property))
                return proxy->value(property);
        }
    }
    auto* proxy = proxyFor(cls, nullptr);
    return proxy ? proxy->value(property) : nullptr;
}

void UIAppearance::resetForTesting()
{
    proxies().clear();
}
