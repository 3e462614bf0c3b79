// Every styling option of the menu in one table: three switches stored here,
// and rows showing the current choice that open the pickers. Rows the
// switches make meaningless are dimmed and take no touches.

#include <array>

#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>
#include <preferences/PSViewController.h>
#include <store/PaletteIndex.h>
#include <uikit/NSStringDrawing.h>
#include <uikit/UIAppearance.h>
#include <uikit/UIControl.h>
#include <uikit/UIFont.h>

#include "BlurStyles.h"
#include "ScreenConventions.h"

namespace {

class MenutoneConfigurationController : public PSViewController {
public:
    static Class objcClass();
};

// This screen's copy of the store and the values read from it, shared by all its instances.
std::optional<NSMutableDictionary> prefs;
MenutoneSettings settings;

enum class Accessory { Switch, Swatch, Label };

struct Row {
    const char* title;
    const char* icon;
    Accessory accessory;
    const char* picker; // the controller class a tap pushes; none for switches
};

constexpr std::array<std::array<Row, 3>, 5> rows { {
    { { { "Use preset", "preset.png", Accessory::Switch, nullptr },
        { "Preset color", "presetColor.png", Accessory::Swatch, "MenutoneColorPresetsController" } } },
    { { { "Title color", "color.png", Accessory::Swatch, "MenutoneTitleColorController" },
        { "Title font", "font.png", Accessory::Label, "MenutoneTitleFontController" } } },
    { { { "Subtitle color", "color.png", Accessory::Swatch, "MenutoneSubtitleColorController" },
        { "Subtitle font", "font.png", Accessory::Label, "MenutoneSubtitleFontController" } } },
    { { { "Icon color", "iconColor.png", Accessory::Swatch, "MenutoneIconColorController" }, { "Border", "border.png", Accessory::Switch, nullptr },
        { "Border color", "borderColor.png", Accessory::Swatch, "MenutoneBorderColorController" } } },
    { { { "Background color", "bgColor.png", Accessory::Swatch, "MenutoneBackgroundColorController" },
        { "Hide blur", "hideBlur.png", Accessory::Switch, nullptr }, { "Blur", "blur.png", Accessory::Label, "MenutoneBlurController" } } },
} };
constexpr std::array<long, 5> rowCounts { 2, 2, 2, 3, 3 };

constexpr std::array<const char*, 5> footers { "Choose either to use preset or custom colors.", "Choose shortcut title color and font.",
    "Choose shortcut subtitle color and font.", "Choose shortcut icon color, add border, and set border color.", "Customize shortcut background appearance." };

const Row* rowAt(long section, long row)
{
    if (section < 0 || section >= static_cast<long>(rows.size()) || row < 0 || row >= rowCounts[static_cast<std::size_t>(section)])
        return nullptr;
    return &rows[static_cast<std::size_t>(section)][static_cast<std::size_t>(row)];
}

void loadSettings()
{
    if (NSFileManager::defaultManager().fileExistsAtPath(kMenutoneSettingsPath))
        prefs = NSMutableDictionary::dictionaryWithContentsOfFile(kMenutoneSettingsPath);
    else
        prefs = NSMutableDictionary();
    settings = MenutoneSettings::read(prefs ? &*prefs : nullptr);
}

// The colour the "Preset color" row shows: the stored icon preset colour,
// the one derived from the base colour itself, else black.
RefPtr<UIColor> presetSwatchColor()
{
    if (settings.shortcutIconPresetColor)
        return settings.shortcutIconPresetColor;
    return UIColor::blackColor().ptr();
}

Ref<UIView> valueLabel(const std::string& text)
{
    auto label = UILabel::create(CGRectMake(0, 0, 0, 44));
    auto font = UIFont::systemFontOfSize(17);
    label->setFont(font.ptr());
    label->setText(text);
    label->setTextColor(UIColor::lightGrayColor());
    label->setFrame(CGRectMake(0, 0, sizeWithAttributes(text, { font.ptr() }).width, 44));
    return label;
}

Ref<UIView> newSwitch(id target, bool isOn)
{
    auto toggle = UISwitch::create(CGRectMake(0, 0, 51, 31));
    toggle->setOn(isOn);
    static SEL switchChanged = sel_registerName("switchChanged:");
    toggle->addTarget(target, switchChanged, UIControlEventValueChanged);
    return toggle;
}

Ref<UIView> swatch(std::int64_t paletteIndex)
{
    return swatchView(colorInt(paletteIndex, UIColor::blackColor().ptr()));
}

struct BuiltAccessory {
    Ref<UIView> view;
    bool isEnabled;
};

BuiltAccessory accessoryAt(id self, long section, long row)
{
    switch (section * 10 + row) {
    case 0:
        return { newSwitch(self, settings.isShortcutPreset), true };
    case 1:
        return { swatchView(presetSwatchColor()), settings.isShortcutPreset };
    case 10:
        return { swatch(settings.shortcutTitleColor), !settings.isShortcutPreset };
    case 11:
        return { valueLabel(settings.shortcutTitleFont.value_or("")), true };
    case 20:
        return { swatch(settings.shortcutSubtitleColor), !settings.isShortcutPreset };
    case 21:
        return { valueLabel(settings.shortcutSubtitleFont.value_or("")), true };
    case 30:
        return { swatch(settings.shortcutIconColor), !settings.isShortcutPreset };
    case 31:
        return { newSwitch(self, settings.isShortcutBorder), true };
    case 32:
        return { swatch(settings.shortcutBorderColor), settings.isShortcutBorder && !settings.isShortcutPreset };
    case 40:
        return { swatch(settings.shortcutBackgroundColor), !settings.isShortcutPreset };
    case 41:
        return { newSwitch(self, settings.isHideShortcutBlur), true };
    default:
        return { valueLabel(blurStyleName(settings.shortcutBlurStyle)), !settings.isHideShortcutBlur };
    }
}

id init(id self, SEL op)
{
    self = objc_msgSendSuper<id()>(MenutoneConfigurationController::objcClass(), self, op);
    if (!self)
        return self;
    auto* controller = static_cast<MenutoneConfigurationController*>(self);
    controller->setTitle("Configuration");
    controller->view()->setTintColor(settingsTint());
    auto* own = controller->navigationController();
    if (auto* holder = own ? own->navigationController() : nullptr)
        holder->navigationBar()->setTintColor(settingsTint());
    UIAppearance::appearanceWhenContainedIn(UISwitch::objcClass(), MenutoneConfigurationController::objcClass())
        .setOnTintColor(controller->view()->tintColor());
    setTitleImage(*controller, "configuration.png", Rendering::Template);
    return self;
}

void viewDidLoad(id self, SEL op)
{
    objc_msgSendSuper<void()>(MenutoneConfigurationController::objcClass(), self, op);
    ownTable(*static_cast<MenutoneConfigurationController*>(self))->registerClass(UITableViewCell::objcClass(), "Cell");
    loadSettings();
}

void viewWillAppear(id self, SEL op, bool animated)
{
    objc_msgSendSuper<void(bool)>(MenutoneConfigurationController::objcClass(), self, op, animated);
    loadSettings();
    tintAfterDelay(*static_cast<MenutoneConfigurationController*>(self), kTintDelayNs);
}

void viewDidAppear(id self, SEL op, bool animated)
{
    objc_msgSendSuper<void(bool)>(MenutoneConfigurationController::objcClass(), self, op, animated);
    ownTable(*static_cast<MenutoneConfigurationController*>(self))->reloadData();
}

void didReceiveMemoryWarning(id self, SEL op)
{
    objc_msgSendSuper<void()>(MenutoneConfigurationController::objcClass(), self, op);
}

long numberOfSections(id, SEL, id)
{
    return 5;
}

long numberOfRows(id, SEL, id, long section)
{
    return section >= 0 && section < static_cast<long>(rowCounts.size()) ? rowCounts[static_cast<std::size_t>(section)] : 1;
}

std::optional<std::string> titleForHeader(id, SEL, id, long section)
{
    return section == 0 ? std::optional<std::string>("Configuration") : std::nullopt;
}

std::optional<std::string> titleForFooter(id, SEL, id, long section)
{
    if (section < 0 || section >= static_cast<long>(footers.size()))
        return std::nullopt;
    return footers[static_cast<std::size_t>(section)];
}

id cellForRow(id self, SEL, id table, id indexPath)
{
    auto* path = objc_dynamicCast<NSIndexPath>(indexPath);
    UITableViewCell* cell = static_cast<UITableView*>(table)->dequeueReusableCellWithIdentifier("Cell", path);
    const Row* row = path ? rowAt(path->section(), path->row()) : nullptr;
    if (!row)
        return cell;
    cell->textLabel()->setText(row->title);
    cell->imageView()->setImage(bundleImage(row->icon, Rendering::Template));
    auto accessory = accessoryAt(self, path->section(), path->row());
    if (accessory.isEnabled) {
        cell->setAccessoryView(accessory.view.ptr());
        cell->contentView()->setAlpha(1.0);
        cell->setUserInteractionEnabled(true);
    } else {
        cell->setAccessoryView(nullptr);
        cell->contentView()->setAlpha(0.2);
        cell->setUserInteractionEnabled(false);
    }
    if (auto* view = cell->accessoryView())
        view->setTag(path->section());
    return cell;
}

bool shouldHighlight(id, SEL, id table, id indexPath)
{
    auto* cell = static_cast<UITableView*>(table)->cellForRowAtIndexPath(objc_dynamicCast<NSIndexPath>(indexPath));
    return !(cell && objc_dynamicCast<UISwitch>(cell->accessoryView()));
}

void didSelectRow(id self, SEL, id table, id indexPath)
{
    auto* path = objc_dynamicCast<NSIndexPath>(indexPath);
    static_cast<UITableView*>(table)->deselectRowAtIndexPath(path, true);
    const Row* row = path ? rowAt(path->section(), path->row()) : nullptr;
    if (!row || !row->picker)
        return;
    auto picker = UIViewController::allocInit(objc_getClass(row->picker));
    if (auto* screen = objc_dynamicCast<PSViewController>(picker.get()))
        static_cast<MenutoneConfigurationController*>(self)->pushController(*screen);
}

void switchChanged(id self, SEL, id sender)
{
    auto* toggle = objc_dynamicCast<UISwitch>(sender);
    if (!toggle)
        return;
    const char* key = nullptr;
    std::vector<std::pair<long, long>> reloaded;
    switch (toggle->tag()) {
    case 0:
        key = MenutoneKey::isShortcutPreset;
        reloaded = { { 1, 0 }, { 0, 1 }, { 0, 2 }, { 0, 3 }, { 2, 3 }, { 0, 4 } };
        break;
    case 3:
        key = MenutoneKey::isShortcutBorder;
        reloaded = { { 2, 3 } };
        break;
    case 4:
        key = MenutoneKey::isHideShortcutBlur;
        reloaded = { { 2, 4 } };
        break;
    default:
        return;
    }
    // The screen's own copy goes back whole: no rereading the file first.
    if (prefs) {
        prefs->setObject(PropertyListValue::boolean(toggle->isOn()), key);
        SettingsStore::replace(*prefs, SettingsStore::AfterWrite::Nothing);
    }
    SettingsStore::postChange();
    loadSettings();
    std::vector<Ref<NSIndexPath>> paths;
    for (auto [row, section] : reloaded)
        paths.push_back(NSIndexPath::indexPathForRow(row, section));
    ownTable(*static_cast<MenutoneConfigurationController*>(self))->reloadRowsAtIndexPaths(paths, UITableViewRowAnimation::Automatic);
}

// Outside the class, so that these names find this file's functions rather than the superclass's.
Class makeClass()
{
    return ClassBuilder<MenutoneConfigurationController>("MenutoneConfigurationController", PSViewController::objcClass())
        .method("init", &init)
        .method("loadView", &loadOwnTableView<MenutoneConfigurationController>)
        .method("viewDidLoad", &viewDidLoad)
        .method("viewWillAppear:", &viewWillAppear)
        .method("viewDidAppear:", &viewDidAppear)
        .method("didReceiveMemoryWarning", &didReceiveMemoryWarning)
        .method("numberOfSectionsInTableView:", &numberOfSections)
        .method("tableView:numberOfRowsInSection:", &numberOfRows)
        .method("tableView:titleForHeaderInSection:", &titleForHeader)
        .method("tableView:titleForFooterInSection:", &titleForFooter)
        .method("tableView:titleAlignmentForHeaderInSection:", &centredTitleAlignment)
        .method("tableView:titleAlignmentForFooterInSection:", &centredTitleAlignment)
        .method("tableView:cellForRowAtIndexPath:", &cellForRow)
        .method("tableView:shouldHighlightRowAtIndexPath:", &shouldHighlight)
        .method("tableView:didSelectRowAtIndexPath:", &didSelectRow)
        .method("switchChanged:", &switchChanged)
        .registerClass();
}

Class MenutoneConfigurationController::objcClass()
{
    static Class cls = makeClass();
    return cls;
}

[[maybe_unused]] Class registered = MenutoneConfigurationController::objcClass();

}
