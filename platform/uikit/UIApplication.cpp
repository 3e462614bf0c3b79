#include "UIApplication.h"

#include <algorithm>
#include <cctype>

#include <device/DeviceRoot.h>
#include <foundation/NSDictionary.h>
#include <objc/Assertions.h>

namespace {

// The scheme of an address, lower case; empty when it has none (RFC 3986: a
// letter, then letters, digits, "+", "-" or ".", then ":").
std::string schemeOf(const std::string& url)
{
    auto colon = url.find(':');
    if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(url[0])))
        return {};
    std::string scheme = url.substr(0, colon);
    for (char& c : scheme) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
            return {};
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return scheme;
}

const PropertyListValue::Array* arrayOf(const PropertyListValue* value)
{
    return value ? value->asArray() : nullptr;
}

}

UIApplication& UIApplication::sharedApplication()
{
    static UIApplication* application = new UIApplication;
    return *application;
}

std::string UIApplication::applicationForScheme(const std::string& scheme) const
{
    if (scheme.empty())
        return {};
    if (scheme == "http" || scheme == "https")
        return "com.apple.mobilesafari";
    for (auto& name : DeviceRoot::current().namesWithExtension("/Applications", ".app")) {
        auto info = NSDictionary::dictionaryWithContentsOfFile("/Applications/" + name + ".app/Info.plist");
        if (!info)
            continue;
        auto* types = arrayOf(info->objectForKey("CFBundleURLTypes"));
        for (std::size_t i = 0; types && i < types->size(); ++i) {
            auto* schemes = arrayOf((*types)[i].objectForKey("CFBundleURLSchemes"));
            for (std::size_t j = 0; schemes && j < schemes->size(); ++j) {
                auto* declared = (*schemes)[j].asString();
                if (declared && schemeOf(*declared + ":") == scheme) {
                    auto* identifier = info->objectForKey("CFBundleIdentifier");
                    return identifier && identifier->asString() ? *identifier->asString() : name;
                }
            }
        }
    }
    return {};
}

bool UIApplication::canOpenURL(const std::string& url) const
{
    return !applicationForScheme(schemeOf(url)).empty();
}

bool UIApplication::openURL(const std::string& url)
{
    std::string application = applicationForScheme(schemeOf(url));
    if (m_openURLHandler) {
        auto handler = m_openURLHandler;
        handler(url, application);
    }
    return !application.empty();
}

void UIApplication::endIgnoringInteractionEvents()
{
    OBJC_ASSERT(m_ignoringInteractionDepth > 0, "every end of ignoring interaction events follows its begin");
    --m_ignoringInteractionDepth;
}
