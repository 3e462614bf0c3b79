// The five colour pickers: one table of the 49 palette entries each, a swatch
// per row and one in the navigation bar for the current choice. A choice
// stores its palette index under the screen's key and tells the tweak.

#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>
#include <preferences/PSViewController.h>
#include <store/PaletteIndex.h>

#include "ScreenConventions.h"

namespace {

struct Member {
    const char* className;
    const char* title;
    const char* image;
    const char* key;
    std::int64_t MenutoneSettings::*value;
};

constexpr Member members[] = {
    { "MenutoneTitleColorController", "Title color", "color.png", MenutoneKey::shortcutTitleColor, &MenutoneSettings::shortcutTitleColor },
    { "MenutoneSubtitleColorController", "Subtitle color", "color.png", MenutoneKey::shortcutSubtitleColor, &MenutoneSettings::shortcutSubtitleColor },
    { "MenutoneIconColorController", "Icon color", "iconColor.png", MenutoneKey::shortcutIconColor, &MenutoneSettings::shortcutIconColor },
    { "MenutoneBackgroundColorController", "Background color", "bgColor.png", MenutoneKey::shortcutBackgroundColor,
        &MenutoneSettings::shortcutBackgroundColor },
    { "MenutoneBorderColorController", "Border color", "borderColor.png", MenutoneKey::shortcutBorderColor, &MenutoneSettings::shortcutBorderColor },
};

// One C++ type per screen class, as the runtime knows classes by type.
template <std::size_t Index> class MenutoneColorController : public PSViewController {
public:
    static constexpr const Member& member = members[Index];
    static Class objcClass();

    std::vector<std::string> m_colorNames;
};

template <std::size_t Index> using Screen = MenutoneColorController<Index>;

// -updateColor:toColor:
template <std::size_t Index> void updateColor(id self, SEL, bool isGiven, id color)
{
    auto stored = MenutoneSettings::stored().*Screen<Index>::member.value;
    RefPtr<UIColor> fill = isGiven ? objc_dynamicCast<UIColor>(color) : colorInt(stored, UIColor::blackColor().ptr());
    auto item = UIBarButtonItem::initWithCustomView(swatchView(fill));
    // Read out as "Title color: Dark Red": the palette's name for the stored
    // index, or for the flat colour given; else the first, "Default".
    auto& names = static_cast<Screen<Index>*>(self)->m_colorNames;
    std::size_t named = 0;
    if (!isGiven && stored >= 0 && static_cast<std::size_t>(stored) < names.size())
        named = static_cast<std::size_t>(stored);
    for (std::size_t i = 1; isGiven && fill && i < names.size() && !named; ++i) {
        if (RefPtr<UIColor> entry = colorInt(static_cast<long>(i), nullptr); entry && entry->isEqual(fill.get()))
            named = i;
    }
    if (named < names.size())
        item->setAccessibilityLabel(std::string(Screen<Index>::member.title) + ": " + names[named]);
    static_cast<Screen<Index>*>(self)->navigationItem()->setRightBarButtonItem(item.ptr());
}

template <std::size_t Index> id init(id self, SEL op)
{
    self = objc_msgSendSuper<id()>(Screen<Index>::objcClass(), self, op);
    if (!self)
        return self;
    auto* screen = static_cast<Screen<Index>*>(self);
    screen->setTitle(Screen<Index>::member.title);
    setTitleImage(*screen, Screen<Index>::member.image, Rendering::Template);
    screen->m_colorNames.assign(kColorNames.begin(), kColorNames.end());
    return self;
}

template <std::size_t Index> void viewDidLoad(id self, SEL op)
{
    objc_msgSendSuper<void()>(Screen<Index>::objcClass(), self, op);
    ownTable(*static_cast<Screen<Index>*>(self))->registerClass(UITableViewCell::objcClass(), "Cell");
    static SEL update = sel_registerName("updateColor:toColor:");
    objc_msgSend<void(bool, id)>(self, update, false, static_cast<id>(nullptr));
}

long oneSection(id, SEL, id)
{
    return 1;
}

long paletteRows(id, SEL, id, long)
{
    return static_cast<long>(kColorNames.size());
}

template <std::size_t Index> std::optional<std::string> titleForHeader(id, SEL, id, long)
{
    return Screen<Index>::member.title;
}

template <std::size_t Index> id cellForRow(id self, SEL, id table, id indexPath)
{
    auto* path = objc_dynamicCast<NSIndexPath>(indexPath);
    UITableViewCell* cell = static_cast<UITableView*>(table)->dequeueReusableCellWithIdentifier("Cell", path);
    auto& names = static_cast<Screen<Index>*>(self)->m_colorNames;
    long row = path ? path->row() : -1;
    if (row >= 0 && row < static_cast<long>(names.size()))
        cell->textLabel()->setText(names[static_cast<std::size_t>(row)]);
    cell->setAccessoryView(swatchView(colorInt(row, UIColor::blackColor().ptr())).ptr());
    return cell;
}

template <std::size_t Index> void didSelectRow(id self, SEL, id table, id indexPath)
{
    auto* path = objc_dynamicCast<NSIndexPath>(indexPath);
    if (!path)
        return;
    static_cast<UITableView*>(table)->deselectRowAtIndexPath(path, true);
    long row = path->row();
    SettingsStore::change(Screen<Index>::member.key, PropertyListValue::integer(row));
    static SEL update = sel_registerName("updateColor:toColor:");
    RefPtr<UIColor> chosen = colorInt(row, nullptr);
    objc_msgSend<void(bool, id)>(self, update, true, static_cast<id>(chosen.get()));
}

template <std::size_t Index> Class makeClass()
{
    return ClassBuilder<MenutoneColorController<Index>>(Screen<Index>::member.className, PSViewController::objcClass())
        .method("init", &init<Index>)
        .method("loadView", &loadOwnTableView<MenutoneColorController<Index>>)
        .method("viewDidLoad", &viewDidLoad<Index>)
        .method("viewWillAppear:", &viewWillAppearTinting<MenutoneColorController<Index>>)
        .method("numberOfSectionsInTableView:", &oneSection)
        .method("tableView:numberOfRowsInSection:", &paletteRows)
        .method("tableView:titleForHeaderInSection:", &titleForHeader<Index>)
        .method("tableView:titleAlignmentForHeaderInSection:", &centredTitleAlignment)
        .method("tableView:titleAlignmentForFooterInSection:", &centredTitleAlignment)
        .method("tableView:heightForRowAtIndexPath:", &standardRowHeight)
        .method("tableView:estimatedHeightForRowAtIndexPath:", &standardRowHeight)
        .method("tableView:cellForRowAtIndexPath:", &cellForRow<Index>)
        .method("tableView:didSelectRowAtIndexPath:", &didSelectRow<Index>)
        .method("updateColor:toColor:", &updateColor<Index>)
        .template ivar<&MenutoneColorController<Index>::m_colorNames>("_colorNames")
        .registerClass();
}

template <std::size_t Index> Class MenutoneColorController<Index>::objcClass()
{
    static Class cls = makeClass<Index>();
    return cls;
}

[[maybe_unused]] Class registeredTitle = MenutoneColorController<0>::objcClass();
[[maybe_unused]] Class registeredSubtitle = MenutoneColorController<1>::objcClass();
[[maybe_unused]] Class registeredIcon = MenutoneColorController<2>::objcClass();
[[maybe_unused]] Class registeredBackground = MenutoneColorController<3>::objcClass();
[[maybe_unused]] Class registeredBorder = MenutoneColorController<4>::objcClass();

}
