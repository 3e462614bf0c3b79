#include "UIViewController.h"

#include <objc/Assertions.h>
#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>

#include "UIAppearance.h"
#include "UIGraphics.h"

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

Class UINavigationController::objcClass()
{
    static Class cls = ClassBuilder<UINavigationController>("UINavigationController", UIViewController::objcClass())
                           .method("viewWillAppear:", &UINavigationController::viewWillAppear)
                           .registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredUIBarButtonItem = UIBarButtonItem::objcClass();
[[maybe_unused]] static Class registeredUINavigationItem = UINavigationItem::objcClass();
[[maybe_unused]] static Class registeredUIViewController = UIViewController::objcClass();
[[maybe_unused]] static Class registeredUINavigationBar = UINavigationBar::objcClass();
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
    objc_msgSend<void(id)>(m_target, m_action, static_cast<id>(this));
    return true;
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
    if (m_presentedViewController)
        m_presentedViewController->m_presentingViewController = nullptr;
    m_presentedViewController = controller.ptr();
    controller->m_presentingViewController = this;
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
    UIView::initWithFrame(m_navigationBar.ptr(), initWithFrameSelector(), CGRectMake(0, 20, 375, 44));
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
    controller->m_navigationController = this;
    m_viewControllers.push_back(controller);
    if (m_isShown)
        controller->appear(animated);
}

RefPtr<UIViewController> UINavigationController::popViewControllerAnimated(bool animated)
{
    if (m_viewControllers.size() < 2)
        return nullptr;
    Ref<UIViewController> popped = m_viewControllers.back();
    m_viewControllers.pop_back();
    popped->m_navigationController = nullptr;
    if (m_isShown)
        m_viewControllers.back()->appear(animated);
    return popped.ptr();
}

void UINavigationController::viewWillAppear(id self, SEL, bool)
{
    static_cast<UINavigationController*>(self)->m_isShown = true;
}
