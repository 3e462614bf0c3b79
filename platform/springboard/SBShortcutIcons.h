#pragma once

// The system's shortcut icons (UIApplicationShortcutIconType...), drawn as
// template glyphs at 28 points (@2x), so the icon view's tint colours them
// as it does any template icon: the seven of iOS 9.0 and the twenty-two
// added in 9.1.

#include <array>
#include <string_view>

#include <uikit/UIImage.h>

// The type names, without the "UIApplicationShortcutIconType" prefix.
extern const std::array<std::string_view, 29> systemShortcutIconNames;

// The glyph for a type, named in full ("UIApplicationShortcutIconTypeCompose")
// or by its last word ("Compose"); none for a type the system does not have.
RefPtr<UIImage> systemShortcutIcon(std::string_view type);
