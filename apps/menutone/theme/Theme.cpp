#include "Theme.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>

#include <foundation/NSDictionary.h>
#include <homescreen/SpringBoard.h>
#include <springboard/SBWallpaper.h>
#include <store/PaletteIndex.h>
#include <store/SettingsStore.h>
#include <tincture/NSArray+Tincture.h>
#include <uikit/UIGraphics.h>
#include <uikit/UIImage.h>
#include <uikit/UIImageView.h>
#include <uikit/UILabel.h>

namespace {

using tincture::Color;

// Text or a glyph as it shows on the plate: its alpha composited over it.
Color over(const Color& color, const Color& plate)
{
    double a = color.alpha();
    return Color::fromRGB(color.red() * a + plate.red() * (1 - a), color.green() * a + plate.green() * (1 - a), color.blue() * a + plate.blue() * (1 - a));
}

// The plate's colour: the median of each channel over the plate, inset from
// its rounded edge, so that the text and glyphs on it do not count.
Color plateColor(const MenuPicture& picture)
{
    cairo_surface_t* surface = picture.image->surface();
    cairo_surface_flush(surface);
    double scale = picture.image->scale();
    int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    constexpr double inset = 12;
    int x0 = std::clamp(static_cast<int>((picture.plateFrame.origin.x + inset) * scale), 0, width);
    int x1 = std::clamp(static_cast<int>((picture.plateFrame.origin.x + picture.plateFrame.size.width - inset) * scale), 0, width);
    int y0 = std::clamp(static_cast<int>((picture.plateFrame.origin.y + inset) * scale), 0, height);
    int y1 = std::clamp(static_cast<int>((picture.plateFrame.origin.y + picture.plateFrame.size.height - inset) * scale), 0, height);
    std::vector<unsigned char> channels[3];
    for (int y = y0; y < y1; y += 2) {
        for (int x = x0; x < x1; x += 2) {
            const unsigned char* pixel = data + y * stride + x * 4;
            // Opaque ARGB32 in memory: blue, green, red, alpha.
            channels[0].push_back(pixel[2]);
            channels[1].push_back(pixel[1]);
            channels[2].push_back(pixel[0]);
        }
    }
    if (channels[0].empty())
        return Color::fromRGB(1, 1, 1);
    double median[3];
    for (int c = 0; c < 3; ++c) {
        auto middle = channels[c].begin() + static_cast<std::ptrdiff_t>(channels[c].size() / 2);
        std::nth_element(channels[c].begin(), middle, channels[c].end());
        median[c] = *middle / 255.0;
    }
    return Color::fromRGB(median[0], median[1], median[2]);
}

std::string ratioText(double ratio)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f:1", ratio);
    return text;
}

}

bool ThemeCheck::isPassed() const
{
    return std::all_of(roles.begin(), roles.end(), [](const ThemeRole& role) { return role.isPassed(); });
}

ThemeCheck checkTheme(const SBApplicationShortcutMenu& menu)
{
    return checkTheme(menu, renderMenuPicture(menu));
}

ThemeCheck checkTheme(const SBApplicationShortcutMenu& menu, const MenuPicture& picture)
{
    ThemeCheck check { plateColor(picture), { { "title", 4.5, std::nullopt }, { "subtitle", 3, std::nullopt }, { "icon", 3, std::nullopt } } };
    // Every item is styled alike: the first with a subtitle and an icon speaks for all.
    std::optional<Color> title, subtitle, icon;
    for (auto& itemView : menu.itemViews()) {
        auto& item = itemView.get();
        if (!title && item.titleLabel())
            title = item.titleLabel()->textColor() ? tincture::colorValueOf(*item.titleLabel()->textColor()) : Color();
        if (!subtitle && item.subtitleLabel() && !item.subtitleLabel()->text().empty())
            subtitle = item.subtitleLabel()->textColor() ? tincture::colorValueOf(*item.subtitleLabel()->textColor()) : Color();
        auto* iconView = item.iconView();
        if (!icon && iconView && iconView->image() && iconView->image()->renderingMode() == UIImageRenderingMode::AlwaysTemplate)
            icon = iconView->tintColor() ? tincture::colorValueOf(*iconView->tintColor()) : Color::fromRGB(0, 0.478, 1); // the default tint
    }
    // Without a subtitle on any item, the subtitle colour is what one would take.
    check.roles[0].color = title.value_or(Color());
    check.roles[1].color = subtitle ? subtitle : title;
    check.roles[2].color = icon;
    for (auto& role : check.roles) {
        if (!role.color)
            continue;
        Color shown = over(*role.color, check.plate);
        role.ratio = tincture::contrastRatio(shown, check.plate);
        role.apcaLc = tincture::contrastAPCA(shown, check.plate);
    }
    return check;
}

