#pragma once

// The Social framework's compose sheet. Off the device no service posts
// anything: the sheet keeps what it was given, for the user (and tests) to see.

#include <string>
#include <vector>

#include <uikit/UIViewController.h>

inline constexpr const char* SLServiceTypeTwitter = "com.apple.social.twitter";

class SLComposeViewController : public UIViewController {
public:
    SLComposeViewController() = default;
    static Class objcClass();

    // None for a service this platform does not know.
    static RefPtr<SLComposeViewController> composeViewControllerForServiceType(const std::string& serviceType);
    static bool isAvailableForServiceType(const std::string& serviceType);

    const std::string& serviceType() const { return m_serviceType; }
    const std::string& initialText() const { return m_initialText; }
    bool setInitialText(std::string text);
    const std::vector<std::string>& urls() const { return m_urls; }
    bool addURL(std::string url);

private:
    std::string m_serviceType;
    std::string m_initialText;
    std::vector<std::string> m_urls;
};
