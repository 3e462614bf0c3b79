#include "UIViewController.h"

#include <objc/Assertions.h>
#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>

#include <cairo.h>

#include <cmath>

#include "NSStringDrawing.h"
#include "UIAppearance.h"
#include "UIApplication.h"
#include "UIGraphics.h"
#include "UIImageView.h"
#include "UILabel.h"
#include "UIScrollView.h"
#include "UIViewAnimation.h"
#include "UIWindow.h"
#include "ViewDrawing.h"

namespace {

// A bar button under a finger, as iOS dims it.
constexpr CGFloat heldBarButtonAlpha = 0.2;

// The back button: a chevron and the previous screen's title, in the tint.
class UINavigationItemButtonView : public UIControl {
public:
    static Class objcClass();
    static Ref<UINavigationItemButtonView> create(std::string title, std::function<void()> action)
    {
        auto view = adoptRef(*new UINavigationItemButtonView);
        auto font = UIFont::systemFontOfSize(17);
        CGFloat width = std::min(120.0, std::ceil(sizeWithAttributes(title, { font.ptr() }).width));
        UIView::initWithFrame(view.ptr(), initWithFrameSelector(), CGRectMake(0, 0, 20 + width, 44));
        view->m_title = std::move(title);
        view->m_action = std::move(action);
        return view;
    }
    const std::string& title() const { return m_title; }
    void setHighlighted(bool isHighlighted) override
    {
        UIControl::setHighlighted(isHighlighted);
        setAlpha(isHighlighted ? heldBarButtonAlpha : 1);
    }

    void drawContent(cairo_t* cr) override
    {
        using namespace viewdrawing;
        auto tint = components(tintColor(), systemBlue);
        setSource(cr, tint);
        cairo_set_line_width(cr, 3);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_move_to(cr, 12, 12);
        cairo_line_to(cr, 3, 22);
        cairo_line_to(cr, 12, 32);
        cairo_stroke(cr);
        auto font = UIFont::systemFontOfSize(17);
        auto color = UIColor::colorWithRed(tint.red, tint.green, tint.blue, tint.alpha);
        drawTextInRect(cr, m_title, CGRectMake(20, 0, bounds().size.width - 20, 44), { font.ptr() }, color.ptr(), NSTextAlignment::Left,
            NSLineBreakMode::ByTruncatingTail);
    }

protected:
    void tapAt(CGPoint) override
    {
        if (m_action) {
            auto action = m_action;
            action();
        }
    }

private:
    std::string m_title;
    std::function<void()> m_action;
};

Class UINavigationItemButtonView::objcClass()
{
    static Class cls = ClassBuilder<UINavigationItemButtonView>("UINavigationItemButtonView", UIControl::objcClass()).registerClass();
    return cls;
}

[[maybe_unused]] Class registeredUINavigationItemButtonView = UINavigationItemButtonView::objcClass();

constexpr CGFloat barHeight = 44;
constexpr CGFloat barEdge = 8;
constexpr CGFloat barTop = 64; // status bar and navigation bar

}

Class UIBarButtonItem::objcClass()
{
    static Class cls = ClassBuilder<UIBarButtonItem>("UIBarButtonItem", NSObject::objcClass()).registerClass();
    return cls;
}

Class UINavigationItem::objcClass()
{
    static Class cls = ClassBuilder<UINavigationItem>("UINavigationItem", NSObject::objcClass()).registerClass();
    return cls;
}

Class UIViewController::objcClass()
{
    static Class cls = ClassBuilder<UIViewController>("UIViewController", NSObject::objcClass())
                           .method("init", &UIViewController::init)
                           .method("loadView", &UIViewController::loadView)
                           .method("viewDidLoad", &UIViewController::viewDidLoad)
                           .method("viewWillAppear:", &UIViewController::viewWillAppear)
                           .method("viewDidAppear:", &UIViewController::viewDidAppear)
                           .method("didReceiveMemoryWarning", &UIViewController::didReceiveMemoryWarning)
                           .registerClass();
    return cls;
}

Class UINavigationBar::objcClass()
{
    static Class cls = ClassBuilder<UINavigationBar>("UINavigationBar", UIView::objcClass()).registerClass();
    return cls;
}

