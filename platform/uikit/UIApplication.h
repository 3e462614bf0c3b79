#pragma once

// The shared application object's URL opening. An address opens when an app
// installed in the root's /Applications declares its scheme under
// CFBundleURLTypes (Safari, part of the system, takes http and https). Every
// address asked to open is recorded, for the headless apps to show.

#include <string>
#include <vector>

class UIApplication {
public:
    static UIApplication& sharedApplication();

    // Whether some installed app handles the address's scheme.
    bool canOpenURL(const std::string& url) const;
    // Hands the address to the app that handles it; false when none does.
    bool openURL(const std::string& url);

    struct OpenedURL {
        std::string url;
        std::string application; // the handling app's bundle identifier; empty when none handled it
    };
    const std::vector<OpenedURL>& openedURLs() const { return m_openedURLs; }
    void clearOpenedURLsForTesting() { m_openedURLs.clear(); }

private:
    UIApplication() = default;
    // The bundle identifier of the app that handles the scheme, or empty.
    std::string applicationForScheme(const std::string& scheme) const;

    std::vector<OpenedURL> m_openedURLs;
};
