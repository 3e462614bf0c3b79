#include "SBApplicationShortcutMenu.h"

#include <cairo.h>

#include <algorithm>

#include <foundation/NSNumber.h>
#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>
#include <uikit/UIFont.h>
#include <uikit/UIGraphics.h>

namespace {

// Marks the blur settings object the host made, so that a replacement can be told apart.
const char hostMadeKey = 0;

id backgroundInitWithFrame(id self, SEL op, CGRect frame)
{
    if (!objc_msgSendSuper<id(CGRect)>(SBApplicationShortcutMenuBackgroundView::objcClass(), self, op, frame))
        return nullptr;
    static_cast<UIView*>(self)->layer()->setCornerRadius(13);
    return self;
}

id itemInit(id self, SEL, id shortcutItem, std::int64_t menuPosition, std::int64_t, id, id, id, std::uint64_t)
{
    auto* item = objc_dynamicCast<SBSApplicationShortcutItem>(shortcutItem);
    if (!item)
        return nullptr;
    auto* view = static_cast<SBApplicationShortcutMenuItemView*>(self);
    UIView::initWithFrame(self, initWithFrameSelector(), CGRectMake(0, static_cast<CGFloat>(menuPosition) * menuItemHeight, menuWidth, menuItemHeight));
    view->m_shortcutItem = item;
    bool hasSubtitle = !item->localizedSubtitle().empty();
    view->m_titleFontSize = hasSubtitle ? 16 : 17;
    view->m_subtitleFontSize = 13;

    auto title = UILabel::create(CGRectMake(16, hasSubtitle ? 9 : 17, menuWidth - 72, 22));
    title->setText(item->localizedTitle());
    title->setTextColor(UIColor::colorWithWhite(0, 1).ptr());
    title->setFont(UIFont::systemFontOfSize(view->m_titleFontSize).ptr());
    auto subtitle = UILabel::create(CGRectMake(16, 31, menuWidth - 72, 17));
    subtitle->setText(item->localizedSubtitle());
    subtitle->setTextColor(UIColor::colorWithWhite(0.43, 1).ptr());
    subtitle->setFont(UIFont::systemFontOfSize(view->m_subtitleFontSize).ptr());
    auto icon = UIImageView::create(CGRectMake(menuWidth - 44, (menuItemHeight - 28) / 2, 28, 28));
    icon->setImage(item->icon());
    icon->setTintColor(UIColor::colorWithWhite(0, 1).ptr());

    view->m_titleLabel = title.ptr();
    view->m_subtitleLabel = subtitle.ptr();
    view->m_iconView = icon.ptr();
    view->addSubview(title);
    view->addSubview(subtitle);
    view->addSubview(icon);
    return self;
}

id menuInit(id self, SEL, CGRect frame, id application, id, id, std::int64_t orientation)
{
    auto* menu = static_cast<SBApplicationShortcutMenu*>(self);
    auto* app = objc_dynamicCast<SBApplication>(application);
    if (!app)
        return nullptr;
    menu->m_application = app;
    // SpringBoard shows the first four items an app declares, however many it declares.
    std::size_t itemCount = std::min(app->shortcutItems().size(), SBApplicationShortcutMenu::maximumItemCount);
    frame.size = { menuWidth, menuItemHeight * static_cast<CGFloat>(itemCount) };
    UIView::initWithFrame(self, initWithFrameSelector(), frame);

    // Everything below goes through the runtime by name, as SpringBoard's own code does.
    if (Class settingsClass = objc_getClass("_UIBackdropViewSettingsLight")) {
        RefPtr<NSObject> settings = class_createInstance(settingsClass);
        RefPtr<NSObject> made = objc_msgSend<id()>(settings.get(), initWithDefaultValuesSelector());
        objc_setAssociatedObject(made.get(), &hostMadeKey, NSNumber::numberWithLongLong(1).ptr(), OBJC_ASSOCIATION_RETAIN_NONATOMIC);
        menu->m_blurSettings = made;
    }
    if (Class plateClass = objc_getClass("SBApplicationShortcutMenuBackgroundView")) {
        RefPtr<NSObject> plate = class_createInstance(plateClass);
        auto* made = objc_dynamicCast<SBApplicationShortcutMenuBackgroundView>(objc_msgSend<id(CGRect)>(plate.get(), initWithFrameSelector(), menu->bounds()));
        if (made) {
            menu->m_backgroundView = made;
            menu->addSubview(*made);
        }
    }
    if (Class itemClass = objc_getClass("SBApplicationShortcutMenuItemView")) {
        std::int64_t position = 0;
        for (std::size_t index = 0; index < itemCount; ++index) {
            auto& item = app->shortcutItems()[index];
            RefPtr<NSObject> instance = class_createInstance(itemClass);
            id made = objc_msgSend<MenuItemInit>(instance.get(), sel_registerName(menuItemInitSelector), static_cast<id>(item.ptr()), position++, orientation,
                application, static_cast<id>(nullptr), static_cast<id>(nullptr), std::uint64_t(0));
            if (auto* view = objc_dynamicCast<SBApplicationShortcutMenuItemView>(made)) {
                menu->m_itemViews.push_back(*view);
                menu->addSubview(*view);
            }
        }
    }
    return self;
}

void peek(id self, SEL, double contentFraction, double smoothedBlurFraction)
{
    auto* menu = static_cast<SBApplicationShortcutMenu*>(self);
    menu->m_contentFractions.push_back(contentFraction);
    menu->m_peekBlurFractions.push_back(smoothedBlurFraction);
}

void updateBackground(id self, SEL, double blurFraction)
{
    static_cast<SBApplicationShortcutMenu*>(self)->m_updateBlurFractions.push_back(blurFraction);
}

}