JSON themeCheckJSON(const ThemeCheck& check)
{
    JSON roles = JSON::object();
    for (auto& role : check.roles) {
        roles[role.name] = role.color ? JSON { { "color", role.color->hex() }, { "ratio", jsonNumber(role.ratio) }, { "apcaLc", jsonNumber(role.apcaLc) },
            { "leastRatio", jsonNumber(role.leastRatio) }, { "passed", role.isPassed() } }
                                      : JSON { { "color", nullptr }, { "passed", true } };
    }
    return { { "plate", check.plate.hex() }, { "passed", check.isPassed() }, { "roles", std::move(roles) } };
}

std::string themeCheckText(const ThemeCheck& check)
{
    std::string text = "plate     " + check.plate.hex() + "  (the wallpaper under the menu, blurred and tinted)\n";
    for (auto& role : check.roles) {
        char line[200];
        if (!role.color)
            std::snprintf(line, sizeof line, "%-9s in its own colours, not measured\n", role.name);
        else
            std::snprintf(line, sizeof line, "%-9s %s  %8s  APCA Lc %6.1f  %s (needs %s)\n", role.name, role.color->hex().c_str(),
                ratioText(role.ratio).c_str(), role.apcaLc, role.isPassed() ? "pass" : "FAIL", ratioText(role.leastRatio).c_str());
        text += line;
    }
    return text;
}

std::vector<Color> wallpaperAccents()
{
    // The wallpaper as the home screen draws it, at one point a pixel.
    auto image = homeBackgroundImage(UIScreen::mainScreen().bounds().size, 1);
    std::vector<Color> accents;
    if (image) {
        for (auto& color : tincture::array::arrayOfColorsFromImage(image.get(), tincture::Flat::No))
            accents.push_back(tincture::colorValueOf(color.get()));
    }
    return accents;
}

std::vector<ThemeChoice> suggestTheme(const ThemeCheck& check)
{
    static constexpr const char* keys[] = { MenutoneKey::shortcutTitleColor, MenutoneKey::shortcutSubtitleColor, MenutoneKey::shortcutIconColor };
    auto accents = wallpaperAccents();
    if (accents.empty())
        accents.push_back(check.plate);
    // Each role echoes an accent of its own, in the palette's order, and
    // takes a colour of its own, while there are enough.
    std::vector<bool> isAccentUsed(accents.size(), false);
    std::vector<long> taken;
    std::vector<ThemeChoice> choices;
    for (std::size_t r = 0; r < check.roles.size(); ++r) {
        auto& role = check.roles[r];
        bool isAnyAccentFree = std::find(isAccentUsed.begin(), isAccentUsed.end(), false) != isAccentUsed.end();
        std::optional<ThemeChoice> best;
        std::size_t bestAccent = 0;
        double bestDistance = INFINITY;
        for (long index = 1; index < static_cast<long>(kColorNames.size()); ++index) {
            if (std::find(taken.begin(), taken.end(), index) != taken.end())
                continue;
            Color candidate = tincture::colorValueOf(*colorInt(index, nullptr));
            double ratio = tincture::contrastRatio(candidate, check.plate);
            if (ratio < role.leastRatio)
                continue;
            // The nearest to a free accent; ties go to the clearer.
            for (std::size_t a = 0; a < accents.size(); ++a) {
                if (isAnyAccentFree && isAccentUsed[a])
                    continue;
                double distance = tincture::deltaE2000(candidate, accents[a]) - ratio * 1e-6;
                if (distance < bestDistance) {
                    bestDistance = distance;
                    bestAccent = a;
                    best = ThemeChoice { role.name, keys[r], index, candidate, ratio, accents[a] };
                }
            }
        }
        if (!best)
            continue;
        isAccentUsed[bestAccent] = true;
        taken.push_back(best->index);
        choices.push_back(*best);
    }
    return choices;
}

void applyTheme(const std::vector<ThemeChoice>& choices)
{
    // One write, one notification: a running home screen restyles once.
    SettingsStore::change([&](NSMutableDictionary& store) {
        for (auto& choice : choices)
            store.setObject(PropertyListValue::integer(choice.index), choice.key);
        store.setObject(PropertyListValue::boolean(false), MenutoneKey::isShortcutPreset);
    });
}
