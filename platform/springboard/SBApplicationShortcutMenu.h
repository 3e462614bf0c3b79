#pragma once

// SpringBoard's shortcut-menu classes. Their initialisers and the two blur
// methods are the host's implementations, reached through the runtime, so
// that replacements installed on them take effect.

#include <vector>

#include <uikit/UIImageView.h>
#include <uikit/UILabel.h>

#include "SBApplication.h"
#include "UIBackdropViewSettings.h"

// The plate: its background colour, or without one SpringBoard's light material.
class SBApplicationShortcutMenuBackgroundView : public UIView {
public:
    SBApplicationShortcutMenuBackgroundView() = default;
    static Class objcClass();
    void drawContent(cairo_t*) override;
};

class SBApplicationShortcutMenuItemView : public UIView {
public:
    SBApplicationShortcutMenuItemView() = default;
    static Class objcClass();

    UILabel* titleLabel() const { return m_titleLabel.get(); }
    UILabel* subtitleLabel() const { return m_subtitleLabel.get(); }
    UIImageView* iconView() const { return m_iconView.get(); }
    SBSApplicationShortcutItem* shortcutItem() const { return objc_dynamicCast<SBSApplicationShortcutItem>(m_shortcutItem.get()); }
    CGFloat titleFontSize() const { return m_titleFontSize; }
    CGFloat subtitleFontSize() const { return m_subtitleFontSize; }
    // A hairline over every item but the first.
    void drawContent(cairo_t*) override;

    RefPtr<UILabel> m_titleLabel;
    RefPtr<UILabel> m_subtitleLabel;
    RefPtr<UIImageView> m_iconView;
    RefPtr<NSObject> m_shortcutItem; // an id slot: tweaks know the item only through -type
    double m_titleFontSize { 0 };
    double m_subtitleFontSize { 0 };
};

class SBApplicationShortcutMenu : public UIView {
public:
    SBApplicationShortcutMenu() = default;
    static Class objcClass();

    static constexpr std::size_t maximumItemCount = 4;

    SBApplication* application() const { return m_application.get(); }
    NSObject* blurSettings() const { return m_blurSettings.get(); }
    // Whether the blur settings are still the object the host made.
    bool isBlurSettingsHostMade() const;
    SBApplicationShortcutMenuBackgroundView* backgroundView() const { return m_backgroundView.get(); }
    const std::vector<Ref<SBApplicationShortcutMenuItemView>>& itemViews() const { return m_itemViews; }

    // What the host's own implementations received, in order.
    const std::vector<double>& contentFractions() const { return m_contentFractions; }
    const std::vector<double>& peekBlurFractions() const { return m_peekBlurFractions; }
    const std::vector<double>& updateBlurFractions() const { return m_updateBlurFractions; }
    double lastBlurFraction() const { return m_updateBlurFractions.empty() ? 0 : m_updateBlurFractions.back(); }

    RefPtr<NSObject> m_blurSettings;
    RefPtr<SBApplication> m_application;
    RefPtr<SBApplicationShortcutMenuBackgroundView> m_backgroundView;
    std::vector<Ref<SBApplicationShortcutMenuItemView>> m_itemViews;
    std::vector<double> m_contentFractions;
    std::vector<double> m_peekBlurFractions;
    std::vector<double> m_updateBlurFractions;
};

// The selectors, as SpringBoard sends them.
inline constexpr const char* menuItemInitSelector
    = "initWithShortcutItem:menuPosition:orientation:application:assetManagerProvider:monogrammerProvider:options:";
inline constexpr const char* menuInitSelector = "initWithFrame:application:iconView:interactionProgress:orientation:";
inline constexpr const char* peekSelector = "_peekWithContentFraction:smoothedBlurFraction:";
inline constexpr const char* updateBackgroundSelector = "_updateBackgroundForBlurFraction:";

using MenuItemInit = id(id, std::int64_t, std::int64_t, id, id, id, std::uint64_t);
using MenuInit = id(CGRect, id, id, id, std::int64_t);

// The menu's layout, in points.
inline constexpr CGFloat menuWidth = 250;
inline constexpr CGFloat menuItemHeight = 56;

// iOS 9's press: below the commit threshold the peek only blurs the screen
// and lifts the icon; past it the menu grows out of the icon, whole at a full
// press. How far it has grown, 0 to 1, for a content fraction.
inline constexpr double menuCommitFraction = 0.6;
inline double menuGrowth(double contentFraction)
{
    double growth = (contentFraction - menuCommitFraction) / (1 - menuCommitFraction);
    return growth > 0 ? (growth < 1 ? growth : 1) : 0;
}
// The transform that draws a menu of that growth scaled towards a point (the
// icon's centre) from its own centre, both in the menu's superview.
inline CGAffineTransform menuGrowthTransform(double growth, CGPoint menuCenter, CGPoint iconCenter)
{
    return { growth, 0, 0, growth, (1 - growth) * (iconCenter.x - menuCenter.x), (1 - growth) * (iconCenter.y - menuCenter.y) };
}
