#include "SLComposeViewController.h"

#include <objc/ClassBuilder.h>
#include <uikit/UILabel.h>

namespace {

// iOS 9's tweet sheet: a white card with its own bar over the dimmed
// screen, the text, and the links under it in the tint.
void buildSheet(id self, SEL, bool)
{
    auto* sheet = static_cast<SLComposeViewController*>(self);
    UIView* view = sheet->view();
    for (auto& subview : std::vector<Ref<UIView>>(view->subviews()))
        subview->removeFromSuperview();
    view->setBackgroundColor(UIColor::colorWithWhite(0, 0.4).ptr());
    CGFloat width = view->bounds().size.width - 20;
    auto card = UIView::create(CGRectMake(10, 60, width, 220));
    card->setBackgroundColor(UIColor::colorWithWhite(0.98, 1).ptr());
    card->layer()->setCornerRadius(10);
    card->setClipsToBounds(true);
    auto bar = adoptRef(*new UINavigationBar);
    UIView::initWithFrame(bar.ptr(), initWithFrameSelector(), CGRectMake(0, 0, width, 44));
    UINavigationItem item;
    item.setTitle(sheet->serviceType() == SLServiceTypeTwitter ? "Twitter" : sheet->serviceType());
    item.setLeftBarButtonItem(sheet->navigationItem()->leftBarButtonItem());
    item.setRightBarButtonItem(sheet->navigationItem()->rightBarButtonItem());
    bar->showItem(&item, nullptr, nullptr);
    card->addSubview(bar);
    CGFloat y = 54;
    auto addText = [&](const std::string& text, RefPtr<UIColor> color) {
        auto label = UILabel::create(CGRectMake(12, y, width - 24, 0));
        label->setText(text);
        label->setNumberOfLines(0);
        label->setTextColor(std::move(color));
        label->setFrame(CGRectMake(12, y, width - 24, label->heightForWidth(width - 24)));
        y += label->frame().size.height + 6;
        card->addSubview(label);
    };
    addText(sheet->initialText(), nullptr);
    for (auto& url : sheet->urls())
        addText(url, UIColor::colorWithRed(0, 122 / 255.0, 1, 1).ptr());
    card->setFrame(CGRectMake(10, 60, width, std::max(220.0, y + 12)));
    view->addSubview(card);
}

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
                           .method("viewWillAppear:", &buildSheet)
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
