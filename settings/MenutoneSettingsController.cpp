// The bundle's first screen: the rows of the "MenutoneSettings" plist, read
// from and written to the settings store, the respring and the heart button.

#include <corefoundation/CFNotificationCenter.h>
#include <device/Process.h>
#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>
#include <preferences/PSListController.h>
#include <social/SLComposeViewController.h>
#include <uikit/UIAlertView.h>
#include <uikit/UIAppearance.h>
#include <uikit/UIControl.h>

#include "ScreenConventions.h"

namespace {

constexpr long respringAlertTag = 2000;
constexpr const char* packageIdentifier = "com.harbrook.menutone";

class MenutoneSettingsController : public PSListController {
public:
    static Class objcClass();
};

id init(id self, SEL op)
{
    self = objc_msgSendSuper<id()>(MenutoneSettingsController::objcClass(), self, op);
    if (!self)
        return self;
    auto* controller = static_cast<MenutoneSettingsController*>(self);
    setTitleImage(*controller, "MenutoneSettingsIcon.png", Rendering::Original);
    static SEL loveTapped = sel_registerName("loveTapped:");
    auto love = UIBarButtonItem::initWithImage(bundleImage("love.png", Rendering::Original), UIBarButtonItemStyle::Plain, self, loveTapped);
    love->setAccessibilityLabel("Share on Twitter");
    controller->navigationItem()->setRightBarButtonItem(love.ptr());

    controller->view()->setTintColor(settingsTint());
    auto* own = controller->navigationController();
    if (auto* holder = own ? own->navigationController() : nullptr)
        holder->navigationBar()->setTintColor(settingsTint());
    if (own)
        own->navigationBar()->setTintColor(settingsTint());
    UIAppearance::appearance(UIBarButtonItem::objcClass()).setTintColor(settingsTint());
    UIAppearance::appearanceWhenContainedIn(UISwitch::objcClass(), MenutoneSettingsController::objcClass()).setOnTintColor(controller->view()->tintColor());
    return self;
}

PSSpecifierArray specifiers(id self, SEL)
{
    auto* controller = static_cast<MenutoneSettingsController*>(self);
    if (controller->m_specifiers.empty())
        controller->m_specifiers = controller->loadSpecifiersFromPlistName("MenutoneSettings", self);
    return controller->m_specifiers;
}

void viewWillAppear(id self, SEL op, bool animated)
{
    objc_msgSendSuper<void(bool)>(MenutoneSettingsController::objcClass(), self, op, animated);
    Ref<MenutoneSettingsController> controller(*static_cast<MenutoneSettingsController*>(self));
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 100000000), dispatch_get_main_queue(), [controller] {
        controller->reloadSpecifiers();
        controller->table()->reloadData();
        applySettingsTint(controller);
    });
}

std::optional<PropertyListValue> readPreferenceValue(id, SEL, id specifierObject)
{
    auto* specifier = objc_dynamicCast<PSSpecifier>(specifierObject);
    if (!specifier)
        return std::nullopt;
    auto settings = SettingsStore::read();
    const PropertyListValue* stored = settings ? settings->objectForKey(specifier->stringProperty("key")) : nullptr;
    if (!stored) {
        auto* fallback = specifier->propertyForKey("default");
        return fallback ? std::optional(*fallback) : std::nullopt;
    }
    // Whatever is stored goes back unchanged: the host makes of it what it can.
    return *stored;
}

void setPreferenceValue(id, SEL, std::optional<PropertyListValue> value, id specifierObject)
{
    auto* specifier = objc_dynamicCast<PSSpecifier>(specifierObject);
    if (!specifier)
        return;
    // The specifier names the notification to post, if any.
    SettingsStore::change(specifier->stringProperty("key"), std::move(value), SettingsStore::AfterWrite::Nothing);
    if (auto name = specifier->stringProperty("PostNotification"); !name.empty())
        CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), CFStringMakeConstantString(name.c_str()), nullptr, nullptr, true);
}

void respring(id self, SEL, id)
{
    auto alert = UIAlertView::create("Respring?", "Are you sure you want to respring?", self, std::string("No"), { "Yes" });
    alert->setTag(respringAlertTag);
    dispatch_async(dispatch_get_main_queue(), [alert] { alert->show(); });
}

void alertViewClicked(id, SEL, id alertObject, long buttonIndex)
{
    auto* alert = objc_dynamicCast<UIAlertView>(alertObject);
    if (alert && buttonIndex != alert->cancelButtonIndex() && alert->tag() == respringAlertTag)
        device::system("killall backboardd");
}

void loveTapped(id self, SEL, id)
{
    auto composer = SLComposeViewController::composeViewControllerForServiceType(SLServiceTypeTwitter);
    if (!composer)
        return;
    composer->setInitialText("I love #Menutone by @harbrook");
    composer->addURL(std::string("https://repo.harbrook.com/package/") + packageIdentifier + "/");
    static_cast<MenutoneSettingsController*>(self)->presentViewController(*composer, true, nullptr);
}

// Outside the class, so that these names find this file's functions rather than the superclass's.
Class makeClass()
{
    return ClassBuilder<MenutoneSettingsController>("MenutoneSettingsController", PSListController::objcClass())
        .method("init", &init)
        .method("specifiers", &specifiers)
        .method("viewWillAppear:", &viewWillAppear)
        .method("readPreferenceValue:", &readPreferenceValue)
        .method("setPreferenceValue:specifier:", &setPreferenceValue)
        .method("respring:", &respring)
        .method("loveTapped:", &loveTapped)
        .method("alertView:clickedButtonAtIndex:", &alertViewClicked)
        .method("tableView:titleAlignmentForHeaderInSection:", &centredTitleAlignment)
        .method("tableView:titleAlignmentForFooterInSection:", &centredTitleAlignment)
        .registerClass();
}

Class MenutoneSettingsController::objcClass()
{
    static Class cls = makeClass();
    return cls;
}

[[maybe_unused]] Class registered = MenutoneSettingsController::objcClass();

}
