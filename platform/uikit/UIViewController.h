#pragma once

// View controllers and navigation controllers. The lifecycle messages
// ("init", "loadView", "viewDidLoad", "viewWillAppear:", "viewDidAppear:")
// go through the runtime, so subclasses made by bundles override them.

#include <functional>
#include <string>
#include <vector>

#include "UIBarButtonItem.h"
#include "UIControl.h"
#include "UIView.h"

class UINavigationController;

class UIViewController : public NSObject {
public:
    UIViewController() = default;
    ~UIViewController() override;
    static Class objcClass();

    // +alloc then -init through the runtime: none for a class that cannot be
    // made or an init that gives none.
    static RefPtr<UIViewController> allocInit(Class);

    // The root view, loaded on first use ("loadView", then "viewDidLoad").
    UIView* view();
    bool isViewLoaded() const { return m_view.get(); }
    void setView(RefPtr<UIView>);

    const std::string& title() const { return m_title; }
    void setTitle(std::string title);
    UINavigationItem* navigationItem() const { return m_navigationItem.ptr(); }
    // The navigation controller whose stack holds this controller.
    UINavigationController* navigationController() const { return m_navigationController; }

    // Modal presentation: the presented controller is kept until dismissed.
    void presentViewController(Ref<UIViewController>, bool animated, std::function<void()> completion);
    UIViewController* presentedViewController() const { return m_presentedViewController.get(); }
    UIViewController* presentingViewController() const { return m_presentingViewController; }
    // Dismisses what this controller presented; a presented controller with
    // nothing of its own on top asks its presenter, as UIKit does.
    void dismissViewControllerAnimated(bool animated, std::function<void()> completion);

    // The host's side of appearing on screen: "viewWillAppear:", the view's
    // layout (or, for a navigation controller, its top controller appearing),
    // then "viewDidAppear:".
    void appear(bool animated);

    // UIViewController's own implementations, for subclasses to call as super.
    static id init(id, SEL);
    static void loadView(id, SEL);
    static void viewDidLoad(id, SEL);
    static void viewWillAppear(id, SEL, bool animated);
    static void viewDidAppear(id, SEL, bool animated);
    static void didReceiveMemoryWarning(id, SEL);

private:
    friend class UINavigationController;

    RefPtr<UIView> m_view;
    std::string m_title;
    Ref<UINavigationItem> m_navigationItem { adoptRef(*new UINavigationItem) };
    UINavigationController* m_navigationController { nullptr };
    RefPtr<UIViewController> m_presentedViewController;
    UIViewController* m_presentingViewController { nullptr };
};

// A bar shows one navigation item: its title (or title view) in the middle,
// its bar buttons at the sides, and a back button with the previous item's
// title when there is one and no left button replaces it.
class UINavigationBar : public UIView {
public:
    UINavigationBar() = default;
    static Class objcClass();

    // Rebuilds the bar's views for the item. The back action runs when the
    // back button is tapped; none shows no back button.
    void showItem(UINavigationItem*, UINavigationItem* backItem, std::function<void()> backAction);
    // The views the bar shows for the item's parts; none when absent.
    UIView* backButtonView() const { return m_backButton.get(); }
    UIView* leftButtonView() const { return m_leftButton.get(); }
    UIView* rightButtonView() const { return m_rightButton.get(); }
    UIView* titleView() const { return m_titleView.get(); }

    // The bar's background reaches up under the status bar.
    void drawContent(cairo_t*) override;

    // The item it shows changed: it is shown again, with the same back button.
    void itemDidChange(UINavigationItem&);

private:
    WeakObjCPtr<UINavigationItem> m_item;
    WeakObjCPtr<UINavigationItem> m_backItem;
    std::function<void()> m_backAction;
    RefPtr<UIView> m_backButton;
    RefPtr<UIView> m_leftButton;
    RefPtr<UIView> m_rightButton;
    RefPtr<UIView> m_titleView;
};

// What a bar shows for a bar button item: its custom view, its image or its
// title, in its tint (else the bar's); a tap on it taps the item.
class UIBarButtonItemView : public UIControl {
public:
    UIBarButtonItemView() = default;
    static Class objcClass();
    static Ref<UIBarButtonItemView> create(UIBarButtonItem&);

    UIBarButtonItem* item() const { return m_item.get(); }
    void drawContent(cairo_t*) override;
    // A held bar button dims, as iOS's do.
    void setHighlighted(bool) override;

protected:
    void tapAt(CGPoint) override;

private:
    RefPtr<UIBarButtonItem> m_item;
};

class UINavigationController : public UIViewController {
public:
    UINavigationController();
    ~UINavigationController() override;
    static Class objcClass();
    static Ref<UINavigationController> create(Class = nullptr);

    UINavigationBar* navigationBar() const { return m_navigationBar.ptr(); }
    const std::vector<Ref<UIViewController>>& viewControllers() const { return m_viewControllers; }
    UIViewController* topViewController() const { return m_viewControllers.empty() ? nullptr : m_viewControllers.back().ptr(); }

    // While this controller is on screen, the new top controller appears.
    void pushViewController(Ref<UIViewController>, bool animated);
    // None when only the root controller is left.
    RefPtr<UIViewController> popViewControllerAnimated(bool animated);
    // Removes every controller above the root; only the root appears. The
    // controllers removed, bottom first (none when the root is on top).
    std::vector<Ref<UIViewController>> popToRootViewControllerAnimated(bool animated);

    // The stack whose screens are on show: this one's, or, when its top is
    // itself a navigation controller (as a collapsed split view holds one),
    // that one's; its bar is hidden and this bar shows its items.
    UINavigationController& displayedStack();

private:
    static void viewWillAppear(id, SEL, bool animated);
    static void loadView(id, SEL);
    // Puts the top controller's view under the bar and the bar in step.
    void updateVisibleViews();
    // How far down the bars reach over this stack's screens: its own bar's
    // bottom, or the holder's when another stack holds it (its bar hidden).
    CGFloat coveredTop() const;
    // Takes the controllers above the first `kept` off the stack and shows the new top.
    std::vector<Ref<UIViewController>> popTo(std::size_t kept, bool animated);
    // The top controller's view while it is shown in this stack, if any.
    RefPtr<UIView> shownTopView() const;
    enum class Transition { Push, Pop };
    // Slides the new top's view in over (push) or out from under (pop) the
    // one that was shown, which stays in the view until the slide ends.
    void slide(Ref<UIView> leaving, Transition);

    Ref<UINavigationBar> m_navigationBar;
    std::vector<Ref<UIViewController>> m_viewControllers;
    bool m_isShown { false };
    // The screen sliding away while a transition runs.
    RefPtr<UIView> m_leavingView;
};
