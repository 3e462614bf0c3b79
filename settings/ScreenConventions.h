#pragma once

// What every screen of the settings bundle shares: the accent tint, bundle
// images, the own grouped table, the template title image, the tinting
// shortly after a screen appears, and swatches.

#include <string>

#include <corefoundation/Dispatch.h>
#include <foundation/NSDictionary.h>
#include <objc/MessageSend.h>
#include <preferences/PSViewController.h>
#include <store/SettingsStore.h>
#include <uikit/UITableView.h>

inline constexpr const char* kMenutoneBundlePath = "/Library/PreferenceBundles/MenutoneSettings.bundle/";

// Red 228, green 66, blue 53.
Ref<UIColor> settingsTint();

// An image of the bundle by file name, as a template when asked.
enum class Rendering { Original, Template };
RefPtr<UIImage> bundleImage(const std::string& fileName, Rendering);

// The navigation item's title view becomes the bundle image.
void setTitleImage(UIViewController&, const std::string& fileName, Rendering);

// loadView: a grouped table over the application frame, the controller its
// data source and delegate, made the controller's view.
void loadOwnTable(UIViewController&);
UITableView* ownTable(UIViewController&);

// The settings tint on the bar of the navigation controller that holds the
// screen's own, on the screen's view, and as the on-tint of switches inside
// the screen's class, after the delay on the main queue. The controller is
// kept until then.
void tintAfterDelay(UIViewController&, std::int64_t delayNs);
inline constexpr std::int64_t kTintDelayNs = 200000000;
void applySettingsTint(UIViewController&);

// A 20 x 20 point circle filled with the colour (none: no fill).
Ref<UIView> swatchView(RefPtr<UIColor>);

// The conventions as method implementations, for a screen class to register:
// "loadView" makes the own table; "viewWillAppear:" calls the superclass's,
// then tints after kTintDelayNs.
template <typename Screen> void loadOwnTableView(id self, SEL)
{
    loadOwnTable(*static_cast<Screen*>(self));
}

template <typename Screen> void viewWillAppearTinting(id self, SEL op, bool animated)
{
    objc_msgSendSuper<void(bool)>(Screen::objcClass(), self, op, animated);
    tintAfterDelay(*static_cast<Screen*>(self), kTintDelayNs);
}

// Rows every screen answers the same way.
long centredTitleAlignment(id, SEL, id table, long section);
double standardRowHeight(id, SEL, id table, id indexPath);
