#pragma once

// A controller of the Settings app's navigation stack.

#include <string>

#include <uikit/UIViewController.h>

#include "PSSpecifier.h"

class PSViewController : public UIViewController {
public:
    PSViewController() = default;
    static Class objcClass();

    // Shows the controller on top of this one, in the same stack and bundle.
    void pushController(Ref<PSViewController>);

    PSViewController* parentController() const { return m_parentController; }
    PSSpecifier* specifier() const { return m_specifier.get(); }
    void setSpecifier(RefPtr<PSSpecifier> specifier) { m_specifier = std::move(specifier); }

    // The device path of the preference bundle the controller belongs to.
    const std::string& bundlePath() const { return m_bundlePath; }
    void setBundlePath(std::string path) { m_bundlePath = std::move(path); }

private:
    PSViewController* m_parentController { nullptr };
    RefPtr<PSSpecifier> m_specifier;
    std::string m_bundlePath;
};
