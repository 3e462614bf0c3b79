#include "SLComposeViewController.h"

#include <objc/ClassBuilder.h>

namespace {

// Cancel and Post both close the sheet: off the device no service posts.
void close(id self, SEL, id)
{
    static_cast<SLComposeViewController*>(self)->dismissViewControllerAnimated(true, nullptr);
}

}

Class SLComposeViewController::objcClass()
{
    static Class cls = ClassBuilder<SLComposeViewController>("SLComposeViewController", UIViewController::objcClass())
                           .method("cancel:", &close)
                           .method("post:", &close)
                           .registerClass();
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
    sheet->navigationItem()->setLeftBarButtonItem(
        UIBarButtonItem::initWithTitle("Cancel", UIBarButtonItemStyle::Plain, sheet.ptr(), sel_registerName("cancel:")).ptr());
    sheet->navigationItem()->setRightBarButtonItem(
        UIBarButtonItem::initWithTitle("Post", UIBarButtonItemStyle::Done, sheet.ptr(), sel_registerName("post:")).ptr());
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
