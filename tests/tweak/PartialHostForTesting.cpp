// A SpringBoard without SBApplicationShortcutMenuBackgroundView: its own
// stand-ins for the other classes, then the loader, then one call of each
// replaced method, printing what the tweak did.
//   partial-host-for-testing ROOT

#include <cstdio>

#include <device/DeviceRoot.h>
#include <foundation/NSBundle.h>
#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>
#include <substrate/Loader.h>
#include <uikit/UIImageView.h>
#include <uikit/UILabel.h>

namespace {

class ItemView : public UIView {
public:
    static Class objcClass();
    RefPtr<UILabel> m_titleLabel, m_subtitleLabel;
    RefPtr<UIImageView> m_iconView;
    RefPtr<NSObject> m_shortcutItem;
    double m_titleFontSize { 17 }, m_subtitleFontSize { 13 };
};

class Menu : public UIView {
public:
    static Class objcClass();
    RefPtr<NSObject> m_blurSettings;
    double m_peekBlurFraction { -1 }, m_updateBlurFraction { -1 };
};

class UltraDark : public NSObject {
public:
    static Class objcClass();
};

id itemInit(id self, SEL, id, std::int64_t, std::int64_t, id, id, id, std::uint64_t)
{
    auto* view = static_cast<ItemView*>(self);
    view->m_titleLabel = UILabel::create({}).ptr();
    view->m_titleLabel->setTextColor(UIColor::blackColor().ptr());
    view->m_subtitleLabel = UILabel::create({}).ptr();
    view->m_iconView = UIImageView::create({}).ptr();
    return self;
}

id menuInit(id self, SEL, CGRect, id, id, id, std::int64_t)
{
    return self;
}
void peek(id self, SEL, double, double blur)
{
    static_cast<Menu*>(self)->m_peekBlurFraction = blur;
}
void update(id self, SEL, double blur)
{
    static_cast<Menu*>(self)->m_updateBlurFraction = blur;
}
id initWithDefaultValues(id self, SEL)
{
    return self;
}

Class ItemView::objcClass()
{
    static Class cls = ClassBuilder<ItemView>("SBApplicationShortcutMenuItemView", UIView::objcClass())
                           .method("initWithShortcutItem:menuPosition:orientation:application:assetManagerProvider:monogrammerProvider:options:", &itemInit)
                           .ivar<&ItemView::m_titleLabel>("_titleLabel")
                           .ivar<&ItemView::m_subtitleLabel>("_subtitleLabel")
                           .ivar<&ItemView::m_iconView>("_iconView")
                           .ivar<&ItemView::m_shortcutItem>("_shortcutItem")
                           .ivar<&ItemView::m_titleFontSize>("_titleFontSize")
                           .ivar<&ItemView::m_subtitleFontSize>("_subtitleFontSize")
                           .registerClass();
    return cls;
}

Class Menu::objcClass()
{
    static Class cls = ClassBuilder<Menu>("SBApplicationShortcutMenu", UIView::objcClass())
                           .method("initWithFrame:application:iconView:interactionProgress:orientation:", &menuInit)
                           .method("_peekWithContentFraction:smoothedBlurFraction:", &peek)
                           .method("_updateBackgroundForBlurFraction:", &update)
                           .ivar<&Menu::m_blurSettings>("_blurSettings")
                           .registerClass();
    return cls;
}

Class UltraDark::objcClass()
{
    static Class cls = ClassBuilder<UltraDark>("_UIBackdropViewSettingsUltraDark", NSObject::objcClass())
                           .method("initWithDefaultValues", &initWithDefaultValues)
                           .registerClass();
    return cls;
}

[[maybe_unused]] Class registered[] = { ItemView::objcClass(), Menu::objcClass(), UltraDark::objcClass() };

}

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    DeviceRoot::setCurrent(argv[1]);
    NSBundle::mainBundle().setBundleIdentifier("com.apple.springboard");
    for (auto& library : substrate::loadTweakLibraries("com.apple.springboard", "SpringBoard"))
        std::printf("loaded %s %s\n", library.name.c_str(), library.isLoaded ? "yes" : "no");
    std::printf("background class %s\n", objc_getClass("SBApplicationShortcutMenuBackgroundView") ? "present" : "absent");

    auto item = adoptRef(*new ItemView);
    objc_msgSend<id(id, std::int64_t, std::int64_t, id, id, id, std::uint64_t)>(item.ptr(),
        sel_registerName("initWithShortcutItem:menuPosition:orientation:application:assetManagerProvider:monogrammerProvider:options:"), nullptr,
        std::int64_t(0), std::int64_t(1), nullptr, nullptr, nullptr, std::uint64_t(0));
    std::printf("title colour %s\n", item->m_titleLabel->textColor() ? item->m_titleLabel->textColor()->description().c_str() : "none");

    auto menu = adoptRef(*new Menu);
    objc_msgSend<id(CGRect, id, id, id, std::int64_t)>(menu.ptr(), sel_registerName("initWithFrame:application:iconView:interactionProgress:orientation:"),
        CGRect {}, nullptr, nullptr, nullptr, std::int64_t(1));
    std::printf("blur settings %s\n", object_getClassName(menu->m_blurSettings.get()));
    objc_msgSend<void(double, double)>(menu.ptr(), sel_registerName("_peekWithContentFraction:smoothedBlurFraction:"), 0.5, 0.5);
    objc_msgSend<void(double)>(menu.ptr(), sel_registerName("_updateBackgroundForBlurFraction:"), 0.5);
    std::printf("fractions %g %g\n", menu->m_peekBlurFraction, menu->m_updateBlurFraction);
    return 0;
}
