#pragma once

// Bar button items and the navigation item that holds a screen's title and
// bar buttons.

#include <string>

#include <objc/WeakReference.h>

#include "UIImage.h"
#include "UIView.h"

enum class UIBarButtonItemStyle : long { Plain = 0, Bordered = 1, Done = 2 };

class UIBarButtonItem : public NSObject {
public:
    UIBarButtonItem() = default;
    static Class objcClass();

    // The target is not retained; it is weak.
    static Ref<UIBarButtonItem> initWithImage(RefPtr<UIImage>, UIBarButtonItemStyle, id target, SEL action);
    static Ref<UIBarButtonItem> initWithTitle(std::string title, UIBarButtonItemStyle, id target, SEL action);
    static Ref<UIBarButtonItem> initWithCustomView(Ref<UIView> customView);

    UIImage* image() const { return m_image.get(); }
    const std::string& title() const { return m_title; }
    UIBarButtonItemStyle style() const { return m_style; }
    UIView* customView() const { return m_customView.get(); }
    id target() const { return m_target.get(); }
    SEL action() const { return m_action; }
    UIColor* tintColor() const { return m_tintColor.get(); }
    void setTintColor(RefPtr<UIColor> color) { m_tintColor = std::move(color); }
    // What VoiceOver reads for it (UIAccessibility); empty: its title.
    const std::string& accessibilityLabel() const { return m_accessibilityLabel; }
    void setAccessibilityLabel(std::string label) { m_accessibilityLabel = std::move(label); }
    // Its own tint, else the appearance proxy's.
    UIColor* effectiveTintColor() const;

    // A tap: the action goes to the target with this item as the argument.
    // Answers false when the item has no action.
    bool tapByUser();

private:
    RefPtr<UIImage> m_image;
    std::string m_title;
    UIBarButtonItemStyle m_style { UIBarButtonItemStyle::Plain };
    RefPtr<UIView> m_customView;
    WeakObjCPtr<> m_target;
    SEL m_action { nullptr };
    RefPtr<UIColor> m_tintColor;
    std::string m_accessibilityLabel;
};

class UINavigationItem : public NSObject {
public:
    UINavigationItem() = default;
    static Class objcClass();

    // A change shows at once in the bar showing the item, as UIKit's bars
    // follow their items.
    const std::string& title() const { return m_title; }
    void setTitle(std::string title)
    {
        m_title = std::move(title);
        didChange();
    }
    UIView* titleView() const { return m_titleView.get(); }
    void setTitleView(RefPtr<UIView> view)
    {
        m_titleView = std::move(view);
        didChange();
    }
    UIBarButtonItem* leftBarButtonItem() const { return m_leftBarButtonItem.get(); }
    void setLeftBarButtonItem(RefPtr<UIBarButtonItem> item)
    {
        m_leftBarButtonItem = std::move(item);
        didChange();
    }
    UIBarButtonItem* rightBarButtonItem() const { return m_rightBarButtonItem.get(); }
    void setRightBarButtonItem(RefPtr<UIBarButtonItem> item)
    {
        m_rightBarButtonItem = std::move(item);
        didChange();
    }
    // Set by the bar that shows the item.
    void setShowingBar(UIView* bar) { m_showingBar = bar; }

private:
    void didChange();

    WeakObjCPtr<UIView> m_showingBar;
    std::string m_title;
    RefPtr<UIView> m_titleView;
    RefPtr<UIBarButtonItem> m_leftBarButtonItem;
    RefPtr<UIBarButtonItem> m_rightBarButtonItem;
};
