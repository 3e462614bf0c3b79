#pragma once

// Whether a menu's text and glyphs can be read on the plate they sit on:
// the plate's colour read from the rendered picture (the wallpaper under the
// menu, blurred and tinted as the blur style draws it), and the title,
// subtitle and icon colours measured against it.

#include <optional>
#include <string>
#include <vector>

#include <tincture/Color.h>

#include <common/JSON.h>

class SBApplicationShortcutMenu;
struct MenuPicture;

struct ThemeRole {
    const char* name; // "title", "subtitle", "icon"
    double leastRatio; // WCAG 2: 4.5 for titles, 3 for subtitles and glyphs
    std::optional<tincture::Color> color; // none: an icon in its own colours
    double ratio { 0 };
    double apcaLc { 0 };
    bool isPassed() const { return !color || ratio >= leastRatio; }
};

struct ThemeCheck {
    tincture::Color plate;
    std::vector<ThemeRole> roles;
    bool isPassed() const;
};

// The menu measured as it is drawn now.
ThemeCheck checkTheme(const SBApplicationShortcutMenu&);
// The same on a picture already drawn (a phone's screen with the menu open),
// with where the plate lies in it.
ThemeCheck checkTheme(const SBApplicationShortcutMenu&, const MenuPicture&);
JSON themeCheckJSON(const ThemeCheck&);
std::string themeCheckText(const ThemeCheck&);

// Palette indices for the title, subtitle and icon that pass on the plate
// and are nearest to the wallpaper's accent colours, each with the reason.
struct ThemeChoice {
    const char* role;
    const char* key; // the store key it goes in
    long index;
    tincture::Color color;
    double ratio;
    tincture::Color accent; // the wallpaper colour it echoes
};
std::vector<ThemeChoice> suggestTheme(const ThemeCheck&);
// Writes the choices to the store (and turns the presets off, so that they
// count), in one write with its notification.
void applyTheme(const std::vector<ThemeChoice>&);
// The wallpaper's accent colours (the library's image palette).
std::vector<tincture::Color> wallpaperAccents();