Class UIBarButtonItemView::objcClass()
{
    static Class cls = ClassBuilder<UIBarButtonItemView>("UIBarButtonItemView", UIControl::objcClass()).registerClass();
    return cls;
}

Class UINavigationController::objcClass()
{
    static Class cls = ClassBuilder<UINavigationController>("UINavigationController", UIViewController::objcClass())
                           .method("viewWillAppear:", &UINavigationController::viewWillAppear)
                           .method("loadView", &UINavigationController::loadView)
                           .registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredUIBarButtonItem = UIBarButtonItem::objcClass();
[[maybe_unused]] static Class registeredUINavigationItem = UINavigationItem::objcClass();
[[maybe_unused]] static Class registeredUIViewController = UIViewController::objcClass();
[[maybe_unused]] static Class registeredUINavigationBar = UINavigationBar::objcClass();
[[maybe_unused]] static Class registeredUIBarButtonItemView = UIBarButtonItemView::objcClass();
[[maybe_unused]] static Class registeredUINavigationController = UINavigationController::objcClass();

Ref<UIBarButtonItem> UIBarButtonItem::initWithImage(RefPtr<UIImage> image, UIBarButtonItemStyle style, id target, SEL action)
{
    auto item = adoptRef(*new UIBarButtonItem);
    item->m_image = std::move(image);
    item->m_style = style;
    item->m_target = target;
    item->m_action = action;
    return item;
}

Ref<UIBarButtonItem> UIBarButtonItem::initWithTitle(std::string title, UIBarButtonItemStyle style, id target, SEL action)
{
    auto item = initWithImage(nullptr, style, target, action);
    item->m_title = std::move(title);
    return item;
}

Ref<UIBarButtonItem> UIBarButtonItem::initWithCustomView(Ref<UIView> customView)
{
    auto item = adoptRef(*new UIBarButtonItem);
    item->m_customView = customView.ptr();
    return item;
}

UIColor* UIBarButtonItem::effectiveTintColor() const
{
    if (m_tintColor)
        return m_tintColor.get();
    return UIAppearance::resolvedValue(object_getClass(this), nullptr, UIAppearance::Property::TintColor);
}

bool UIBarButtonItem::tapByUser()
{
    if (!m_action)
        return false;
    Ref<UIBarButtonItem> protectedThis(*this);
    RefPtr<NSObject> target = m_target.retained();
    objc_msgSend<void(id)>(target.get(), m_action, static_cast<id>(this));
    return true;
}

Ref<UIBarButtonItemView> UIBarButtonItemView::create(UIBarButtonItem& item)
{
    auto view = adoptRef(*new UIBarButtonItemView);
    view->m_item = &item;
    CGFloat width = 24;
    if (auto* custom = item.customView()) {
        width = custom->frame().size.width;
        custom->setFrame(CGRectMake(0, (barHeight - custom->frame().size.height) / 2, width, custom->frame().size.height));
        view->addSubview(*custom);
    } else if (!item.image()) {
        auto font = item.style() == UIBarButtonItemStyle::Done ? UIFont::boldSystemFontOfSize(17) : UIFont::systemFontOfSize(17);
        width = std::min(120.0, std::ceil(sizeWithAttributes(item.title(), { font.ptr() }).width));
    }
    UIView::initWithFrame(view.ptr(), initWithFrameSelector(), CGRectMake(0, 0, width, barHeight));
    return view;
}

void UIBarButtonItemView::drawContent(cairo_t* cr)
{
    using namespace viewdrawing;
    if (m_item->customView())
        return;
    // The item's own tint, else its appearance's, else the bar's.
    auto tint = components(m_item->effectiveTintColor() ? m_item->effectiveTintColor() : tintColor(), systemBlue);
    CGSize size = bounds().size;
    if (auto* image = m_item->image()) {
        // Bars draw an image of automatic rendering as a template.
        RefPtr<UIImage> shown = image;
        if (image->renderingMode() == UIImageRenderingMode::Automatic)
            shown = image->imageWithRenderingMode(UIImageRenderingMode::AlwaysTemplate).ptr();
        drawImage(cr, *shown, CGRectMake((size.width - 24) / 2, (size.height - 24) / 2, 24, 24), tint);
        return;
    }
    auto font = m_item->style() == UIBarButtonItemStyle::Done ? UIFont::boldSystemFontOfSize(17) : UIFont::systemFontOfSize(17);
    auto color = UIColor::colorWithRed(tint.red, tint.green, tint.blue, tint.alpha);
    drawTextInRect(cr, m_item->title(), { {}, size }, { font.ptr() }, color.ptr(), NSTextAlignment::Center, NSLineBreakMode::ByTruncatingTail);
}

void UIBarButtonItemView::setHighlighted(bool isHighlighted)
{
    UIControl::setHighlighted(isHighlighted);
    setAlpha(isHighlighted ? heldBarButtonAlpha : 1);
}

void UIBarButtonItemView::tapAt(CGPoint)
{
    m_item->tapByUser();
}

void UINavigationItem::didChange()
{
    if (auto* bar = objc_dynamicCast<UINavigationBar>(m_showingBar.get()))
        bar->itemDidChange(*this);
}

void UINavigationBar::itemDidChange(UINavigationItem& item)
{
    if (m_item.get() != &item)
        return;
    auto backAction = m_backAction;
    showItem(&item, m_backItem.get(), std::move(backAction));
}

void UINavigationBar::showItem(UINavigationItem* item, UINavigationItem* backItem, std::function<void()> backAction)
{
    m_item = item;
    m_backItem = backItem;
    m_backAction = backAction;
    if (item)
        item->setShowingBar(this);
    for (auto* view : { m_backButton.get(), m_leftButton.get(), m_rightButton.get(), m_titleView.get() }) {
        if (view)
            view->removeFromSuperview();
    }
    m_backButton = m_leftButton = m_rightButton = m_titleView = nullptr;
    if (!item)
        return;
    CGFloat width = bounds().size.width;
    CGFloat leftEdge = barEdge, rightEdge = width - barEdge;
    if (auto* left = item->leftBarButtonItem()) {
        auto view = UIBarButtonItemView::create(*left);
        view->setFrame(CGRectMake(leftEdge, 0, view->frame().size.width, barHeight));
        leftEdge += view->frame().size.width;
        m_leftButton = view.ptr();
    } else if (backItem && backAction) {
        auto view = UINavigationItemButtonView::create(backItem->title().empty() ? "Back" : backItem->title(), std::move(backAction));
        view->setFrame(CGRectMake(leftEdge, 0, view->frame().size.width, barHeight));
        leftEdge += view->frame().size.width;
        m_backButton = view.ptr();
    }
    if (auto* right = item->rightBarButtonItem()) {
        auto view = UIBarButtonItemView::create(*right);
        view->setFrame(CGRectMake(rightEdge - view->frame().size.width, 0, view->frame().size.width, barHeight));
        rightEdge -= view->frame().size.width;
        m_rightButton = view.ptr();
    }
    // The title stays centred on the bar, clear of both sides' buttons.
    CGFloat side = std::max(leftEdge, width - rightEdge) + barEdge;
    if (auto* custom = item->titleView()) {
        CGSize size = custom->frame().size;
        custom->setFrame(CGRectMake((width - size.width) / 2, (barHeight - size.height) / 2, size.width, size.height));
        m_titleView = custom;
    } else {
        auto label = UILabel::create(CGRectMake(side, 0, std::max(0.0, width - 2 * side), barHeight));
        label->setText(item->title());
        label->setFont(UIFont::boldSystemFontOfSize(17));
        label->setTextAlignment(NSTextAlignment::Center);
        m_titleView = label.ptr();
    }
    for (auto* view : { m_titleView.get(), m_backButton.get(), m_leftButton.get(), m_rightButton.get() }) {
        if (view)
            addSubview(*view);
    }
}

void UINavigationBar::drawContent(cairo_t* cr)
{
    CGSize size = bounds().size;
    // Translucent, as since iOS 7: what scrolls under the bar shows through,
    // blurred and whitened.
    CGRect behind = CGRectMake(0, -frame().origin.y, size.width, size.height + frame().origin.y);
    viewdrawing::blurBehind(cr, behind, 20);
    viewdrawing::fillRectangle(cr, behind, { 0.97, 0.97, 0.97, 0.72 });
    viewdrawing::fillRectangle(cr, CGRectMake(0, size.height - 0.5, size.width, 0.5), { 0.7, 0.7, 0.7, 1 });
}

UIViewController::~UIViewController()
{
    if (m_presentedViewController)
        m_presentedViewController->m_presentingViewController = nullptr;
    if (m_view && m_view->m_viewController == this)
        m_view->m_viewController = nullptr;
}

RefPtr<UIViewController> UIViewController::allocInit(Class cls)
{
    if (!cls || !class_isSubclassOf(cls, objcClass()))
        return nullptr;
    RefPtr<NSObject> instance = class_createInstance(cls);
    static SEL initSelector = sel_registerName("init");
    id made = objc_msgSend<id()>(instance.get(), initSelector);
    return objc_dynamicCast<UIViewController>(made);
}

UIView* UIViewController::view()
{
    if (!m_view) {
        static SEL loadViewSelector = sel_registerName("loadView");
        static SEL viewDidLoadSelector = sel_registerName("viewDidLoad");
        objc_msgSend<void()>(this, loadViewSelector);
        if (!m_view)
            setView(UIView::create(UIScreen::mainScreen().applicationFrame()));
        objc_msgSend<void()>(this, viewDidLoadSelector);
    }
    return m_view.get();
}

void UIViewController::setView(RefPtr<UIView> view)
{
    if (m_view && m_view->m_viewController == this)
        m_view->m_viewController = nullptr;
    m_view = std::move(view);
    if (m_view)
        m_view->m_viewController = this;
}

void UIViewController::setTitle(std::string title)
{
    m_title = title;
    m_navigationItem->setTitle(std::move(title));
}

void UIViewController::presentViewController(Ref<UIViewController> controller, bool animated, std::function<void()> completion)
{
    if (m_presentedViewController) {
        m_presentedViewController->m_presentingViewController = nullptr;
        if (m_presentedViewController->isViewLoaded())
            m_presentedViewController->view()->removeFromSuperview();
    }
    m_presentedViewController = controller.ptr();
    controller->m_presentingViewController = this;
    // Over everything in the presenter's window but its status bar.
    if (auto* window = isViewLoaded() ? view()->window() : nullptr) {
        controller->view()->setFrame(window->bounds());
        window->addSubviewUnderStatusBar(*controller->view());
    }
    controller->appear(animated);
    if (completion)
        completion();
}

void UIViewController::dismissViewControllerAnimated(bool animated, std::function<void()> completion)
{
    if (!m_presentedViewController && m_presentingViewController) {
        m_presentingViewController->dismissViewControllerAnimated(animated, std::move(completion));
        return;
    }
    Ref<UIViewController> protectedThis(*this);
    if (m_presentedViewController) {
        m_presentedViewController->m_presentingViewController = nullptr;
        if (m_presentedViewController->isViewLoaded())
            m_presentedViewController->view()->removeFromSuperview();
        m_presentedViewController = nullptr;
    }
    if (completion)
        completion();
}

void UIViewController::appear(bool animated)
{
    static SEL willAppear = sel_registerName("viewWillAppear:");
    static SEL didAppear = sel_registerName("viewDidAppear:");
    Ref<UIViewController> protectedThis(*this);
    objc_msgSend<void(bool)>(this, willAppear, animated);
    if (auto* navigation = objc_dynamicCast<UINavigationController>(this)) {
        if (auto* top = navigation->topViewController())
            top->appear(animated);
    } else {
        // On screen now: the view lays itself out (a table loads its rows).
        view()->setNeedsLayout();
        view()->layoutIfNeeded();
    }
    objc_msgSend<void(bool)>(this, didAppear, animated);
}

id UIViewController::init(id self, SEL)
{
    return self;
}

void UIViewController::loadView(id self, SEL)
{
    static_cast<UIViewController*>(self)->setView(UIView::create(UIScreen::mainScreen().applicationFrame()));
}

void UIViewController::viewDidLoad(id, SEL) { }
void UIViewController::viewWillAppear(id, SEL, bool) { }
void UIViewController::viewDidAppear(id, SEL, bool) { }
void UIViewController::didReceiveMemoryWarning(id, SEL) { }

UINavigationController::UINavigationController()
    : m_navigationBar(adoptRef(*new UINavigationBar))
{
    UIView::initWithFrame(m_navigationBar.ptr(), initWithFrameSelector(), CGRectMake(0, 20, UIScreen::mainScreen().bounds().size.width, 44));
}

UINavigationController::~UINavigationController()
{
    for (auto& controller : m_viewControllers)
        controller->m_navigationController = nullptr;
}

Ref<UINavigationController> UINavigationController::create(Class cls)
{
    auto made = allocInit(cls ? cls : objcClass());
    OBJC_ASSERT(made && made->isKindOfClass(objcClass()), "a navigation controller class makes navigation controllers");
    return adoptRef(*static_cast<UINavigationController*>(made.leakRef()));
}

void UINavigationController::pushViewController(Ref<UIViewController> controller, bool animated)
{
    // A new push or pop lands where the running slide ends.
    if (m_leavingView)
        UIViewAnimation::finishAll();
    RefPtr<UIView> leaving = shownTopView();
    controller->m_navigationController = this;
    m_viewControllers.push_back(controller);
    if (m_isShown) {
        updateVisibleViews();
        controller->appear(animated);
        // What appearing changed of the item shows in the bar.
        updateVisibleViews();
        if (animated && leaving)
            slide(*leaving, Transition::Push);
    }
}

RefPtr<UIViewController> UINavigationController::popViewControllerAnimated(bool animated)
{
    if (m_viewControllers.size() < 2)
        return nullptr;
    return popTo(m_viewControllers.size() - 1, animated).front().ptr();
}

std::vector<Ref<UIViewController>> UINavigationController::popToRootViewControllerAnimated(bool animated)
{
    return popTo(1, animated);
}

std::vector<Ref<UIViewController>> UINavigationController::popTo(std::size_t kept, bool animated)
{
    if (m_viewControllers.size() <= kept)
        return {};
    if (m_leavingView)
        UIViewAnimation::finishAll();
    RefPtr<UIView> leaving = shownTopView();
    std::vector<Ref<UIViewController>> popped(m_viewControllers.begin() + static_cast<std::ptrdiff_t>(kept), m_viewControllers.end());
    m_viewControllers.erase(m_viewControllers.begin() + static_cast<std::ptrdiff_t>(kept), m_viewControllers.end());
    for (auto& controller : popped) {
        controller->m_navigationController = nullptr;
        if (controller->isViewLoaded())
            controller->view()->removeFromSuperview();
    }
    if (m_isShown) {
        updateVisibleViews();
        m_viewControllers.back()->appear(animated);
        updateVisibleViews();
        if (animated && leaving)
            slide(*leaving, Transition::Pop);
    }
    return popped;
}

RefPtr<UIView> UINavigationController::shownTopView() const
{
    UIViewController* top = topViewController();
    if (!m_isShown || !top || !top->isViewLoaded() || !isViewLoaded() || top->m_view->superview() != m_view.get())
        return nullptr;
    return top->m_view;
}

void UINavigationController::slide(Ref<UIView> leaving, Transition transition)
{
    RefPtr<UIView> arriving = shownTopView();
    if (!arriving || arriving.get() == leaving.ptr())
        return;
    // iOS 9's push: the new screen comes in from the right edge over the old
    // one, which drifts a third of the width left; a pop runs it backwards.
    // Only the drawing moves (the views' transforms): frames are where the
    // screens end, so what the host reads of them holds.
    constexpr UIViewAnimation::Seconds duration { 0.35 };
    constexpr CGFloat drift = 0.3;
    UIView* container = view();
    CGFloat width = container->bounds().size.width;
    UIView& below = transition == Transition::Push ? leaving.get() : *arriving;
    UIView& above = transition == Transition::Push ? *arriving : leaving.get();
    container->insertSubview(below, 0);
    container->insertSubview(above, 1);
    m_leavingView = leaving.ptr();
    UIApplication::sharedApplication().beginIgnoringInteractionEvents();
    Ref<UINavigationController> protectedThis(*this);
    Ref<UIView> protectedArriving(*arriving);
    auto place = [=](double progress) {
        // How far the push has come: 0 shows the old screen alone, 1 the new one.
        double pushed = transition == Transition::Push ? progress : 1 - progress;
        UIView& incoming = transition == Transition::Push ? protectedArriving.get() : leaving.get();
        UIView& outgoing = transition == Transition::Push ? leaving.get() : protectedArriving.get();
        incoming.setTransform(CGAffineTransformTranslate(CGAffineTransformIdentity, width * (1 - pushed), 0));
        outgoing.setTransform(CGAffineTransformTranslate(CGAffineTransformIdentity, -width * drift * pushed, 0));
    };
    UIViewAnimation::run(duration, place, [=] {
        leaving->setTransform(CGAffineTransformIdentity);
        protectedArriving->setTransform(CGAffineTransformIdentity);
        protectedThis->m_leavingView = nullptr;
        if (leaving.ptr() != protectedThis->shownTopView().get() && leaving->superview() == protectedThis->view())
            leaving->removeFromSuperview();
        UIApplication::sharedApplication().endIgnoringInteractionEvents();
    });
}

void UINavigationController::viewWillAppear(id self, SEL, bool)
{
    auto* navigation = static_cast<UINavigationController*>(self);
    navigation->m_isShown = true;
    navigation->updateVisibleViews();
}

void UINavigationController::loadView(id self, SEL)
{
    auto* navigation = static_cast<UINavigationController*>(self);
    auto view = UIView::create(UIScreen::mainScreen().bounds());
    view->addSubview(navigation->m_navigationBar);
    navigation->setView(view.ptr());
}

CGFloat UINavigationController::coveredTop() const
{
    if (auto* holder = navigationController())
        return holder->coveredTop();
    return m_navigationBar->isHidden() ? 0 : barTop;
}

UINavigationController& UINavigationController::displayedStack()
{
    auto* inner = objc_dynamicCast<UINavigationController>(topViewController());
    return inner ? inner->displayedStack() : *this;
}

void UINavigationController::updateVisibleViews()
{
    // A navigation controller held in another's stack shows no bar of its
    // own: the holder's bar shows its items.
    if (auto* holder = navigationController()) {
        m_navigationBar->setHidden(true);
        holder->updateVisibleViews();
    }
    UIView* container = view();
    UIViewController* top = topViewController();
    for (auto& controller : m_viewControllers) {
        // The screen sliding away stays until its slide ends.
        if (controller.ptr() != top && controller->isViewLoaded() && controller->view()->superview() == container && controller->m_view != m_leavingView)
            controller->view()->removeFromSuperview();
    }
    if (top) {
        CGRect bounds = container->bounds();
        CGFloat contentTop = coveredTop();
        auto* scrollView = objc_dynamicCast<UIScrollView>(top->view());
        if (contentTop > 0 && (scrollView || objc_dynamicCast<UINavigationController>(top))) {
            // The bar is translucent: a scrolled view runs under it, inset by
            // the bars' height, as UIKit adjusts scroll view insets; a stack
            // held here lays out its own screens the same way.
            top->view()->setFrame(bounds);
            if (scrollView && scrollView->contentInset().top != contentTop) {
                CGFloat scrolled = scrollView->contentOffset().y + scrollView->contentInset().top;
                scrollView->setContentInset({ .top = contentTop });
                scrollView->setContentOffset({ scrollView->contentOffset().x, scrolled - contentTop });
            }
        } else
            top->view()->setFrame(CGRectMake(0, contentTop, bounds.size.width, bounds.size.height - contentTop));
        if (top->view()->superview() != container)
            container->insertSubview(*top->view(), 0);
    }
    if (m_navigationBar->isHidden())
        return;
    auto& shown = displayedStack();
    auto& screens = shown.m_viewControllers;
    UINavigationItem* item = screens.empty() ? nullptr : screens.back()->navigationItem();
    UINavigationItem* backItem = screens.size() > 1 ? screens[screens.size() - 2]->navigationItem() : nullptr;
    UINavigationController* stack = &shown;
    m_navigationBar->setFrame(CGRectMake(0, 20, container->bounds().size.width, barHeight));
    m_navigationBar->showItem(item, backItem,
        backItem ? std::function<void()>([stack] {
            Ref<UINavigationController> protectedStack(*stack);
            stack->popViewControllerAnimated(true);
        })
                 : nullptr);
}
