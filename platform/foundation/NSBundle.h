#pragma once

#include <string>

// The process's own bundle: its identifier names its user-defaults domain.
class NSBundle {
public:
    static NSBundle& mainBundle();

    // The host program sets it at start; else the program's name.
    const std::string& bundleIdentifier() const { return m_bundleIdentifier; }
    void setBundleIdentifier(std::string identifier) { m_bundleIdentifier = std::move(identifier); }

private:
    NSBundle();
    std::string m_bundleIdentifier;
};
