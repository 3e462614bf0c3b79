#pragma once

// Appearance proxies: values that UIKit gives every instance of a class that
// has not set its own, app-wide (+appearance) or only inside the views of a
// controller class (+appearanceWhenContainedIn:), the contained one winning.

#include <objc/Runtime.h>

#include "UIColor.h"

class UIView;

class UIAppearance {
public:
    // The proxy of the class, made on first use and kept for the process.
    static UIAppearance& appearance(Class);
    static UIAppearance& appearanceWhenContainedIn(Class, Class container);

    UIColor* tintColor() const { return m_tintColor.get(); }
    void setTintColor(RefPtr<UIColor> color) { m_tintColor = std::move(color); }
    UIColor* onTintColor() const { return m_onTintColor.get(); }
    void setOnTintColor(RefPtr<UIColor> color) { m_onTintColor = std::move(color); }

    enum class Property { TintColor, OnTintColor };
    // The proxies' value for an instance of the class inside the view: the
    // proxy contained in the nearest controller up the view's ancestors
    // first, then the app-wide one; superclasses' proxies count for their
    // subclasses. None when no proxy sets it.
    static UIColor* resolvedValue(Class, const UIView* placement, Property);

    static void resetForTesting();

private:
    UIColor* value(Property property) const { return property == Property::TintColor ? tintColor() : onTintColor(); }

    RefPtr<UIColor> m_tintColor;
    RefPtr<UIColor> m_onTintColor;
};
