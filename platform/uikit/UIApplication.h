#pragma once

// The shared application object's URL opening. An address opens when an app
// installed in the root's /Applications declares its scheme under
// CFBundleURLTypes (Safari, part of the system, takes http and https). The
// system side (the host) hears of every address asked to open.

#include <functional>
#include <string>

class UIApplication {
public:
    static UIApplication& sharedApplication();

    // Whether some installed app handles the address's scheme.
    bool canOpenURL(const std::string& url) const;
    // Hands the address to the app that handles it; false when none does.
    bool openURL(const std::string& url);

    // What the system does with an address: the handling app's bundle
    // identifier is empty when none handles it. None: nothing is told.
    using OpenURLHandler = std::function<void(const std::string& url, const std::string& application)>;
    void setOpenURLHandler(OpenURLHandler handler) { m_openURLHandler = std::move(handler); }

    // -beginIgnoringInteractionEvents and -endIgnoringInteractionEvents, in
    // pairs that nest: while any pair is open (a navigation transition) the
    // window starts no touch, as UIKit drops them.
    void beginIgnoringInteractionEvents() { ++m_ignoringInteractionDepth; }
    void endIgnoringInteractionEvents();
    bool isIgnoringInteractionEvents() const { return m_ignoringInteractionDepth > 0; }

private:
    UIApplication() = default;
    // The bundle identifier of the app that handles the scheme, or empty.
    std::string applicationForScheme(const std::string& scheme) const;

    OpenURLHandler m_openURLHandler;
    int m_ignoringInteractionDepth { 0 };
};
