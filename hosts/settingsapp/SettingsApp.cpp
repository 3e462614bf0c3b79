#include "SettingsApp.h"

#include <cstdlib>

#include <corefoundation/CFRunLoop.h>
#include <device/DeviceRoot.h>
#include <device/DynamicLibrary.h>
#include <foundation/NSBundle.h>
#include <foundation/NSDictionary.h>
#include <messageui/MFMailComposeViewController.h>
#include <preferences/PreferenceLoader.h>
#include <uikit/UIApplication.h>
#include <uikit/UIControl.h>
#include <uikit/UIGraphics.h>
#include <uikit/UILabel.h>
#include <uikit/UIViewAnimation.h>

#include "SettingsListController.h"

namespace {

std::string stringEntry(const PropertyListValue* dictionary, std::string_view key)
{
    auto* value = dictionary ? dictionary->objectForKey(key) : nullptr;
    return value && value->asString() ? *value->asString() : std::string();
}

// What a user asked for that the app cannot do now.
Unexpected<Error> refuse(std::string message)
{
    return makeError(ErrorKind::Refused, std::move(message));
}

UISegmentedControl* findSegmentedControl(UIView* view)
{
    if (!view)
        return nullptr;
    if (auto* control = objc_dynamicCast<UISegmentedControl>(view))
        return control;
    for (auto& subview : view->subviews()) {
        if (auto* found = findSegmentedControl(subview.ptr()))
            return found;
    }
    return nullptr;
}

}

SettingsApp& SettingsApp::launch()
{
    static SettingsApp* app = new SettingsApp;
    return *app;
}

SettingsApp::SettingsApp()
    : m_window(UIWindow::create(UIScreen::mainScreen().bounds()))
    , m_splitNavigation(UINavigationController::create())
    , m_navigation(UINavigationController::create())
{
    NSBundle::mainBundle().setBundleIdentifier(bundleIdentifier);
    m_outboxAtLaunch = outboxNames();
    UIApplication::sharedApplication().setOpenURLHandler([this](const std::string& url, const std::string& application) {
        m_openedURLs.push_back({ url, application });
    });
    m_window->setBackgroundColor(UIColor::groupTableViewBackgroundColor().ptr());
    m_window->makeKeyAndVisible();
    m_splitNavigation->pushViewController(m_navigation, false);
    m_window->setRootViewController(m_splitNavigation.ptr());
    // The app's own list under every entry's screens.
    m_navigation->pushViewController(makeSettingsListController([this](const std::string& name) { (void)openEntry(name); }), false);
    m_splitNavigation->appear(false);
    m_window->setStatusBar(UIStatusBar::create(m_window->bounds().size.width, UIStatusBarStyle::Default));
}

SettingsApp::~SettingsApp()
{
    UIApplication::sharedApplication().setOpenURLHandler(nullptr);
}

std::set<std::string> SettingsApp::outboxNames() const
{
    // The names come without their extension; sending stamps them with the time.
    auto names = DeviceRoot::current().namesWithExtension(kMailOutboxPath, ".eml");
    return { names.begin(), names.end() };
}

std::vector<std::string> SettingsApp::sentMail() const
{
    std::vector<std::string> sent;
    for (auto& name : outboxNames()) {
        if (!m_outboxAtLaunch.contains(name))
            sent.push_back(std::string(kMailOutboxPath) + "/" + name + ".eml");
    }
    return sent;
}

void SettingsApp::touchView(UIView& view)
{
    CGRect bounds = view.bounds();
    touchView(view, { CGRectGetMidX(bounds), CGRectGetMidY(bounds) });
}

