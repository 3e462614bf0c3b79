#include "SLComposeViewController.h"

#include <objc/ClassBuilder.h>

Class SLComposeViewController::objcClass()
{
    static Class cls = ClassBuilder<SLComposeViewController>("SLComposeViewController", UIViewController::objcClass()).registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredSLComposeViewController = SLComposeViewController::objcClass();

bool SLComposeViewController::isAvailableForServiceType(const std::string& serviceType)
{
    return serviceType == SLServiceTypeTwitter;
}

RefPtr<SLComposeViewController> SLComposeViewController::composeViewControllerForServiceType(const std::string& serviceType)
{
    if (!isAvailableForServiceType(serviceType))
        return nullptr;
    auto sheet = adoptRef(*new SLComposeViewController);
    sheet->m_serviceType = serviceType;
    return sheet.ptr();
}

bool SLComposeViewController::setInitialText(std::string text)
{
    m_initialText = std::move(text);
    return true;
}

bool SLComposeViewController::addURL(std::string url)
{
    m_urls.push_back(std::move(url));
    return true;
}
