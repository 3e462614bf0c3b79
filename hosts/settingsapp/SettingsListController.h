#pragma once

// The Settings app's own first screen: "Settings", a grouped list with a row
// for each preference entry (its label and icon). Tapping one opens it, so
// every entry's first screen has "‹ Settings" to come back by, as on iOS.

#include <functional>
#include <string>

#include <uikit/UIViewController.h>

// What tapping an entry's row does: open it by its name.
using OpenEntry = std::function<void(const std::string& entryName)>;

Ref<UIViewController> makeSettingsListController(OpenEntry);