void SettingsApp::touchView(UIView& view, CGPoint point)
{
    Ref<UIView> protectedView(view);
    // A scripted tap waits for the screen to settle, as a person does.
    UIViewAnimation::finishAll();
    // A view inside a scroll view is brought into sight first, as VoiceOver does.
    for (UIView* ancestor = view.superview(); ancestor; ancestor = ancestor->superview()) {
        if (auto* scrollView = objc_dynamicCast<UIScrollView>(ancestor)) {
            CGPoint inContent = view.convertPointToView(point, scrollView);
            scrollView->scrollRectToVisible(CGRectMake(inContent.x, inContent.y - 22, 1, 44));
            break;
        }
    }
    m_window->tap(view.convertPointToView(point, m_window.ptr()));
    CFRunLoop::main().runUntilIdle();
}

Expected<void> SettingsApp::touch(CGPoint point)
{
    CGSize size = m_window->bounds().size;
    if (!(point.x >= 0 && point.y >= 0 && point.x < size.width && point.y < size.height))
        return refuse("the point is off the screen (" + std::to_string(static_cast<int>(size.width)) + " x " + std::to_string(static_cast<int>(size.height))
            + " points)");
    UIViewAnimation::finishAll();
    m_window->tap(point);
    CFRunLoop::main().runUntilIdle();
    return {};
}

void SettingsApp::touchDown(CGPoint point)
{
    m_window->touchDown(point);
    CFRunLoop::main().runUntilIdle();
}

void SettingsApp::touchMoved(CGPoint point, UITouch::Seconds heldFor)
{
    m_window->touchMoved(point, heldFor);
    CFRunLoop::main().runUntilIdle();
}

void SettingsApp::touchUp(CGPoint point, UITouch::Seconds heldFor)
{
    m_window->touchUp(point, heldFor);
    CFRunLoop::main().runUntilIdle();
}

Expected<void> SettingsApp::scroll(CGFloat dy)
{
    if (visibleAlert() || presentedSheet())
        return refuse("the screen is covered; nothing scrolls");
    auto* table = topTable();
    if (!table)
        return refuse("this screen does not scroll");
    table->scrollBy(dy);
    return {};
}

Expected<void> SettingsApp::openEntry(const std::string& entryName)
{
    auto entry = readPreferenceEntry(entryName);
    if (!entry)
        return makeUnexpected(entry.error());
    auto bundle = entry->bundlePath();
    if (!bundle)
        return makeError(ErrorKind::Malformed, "the preference entry " + entry->path() + " names no bundle");
    const std::string& bundlePath = *bundle;
    auto info = NSDictionary::dictionaryWithContentsOfFile(bundlePath + "/Info.plist");
    if (!info)
        return makeError(ErrorKind::Unreadable, "cannot read " + bundlePath + "/Info.plist");
    std::string executable = stringEntry(&info->propertyList(), "CFBundleExecutable");
    std::string principal = stringEntry(&info->propertyList(), "NSPrincipalClass");
    if (!isPlainFileName(executable) || principal.empty())
        return makeError(ErrorKind::Malformed, bundlePath + "/Info.plist names no executable or principal class");
    // Global, as the device's loader makes a bundle's classes visible to all.
    if (auto loaded = device::loadLibrary(bundlePath + "/" + executable); !loaded)
        return makeError(ErrorKind::Failed, "cannot load " + bundlePath + "/" + executable + ": " + loaded.error().message);
    Class principalClass = objc_getClass(principal.c_str());
    if (!principalClass || !class_isSubclassOf(principalClass, PSViewController::objcClass()))
        return makeError(ErrorKind::Malformed, "the bundle defines no preference controller " + principal);
    auto controller = UIViewController::allocInit(principalClass);
    auto* screen = objc_dynamicCast<PSViewController>(controller.get());
    if (!screen)
        return makeError(ErrorKind::Failed, "the principal class " + principal + " made no controller");
    screen->setBundlePath(bundlePath);
    m_navigation->pushViewController(*screen, false);
    CFRunLoop::main().runUntilIdle();
    return {};
}

UITableView* SettingsApp::topTable() const
{
    auto* top = topViewController();
    return top ? objc_dynamicCast<UITableView>(top->view()) : nullptr;
}

