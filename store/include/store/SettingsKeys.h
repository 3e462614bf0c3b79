#pragma once

// Menutone's eighteen settings, each typed once here: the member and key
// names, the type the value is stored as, the default when it is absent and
// what it means. Everything else (the key constants, the settings struct and
// its reader, the list `defaults` shows) is made from this table.
//
// X(member, "key", type, default, "meaning"). Fonts have no default (the tweak
// keeps the label's own font, the settings bundle shows an empty name) and
// archived colours none. The subtitle preset colour's key is spelled without
// the t after "shortcu", as the shipped bundle writes it.
#define MENUTONE_SETTINGS_KEYS(X)                                                                                                                              \
    X(isEnabled, "isEnabled", Boolean, 1, "master switch")                                                                                                     \
    X(shortcutTitleColor, "shortcutTitleColor", ColorIndex, 0, "title text colour (palette index)")                                                            \
    X(shortcutSubtitleColor, "shortcutSubtitleColor", ColorIndex, 0, "subtitle text colour (palette index)")                                                   \
    X(shortcutIconColor, "shortcutIconColor", ColorIndex, 0, "icon tint (palette index)")                                                                      \
    X(shortcutBackgroundColor, "shortcutBackgroundColor", ColorIndex, 0, "menu background colour (palette index)")                                             \
    X(shortcutBorderColor, "shortcutBorderColor", ColorIndex, 0, "border colour (palette index; 0 is black)")                                                  \
    X(shortcutTitleFont, "shortcutTitleFont", String, 0, "title font name")                                                                                    \
    X(shortcutSubtitleFont, "shortcutSubtitleFont", String, 0, "subtitle font name")                                                                           \
    X(isShortcutBorder, "isShortcutBorder", Boolean, 0, "draw a border around the menu plate")                                                                 \
    X(isHideShortcutBlur, "isHideShortcutBlur", Boolean, 0, "force the blur fraction to 0")                                                                    \
    X(shortcutBlurStyle, "shortcutBlurStyle", Integer, 0, "blur style 0..9")                                                                                   \
    X(isShortcutPreset, "isShortcutPreset", Boolean, 0, "use the five preset colours")                                                                         \
    X(shortcutTitlePresetColor, "shortcutTitlePresetColor", ArchivedColor, 0, "preset title colour")                                                           \
    X(shortcutSubtitlePresetColor, "shortcuSubtitlePresetColor", ArchivedColor, 0, "preset subtitle colour")                                                   \
    X(shortcutIconPresetColor, "shortcutIconPresetColor", ArchivedColor, 0, "preset icon tint")                                                                \
    X(shortcutBackgroundPresetColor, "shortcutBackgroundPresetColor", ArchivedColor, 0, "preset background colour")                                            \
    X(shortcutBorderPresetColor, "shortcutBorderPresetColor", ArchivedColor, 0, "preset border colour")                                                        \
    X(shortcutPresetColorScheme, "shortcutPresetColorScheme", Integer, 0, "presets screen scheme segment: 0 analogous, 1 complementary, 2 triadic")
