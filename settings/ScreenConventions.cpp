#include "ScreenConventions.h"

#include <corefoundation/CFNotificationCenter.h>
#include <uikit/UIAppearance.h>
#include <uikit/UIControl.h>
#include <uikit/UIGraphics.h>

Ref<UIColor> settingsTint()
{
    return UIColor::colorWithRed(228 / 255.0, 66 / 255.0, 53 / 255.0, 1.0);
}

RefPtr<UIImage> bundleImage(const std::string& fileName, Rendering rendering)
{
    RefPtr<UIImage> image = UIImage::imageWithContentsOfFile(std::string(kMenutoneBundlePath) + fileName);
    if (image && rendering == Rendering::Template)
        image = image->imageWithRenderingMode(UIImageRenderingMode::AlwaysTemplate).ptr();
    return image;
}

void setTitleImage(UIViewController& controller, const std::string& fileName, Rendering rendering)
{
    auto titleView = UIImageView::create(CGRectMake(0, 0, 30, 30));
    titleView->setImage(bundleImage(fileName, rendering));
    controller.navigationItem()->setTitleView(titleView.ptr());
}

void loadOwnTable(UIViewController& controller)
{
    auto table = UITableView::create(UIScreen::mainScreen().applicationFrame(), UITableViewStyle::Grouped);
    table->setDataSource(&controller);
    table->setDelegate(&controller);
    controller.setView(table.ptr());
}

UITableView* ownTable(UIViewController& controller)
{
    return objc_dynamicCast<UITableView>(controller.view());
}

void applySettingsTint(UIViewController& controller)
{
    auto* own = controller.navigationController();
    if (auto* holder = own ? own->navigationController() : nullptr)
        holder->navigationBar()->setTintColor(settingsTint());
    controller.view()->setTintColor(settingsTint());
    UIAppearance::appearanceWhenContainedIn(UISwitch::objcClass(), object_getClass(&controller)).setOnTintColor(settingsTint());
}

void tintAfterDelay(UIViewController& controller, std::int64_t delayNs)
{
    Ref<UIViewController> protectedController(controller);
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, delayNs), dispatch_get_main_queue(), [protectedController] { applySettingsTint(protectedController); });
}

Ref<UIView> swatchView(RefPtr<UIColor> color)
{
    auto swatch = UIView::create(CGRectMake(0, 0, 20, 20));
    swatch->layer()->setCornerRadius(10);
    swatch->setBackgroundColor(std::move(color));
    return swatch;
}

long centredTitleAlignment(id, SEL, id, long)
{
    return static_cast<long>(NSTextAlignment::Center);
}

double standardRowHeight(id, SEL, id, id)
{
    return 44.0;
}