void SBApplicationShortcutMenuBackgroundView::drawContent(cairo_t* cr)
{
    if (backgroundColor())
        return;
    CGSize size = bounds().size;
    addRoundedRectangle(cr, 0, 0, size.width, size.height, layer()->cornerRadius());
    cairo_set_source_rgba(cr, 0.97, 0.97, 0.97, 0.82);
    cairo_fill(cr);
}

void SBApplicationShortcutMenuItemView::drawContent(cairo_t* cr)
{
    if (frame().origin.y <= 0)
        return;
    cairo_set_source_rgba(cr, 0, 0, 0, 0.12);
    cairo_rectangle(cr, 0, 0, bounds().size.width, 0.5);
    cairo_fill(cr);
}

bool SBApplicationShortcutMenu::isBlurSettingsHostMade() const
{
    return m_blurSettings && objc_getAssociatedObject(m_blurSettings.get(), &hostMadeKey);
}

Class SBApplicationShortcutMenuBackgroundView::objcClass()
{
    static Class cls = ClassBuilder<SBApplicationShortcutMenuBackgroundView>("SBApplicationShortcutMenuBackgroundView", UIView::objcClass())
                           .method("initWithFrame:", &backgroundInitWithFrame)
                           .registerClass();
    return cls;
}

Class SBApplicationShortcutMenuItemView::objcClass()
{
    static Class cls = ClassBuilder<SBApplicationShortcutMenuItemView>("SBApplicationShortcutMenuItemView", UIView::objcClass())
                           .method(menuItemInitSelector, &itemInit)
                           .ivar<&SBApplicationShortcutMenuItemView::m_titleLabel>("_titleLabel")
                           .ivar<&SBApplicationShortcutMenuItemView::m_subtitleLabel>("_subtitleLabel")
                           .ivar<&SBApplicationShortcutMenuItemView::m_iconView>("_iconView")
                           .ivar<&SBApplicationShortcutMenuItemView::m_shortcutItem>("_shortcutItem")
                           .ivar<&SBApplicationShortcutMenuItemView::m_titleFontSize>("_titleFontSize")
                           .ivar<&SBApplicationShortcutMenuItemView::m_subtitleFontSize>("_subtitleFontSize")
                           .registerClass();
    return cls;
}

Class SBApplicationShortcutMenu::objcClass()
{
    static Class cls = ClassBuilder<SBApplicationShortcutMenu>("SBApplicationShortcutMenu", UIView::objcClass())
                           .method(menuInitSelector, &menuInit)
                           .method(peekSelector, &peek)
                           .method(updateBackgroundSelector, &updateBackground)
                           .ivar<&SBApplicationShortcutMenu::m_blurSettings>("_blurSettings")
                           .registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredPlate = SBApplicationShortcutMenuBackgroundView::objcClass();
[[maybe_unused]] static Class registeredItem = SBApplicationShortcutMenuItemView::objcClass();
[[maybe_unused]] static Class registeredMenu = SBApplicationShortcutMenu::objcClass();