UIAlertView* SettingsApp::visibleAlert() const
{
    auto alerts = UIAlertView::visibleAlerts();
    return alerts.empty() ? nullptr : alerts.back().ptr();
}

UIViewController* SettingsApp::presentedSheet() const
{
    for (UIViewController* presenter :
        { topViewController(), static_cast<UIViewController*>(m_navigation.ptr()), static_cast<UIViewController*>(m_splitNavigation.ptr()) }) {
        if (presenter && presenter->presentedViewController())
            return presenter->presentedViewController();
    }
    return nullptr;
}

Expected<SettingsApp::RowPosition> SettingsApp::findRow(const std::string& row) const
{
    auto* table = topTable();
    if (!table)
        return refuse("this screen has no rows");
    // SECTION:ROW, both whole numbers.
    if (auto colon = row.find(':');
        colon != std::string::npos && colon > 0 && colon + 1 < row.size() && row.find_first_not_of("0123456789:") == std::string::npos && row.size() < 16) {
        RowPosition position { std::strtol(row.c_str(), nullptr, 10), std::strtol(row.c_str() + colon + 1, nullptr, 10) };
        if (table->cellForRow(position.section, position.row))
            return position;
    }
    for (long s = 0; s < table->numberOfSections(); ++s) {
        for (long r = 0; r < table->numberOfRowsInSection(s); ++r) {
            if (table->cellForRow(s, r)->textLabel()->text() == row)
                return RowPosition { s, r };
        }
    }
    return makeError(ErrorKind::NotFound, "no row \"" + row + "\" on this screen");
}

Expected<void> SettingsApp::tapRow(const std::string& row)
{
    if (visibleAlert())
        return refuse("an alert is showing; answer it first");
    if (presentedSheet())
        return refuse("a sheet covers the screen; close it first (back)");
    auto found = findRow(row);
    if (!found)
        return makeUnexpected(std::move(found.error()));
    auto [section, index] = *found;
    RefPtr<UITableViewCell> cell = topTable()->cellForRow(section, index);
    if (!cell->isUserInteractionEnabled())
        return refuse("the row \"" + row + "\" does not take touches");
    // The middle of the row's text, which a value or a control at the side never covers.
    CGRect text = cell->textLabel()->frame();
    touchView(*cell, { text.origin.x + text.size.width / 2, cell->bounds().size.height / 2 });
    return {};
}

Expected<void> SettingsApp::setSwitch(const std::string& row, bool isOn)
{
    if (visibleAlert())
        return refuse("an alert is showing; answer it first");
    auto found = findRow(row);
    if (!found)
        return makeUnexpected(std::move(found.error()));
    auto [section, index] = *found;
    auto* cell = topTable()->cellForRow(section, index);
    auto* toggle = objc_dynamicCast<UISwitch>(cell->accessoryView());
    if (!toggle)
        return refuse("the row \"" + row + "\" has no switch");
    if (!cell->isUserInteractionEnabled() || !toggle->isEnabled())
        return refuse("the row \"" + row + "\" does not take touches");
    if (toggle->isOn() != isOn)
        touchView(*toggle);
    return {};
}

Expected<void> SettingsApp::selectSegment(long index)
{
    auto* top = topViewController();
    UISegmentedControl* control = top ? findSegmentedControl(top->view()) : nullptr;
    if (!control && top)
        control = findSegmentedControl(top->navigationItem()->titleView());
    if (auto* table = topTable(); !control && table) {
        for (long section = 0; section < table->numberOfSections() && !control; ++section)
            control = findSegmentedControl(table->headerView(section));
    }
    if (!control)
        return refuse("this screen has no segmented control");
    if (index < 0 || index >= static_cast<long>(control->items().size()))
        return refuse("no segment " + std::to_string(index) + "; the control has " + std::to_string(control->items().size()));
    CGRect segment = control->segmentFrame(index);
    touchView(*control, { CGRectGetMidX(segment), CGRectGetMidY(segment) });
    return {};
}

