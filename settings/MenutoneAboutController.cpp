// The about screen: the product's site, the maker's profile, the support
// mail with the device and the installed packages, links to the maker's other
// products, and the reset of every setting.

#include <array>

#include <device/Process.h>
#include <foundation/Unicode.h>
#include <messageui/MFMailComposeViewController.h>
#include <mobilegestalt/MobileGestalt.h>
#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>
#include <preferences/PSListController.h>
#include <uikit/UIAlertView.h>
#include <uikit/UIAppearance.h>
#include <uikit/UIApplication.h>
#include <uikit/UIControl.h>

#include "ScreenConventions.h"

namespace {

constexpr const char* makerHandle = "harbrook";
constexpr const char* supportAddress = "support@harbrook.com";
constexpr const char* siteAddress = "https://harbrook.com/menutone/";
constexpr const char* packageListingCommand = "/usr/bin/dpkg -l";

class MenutoneAboutController : public PSListController {
public:
    static Class objcClass();
};

// The command's output, or none when it cannot start or fails. The output
// is read in pieces of at most 1023 bytes but decoded once, whole: a
// character split between two pieces is joined again, and bytes that are not
// UTF-8 become U+FFFD instead of losing the text.
std::optional<std::string> shellCommand(const std::string& command)
{
    FILE* pipe = device::popen(command, "r");
    if (!pipe)
        return std::nullopt;
    std::string bytes;
    char buffer[1024];
    while (std::fgets(buffer, sizeof buffer, pipe))
        bytes += buffer;
    int status = device::pclose(pipe);
    if (status != 0)
        return std::nullopt;
    return foundation::wellFormedUTF8(std::move(bytes));
}

void openURL(const std::string& address)
{
    UIApplication::sharedApplication().openURL(address);
}

id init(id self, SEL op)
{
    self = objc_msgSendSuper<id()>(MenutoneAboutController::objcClass(), self, op);
    if (!self)
        return self;
    auto* controller = static_cast<MenutoneAboutController*>(self);
    UIAppearance::appearanceWhenContainedIn(UISwitch::objcClass(), MenutoneAboutController::objcClass()).setOnTintColor(controller->view()->tintColor());
    setTitleImage(*controller, "about.png", Rendering::Template);
    return self;
}

PSSpecifierArray specifiers(id self, SEL)
{
    auto* controller = static_cast<MenutoneAboutController*>(self);
    if (controller->m_specifiers.empty())
        controller->m_specifiers = controller->loadSpecifiersFromPlistName("AboutSettings", self);
    return controller->m_specifiers;
}

void showSite(id, SEL, id)
{
    openURL(siteAddress);
}

void followMe(id, SEL, id)
{
    std::string handle = makerHandle;
    const std::array<std::string, 3> clients { "twitter://user?screen_name=" + handle, "tweetbot://" + handle + "/timeline",
        "twitterrific:///profile?screen_name=" + handle };
    auto& application = UIApplication::sharedApplication();
    for (auto& address : clients) {
        if (application.canOpenURL(address)) {
            application.openURL(address);
            return;
        }
    }
    application.openURL("https://twitter.com/" + handle);
}

void sendEmail(id self, SEL, id)
{
    if (!MFMailComposeViewController::canSendMail()) {
        UIAlertView::create("No mail accounts are set up.", "Use the Mail settings to add a new account.", nullptr, std::string("OK"), {})->show();
        return;
    }
    auto info = NSDictionary::dictionaryWithContentsOfFile(std::string(kMenutoneBundlePath) + "Info.plist");
    auto infoString = [&](const char* key) {
        auto* value = info ? info->objectForKey(key) : nullptr;
        return value && value->asString() ? *value->asString() : std::string("(null)");
    };
    auto composer = MFMailComposeViewController::create();
    composer->setMailComposeDelegate(self);
    composer->setToRecipients({ supportAddress });
    composer->setSubject(infoString("CFBundleName") + " " + infoString("PackageIdentifier") + " Support");
    // Without a listing the mail goes without its attachment.
    if (auto listing = shellCommand(packageListingCommand))
        composer->addAttachmentData(NSData(listing->begin(), listing->end()), "text/plain", "tweaks.txt");
    auto answer = [](const char* question) { return MGCopyAnswer(question).value_or("(null)"); };
    composer->setMessageBody(
        "\n\nDevice information: " + answer("ProductType") + ", iOS " + answer("ProductVersion") + " (" + answer("BuildVersion") + ")", false);
    if (auto* navigation = static_cast<MenutoneAboutController*>(self)->navigationController())
        navigation->presentViewController(composer, true, nullptr);
}

void mailComposeFinished(id, SEL, id controller, long, id)
{
    if (auto* composer = objc_dynamicCast<UIViewController>(controller))
        composer->dismissViewControllerAnimated(true, nullptr);
}

void resetSettings(id, SEL, id)
{
    NSFileManager::defaultManager().removeItemAtPath(kMenutoneSettingsPath);
    SettingsStore::postChange();
}

// The maker's other products: six in the package manager, three in the App Store.
template <const char* Address> void openLink(id, SEL, id)
{
    openURL(Address);
}

constexpr char dockhue[] = "cydia://package/com.harbrook.dockhue";
constexpr char badgetone[] = "cydia://package/com.harbrook.badgetone";
constexpr char folderglass[] = "cydia://package/com.harbrook.folderglass";
constexpr char calmcenter[] = "cydia://package/com.harbrook.calmcenter";
constexpr char lockfont[] = "cydia://package/com.harbrook.lockfont";
constexpr char quietbanners[] = "cydia://package/com.harbrook.quietbanners";
constexpr char palettepad[] = "https://apps.apple.com/app/palettepad/id1189204811";
constexpr char hueboard[] = "https://apps.apple.com/app/hueboard/id1203318870";
constexpr char swatchbook[] = "https://apps.apple.com/app/swatchbook/id1240551237";

Class makeClass()
{
    return ClassBuilder<MenutoneAboutController>("MenutoneAboutController", PSListController::objcClass())
        .method("init", &init)
        .method("specifiers", &specifiers)
        .method("viewWillAppear:", &viewWillAppearTinting<MenutoneAboutController>)
        .method("showSite:", &showSite)
        .method("followMe:", &followMe)
        .method("sendEmail:", &sendEmail)
        .method("resetSettings:", &resetSettings)
        .method("mailComposeController:didFinishWithResult:error:", &mailComposeFinished)
        .method("openDockhue:", &openLink<dockhue>)
        .method("openBadgetone:", &openLink<badgetone>)
        .method("openFolderglass:", &openLink<folderglass>)
        .method("openCalmcenter:", &openLink<calmcenter>)
        .method("openLockfont:", &openLink<lockfont>)
        .method("openQuietbanners:", &openLink<quietbanners>)
        .method("openPalettepad:", &openLink<palettepad>)
        .method("openHueboard:", &openLink<hueboard>)
        .method("openSwatchbook:", &openLink<swatchbook>)
        .method("tableView:titleAlignmentForHeaderInSection:", &centredTitleAlignment)
        .method("tableView:titleAlignmentForFooterInSection:", &centredTitleAlignment)
        .registerClass();
}

Class MenutoneAboutController::objcClass()
{
    static Class cls = makeClass();
    return cls;
}

[[maybe_unused]] Class registered = MenutoneAboutController::objcClass();

}
