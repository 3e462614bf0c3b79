// The two font pickers: every installed font, a section per family, each row
// previewed in its own font at 16 points. A choice stores the font's name;
// "Default" removes the key so the menu keeps its label's own font.

#include <algorithm>
#include <map>

#include <objc/AutoreleasePool.h>
#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>
#include <preferences/PSViewController.h>
#include <uikit/UIFont.h>

#include "ScreenConventions.h"

namespace {

constexpr const char* fontCellIdentifier = "FontCellIdentifier";

struct Member {
    const char* className;
    const char* key;
};

constexpr Member members[] = {
    { "MenutoneTitleFontController", MenutoneKey::shortcutTitleFont },
    { "MenutoneSubtitleFontController", MenutoneKey::shortcutSubtitleFont },
};

template <std::size_t Index> class MenutoneFontController : public PSViewController {
public:
    static constexpr const Member& member = members[Index];
    static Class objcClass();

    std::vector<std::string> m_familyNames;
    std::map<std::string, std::vector<std::string>> m_fontNamesForFamilyNames;
};

template <std::size_t Index> using Screen = MenutoneFontController<Index>;

// NSString's -compare: without options: the strings' characters in order, so
// upper case before lower case; UTF-8's byte order is that order.
void sortWithCompare(std::vector<std::string>& names)
{
    std::sort(names.begin(), names.end());
}

template <std::size_t Index> const std::string* fontNameAt(id self, NSIndexPath* path)
{
    auto* screen = static_cast<Screen<Index>*>(self);
    if (!path || path->section() < 0 || path->section() >= static_cast<long>(screen->m_familyNames.size()))
        return nullptr;
    auto& names = screen->m_fontNamesForFamilyNames[screen->m_familyNames[static_cast<std::size_t>(path->section())]];
    if (path->row() < 0 || path->row() >= static_cast<long>(names.size()))
        return nullptr;
    return &names[static_cast<std::size_t>(path->row())];
}

template <std::size_t Index> id init(id self, SEL op)
{
    self = objc_msgSendSuper<id()>(Screen<Index>::objcClass(), self, op);
    if (!self)
        return self;
    auto* screen = static_cast<Screen<Index>*>(self);
    setTitleImage(*screen, "font.png", Rendering::Template);
    screen->m_familyNames = UIFont::familyNames();
    sortWithCompare(screen->m_familyNames);
    for (auto& family : screen->m_familyNames) {
        auto names = UIFont::fontNamesForFamilyName(family);
        sortWithCompare(names);
        screen->m_fontNamesForFamilyNames[family] = std::move(names);
    }
    return self;
}

template <std::size_t Index> void viewDidLoad(id self, SEL op)
{
    objc_msgSendSuper<void()>(Screen<Index>::objcClass(), self, op);
    auto* screen = static_cast<Screen<Index>*>(self);
    ownTable(*screen)->registerClass(UITableViewCell::objcClass(), fontCellIdentifier);
    static SEL defaultTap = sel_registerName("defaultTap:");
    screen->navigationItem()->setRightBarButtonItem(UIBarButtonItem::initWithTitle("Default", UIBarButtonItemStyle::Plain, self, defaultTap).ptr());
}

template <std::size_t Index> long numberOfSections(id self, SEL, id)
{
    return static_cast<long>(static_cast<Screen<Index>*>(self)->m_familyNames.size());
}

template <std::size_t Index> long numberOfRows(id self, SEL, id, long section)
{
    auto* screen = static_cast<Screen<Index>*>(self);
    if (section < 0 || section >= static_cast<long>(screen->m_familyNames.size()))
        return 0;
    return static_cast<long>(screen->m_fontNamesForFamilyNames[screen->m_familyNames[static_cast<std::size_t>(section)]].size());
}

template <std::size_t Index> std::optional<std::string> titleForHeader(id self, SEL, id, long section)
{
    auto* screen = static_cast<Screen<Index>*>(self);
    if (section < 0 || section >= static_cast<long>(screen->m_familyNames.size()))
        return std::nullopt;
    return screen->m_familyNames[static_cast<std::size_t>(section)];
}

template <std::size_t Index> id cellForRow(id self, SEL, id table, id indexPath)
{
    UITableViewCell* cell = static_cast<UITableView*>(table)->dequeueReusableCellWithIdentifier(fontCellIdentifier);
    RefPtr<UITableViewCell> made;
    if (!cell) {
        RefPtr<NSObject> instance = class_createInstance(UITableViewCell::objcClass());
        static SEL initializer = sel_registerName("initWithStyle:reuseIdentifier:");
        made = objc_dynamicCast<UITableViewCell>(objc_msgSend<id(long, const std::string&)>(instance.get(), initializer, 0l, std::string(fontCellIdentifier)));
        cell = static_cast<UITableViewCell*>(objc_autorelease(made.get()));
    }
    if (auto* name = fontNameAt<Index>(self, objc_dynamicCast<NSIndexPath>(indexPath))) {
        cell->textLabel()->setText(*name);
        cell->textLabel()->setFont(UIFont::fontWithName(*name, 16.0));
    }
    return cell;
}

template <std::size_t Index> void didSelectRow(id self, SEL, id table, id indexPath)
{
    auto* path = objc_dynamicCast<NSIndexPath>(indexPath);
    static_cast<UITableView*>(table)->deselectRowAtIndexPath(path, true);
    auto* name = fontNameAt<Index>(self, path);
    if (!name)
        return;
    SettingsStore::change(Screen<Index>::member.key, PropertyListValue::string(*name));
}

template <std::size_t Index> void defaultTap(id, SEL, id)
{
    SettingsStore::change(Screen<Index>::member.key, std::nullopt);
}

template <std::size_t Index> Class makeClass()
{
    return ClassBuilder<MenutoneFontController<Index>>(Screen<Index>::member.className, PSViewController::objcClass())
        .method("init", &init<Index>)
        .method("loadView", &loadOwnTableView<MenutoneFontController<Index>>)
        .method("viewDidLoad", &viewDidLoad<Index>)
        .method("viewWillAppear:", &viewWillAppearTinting<MenutoneFontController<Index>>)
        .method("numberOfSectionsInTableView:", &numberOfSections<Index>)
        .method("tableView:numberOfRowsInSection:", &numberOfRows<Index>)
        .method("tableView:titleForHeaderInSection:", &titleForHeader<Index>)
        .method("tableView:cellForRowAtIndexPath:", &cellForRow<Index>)
        .method("tableView:didSelectRowAtIndexPath:", &didSelectRow<Index>)
        .method("defaultTap:", &defaultTap<Index>)
        .registerClass();
}

template <std::size_t Index> Class MenutoneFontController<Index>::objcClass()
{
    static Class cls = makeClass<Index>();
    return cls;
}

[[maybe_unused]] Class registeredTitle = MenutoneFontController<0>::objcClass();
[[maybe_unused]] Class registeredSubtitle = MenutoneFontController<1>::objcClass();

}