Expected<void> SettingsApp::tapBarButton(BarSide side)
{
    auto* top = presentedSheet() ? presentedSheet() : topViewController();
    UIBarButtonItem* item = top ? (side == BarSide::Left ? top->navigationItem()->leftBarButtonItem() : top->navigationItem()->rightBarButtonItem()) : nullptr;
    if (!item)
        return refuse(std::string("this screen has no ") + (side == BarSide::Left ? "left" : "right") + " bar button");
    if (!item->action())
        return refuse("the bar button does nothing when tapped");
    if (auto* view = barButtonView(item))
        touchView(*view);
    else {
        item->tapByUser();
        CFRunLoop::main().runUntilIdle();
    }
    return {};
}

Expected<void> SettingsApp::tapAlertButton(const std::string& button)
{
    RefPtr<UIAlertView> alert = visibleAlert();
    if (!alert)
        return refuse("no alert is showing");
    auto& titles = alert->buttonTitles();
    long index = -1;
    for (std::size_t i = 0; i < titles.size() && index < 0; ++i) {
        if (titles[i] == button)
            index = static_cast<long>(i);
    }
    if (index < 0 && !button.empty() && button.size() < 6 && button.find_first_not_of("0123456789") == std::string::npos && std::stoul(button) < titles.size())
        index = std::stol(button);
    if (index < 0)
        return refuse("the alert has no button \"" + button + "\"");
    if (auto* view = alert->buttonView(index))
        touchView(*view);
    else {
        alert->dismissWithClickedButtonIndex(index, true);
        CFRunLoop::main().runUntilIdle();
    }
    return {};
}

Expected<void> SettingsApp::goBack()
{
    if (RefPtr<UIViewController> sheet = presentedSheet()) {
        // A sheet's back is its Cancel button, which tells its delegate.
        if (auto* cancel = sheet->navigationItem()->leftBarButtonItem()) {
            if (auto* view = barButtonView(cancel))
                touchView(*view);
            else
                cancel->tapByUser();
        }
        if (presentedSheet() == sheet.get())
            sheet->dismissViewControllerAnimated(true, nullptr);
        CFRunLoop::main().runUntilIdle();
        return {};
    }
    if (visibleAlert())
        return refuse("an alert is showing; answer it first");
    auto* back = m_splitNavigation->navigationBar()->backButtonView();
    if (!back)
        return refuse("this is the first screen");
    touchView(*back);
    return {};
}

void SettingsApp::pressHome()
{
    if (RefPtr<UIViewController> sheet = presentedSheet())
        sheet->dismissViewControllerAnimated(false, nullptr);
    m_navigation->popToRootViewControllerAnimated(false);
    CFRunLoop::main().runUntilIdle();
}

UIView* SettingsApp::barButtonView(UIBarButtonItem* item) const
{
    // The bar button's view, wherever a bar in the window shows it.
    std::vector<UIView*> pending { m_window.ptr() };
    while (!pending.empty()) {
        UIView* view = pending.back();
        pending.pop_back();
        if (auto* button = objc_dynamicCast<UIBarButtonItemView>(view); button && button->item() == item && button->window())
            return button;
        for (auto& subview : view->subviews())
            pending.push_back(subview.ptr());
    }
    return nullptr;
}

void SettingsApp::runFor(std::chrono::nanoseconds duration)
{
    auto& loop = CFRunLoop::main();
    loop.runUntilIdle();
    // In steps, so that work a timer schedules within the interval runs too.
    constexpr std::chrono::nanoseconds step = std::chrono::milliseconds(10);
    for (auto passed = std::chrono::nanoseconds(0); passed < duration; passed += step) {
        loop.advanceClock(std::min(step, duration - passed));
        loop.runUntilIdle();
    }
}
