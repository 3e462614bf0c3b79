// The presets screen: a scheme segment and the 49 palette colours. A base
// colour gives five matching flat colours by the scheme, stored as archived
// colours under the five preset keys for the tweak's preset mode.

#include <array>

#include <foundation/NSKeyedArchiver.h>
#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>
#include <preferences/PSViewController.h>
#include <store/PaletteIndex.h>
#include <tincture/NSArray+Tincture.h>
#include <uikit/UIControl.h>

#include "ScreenConventions.h"

namespace {

class MenutoneColorPresetsController : public PSViewController {
public:
    static Class objcClass();

    std::vector<std::string> m_colorNames;
};

// The derived colours in order, and the keys they go to.
constexpr std::array<const char*, 5> presetKeys { MenutoneKey::shortcutTitlePresetColor, MenutoneKey::shortcutSubtitlePresetColor,
    MenutoneKey::shortcutIconPresetColor, MenutoneKey::shortcutBackgroundPresetColor, MenutoneKey::shortcutBorderPresetColor };

// Segment index to scheme code: the segments read Analogous, Complementary,
// Triadic, the codes are analogous 0, triadic 1, complementary 2. A stored
// index the screen never writes derives an analogous set rather than
// reaching the library's assertion.
tincture::array::ColorScheme schemeForSegment(std::int64_t segment)
{
    switch (segment) {
    case 1:
        return tincture::array::ColorSchemeComplementary;
    case 2:
        return tincture::array::ColorSchemeTriadic;
    default:
        return tincture::array::ColorSchemeAnalogous;
    }
}

// -updateColor:toColor:. Without a colour it shows the stored icon preset
// colour (the one derived from the base colour itself), else black.
void updateColor(id self, SEL, bool isGiven, id color)
{
    RefPtr<UIColor> fill;
    if (isGiven)
        fill = objc_dynamicCast<UIColor>(color);
    else {
        fill = MenutoneSettings::stored().shortcutIconPresetColor;
        if (!fill)
            fill = UIColor::blackColor().ptr();
    }
    static_cast<MenutoneColorPresetsController*>(self)->navigationItem()->setRightBarButtonItem(UIBarButtonItem::initWithCustomView(swatchView(fill)).ptr());
}

id init(id self, SEL op)
{
    self = objc_msgSendSuper<id()>(MenutoneColorPresetsController::objcClass(), self, op);
    if (!self)
        return self;
    auto* screen = static_cast<MenutoneColorPresetsController*>(self);
    screen->setTitle("Color presets");
    setTitleImage(*screen, "presetColor.png", Rendering::Template);
    screen->m_colorNames.assign(kColorNames.begin(), kColorNames.end());
    return self;
}

void viewDidLoad(id self, SEL op)
{
    objc_msgSendSuper<void()>(MenutoneColorPresetsController::objcClass(), self, op);
    ownTable(*static_cast<MenutoneColorPresetsController*>(self))->registerClass(UITableViewCell::objcClass(), "Cell");
    static SEL update = sel_registerName("updateColor:toColor:");
    objc_msgSend<void(bool, id)>(self, update, false, static_cast<id>(nullptr));
}

long twoSections(id, SEL, id)
{
    return 2;
}

long rowsInSection(id, SEL, id, long section)
{
    return section == 1 ? static_cast<long>(kColorNames.size()) : 1;
}

std::optional<std::string> titleForHeader(id, SEL, id, long section)
{
    return section == 0 ? std::optional<std::string>("Color preset") : std::nullopt;
}

bool shouldHighlight(id, SEL, id, id indexPath)
{
    auto* path = objc_dynamicCast<NSIndexPath>(indexPath);
    return path && path->section() != 0;
}

id cellForRow(id self, SEL, id table, id indexPath)
{
    auto* path = objc_dynamicCast<NSIndexPath>(indexPath);
    UITableViewCell* cell = static_cast<UITableView*>(table)->dequeueReusableCellWithIdentifier("Cell", path);
    if (!path)
        return cell;
    if (path->section() == 0) {
        cell->textLabel()->setText("");
        cell->imageView()->setImage(bundleImage("opacity.png", Rendering::Template));
        auto segments = UISegmentedControl::create({ "Analogous", "Complementary", "Triadic" });
        segments->setSelectedSegmentIndex(static_cast<long>(MenutoneSettings::stored().shortcutPresetColorScheme));
        static SEL segmentChanged = sel_registerName("segmentChanged:");
        segments->addTarget(self, segmentChanged, UIControlEventValueChanged);
        cell->setAccessoryView(segments.ptr());
        return cell;
    }
    auto& names = static_cast<MenutoneColorPresetsController*>(self)->m_colorNames;
    long row = path->row();
    if (row >= 0 && row < static_cast<long>(names.size()))
        cell->textLabel()->setText(names[static_cast<std::size_t>(row)]);
    cell->setAccessoryView(swatchView(colorInt(row, UIColor::blackColor().ptr())).ptr());
    return cell;
}

void segmentChanged(id, SEL, id sender)
{
    auto* segments = objc_dynamicCast<UISegmentedControl>(sender);
    if (!segments)
        return;
    SettingsStore::change(MenutoneKey::shortcutPresetColorScheme, PropertyListValue::integer(segments->selectedSegmentIndex()));
}

void didSelectRow(id self, SEL, id table, id indexPath)
{
    auto* path = objc_dynamicCast<NSIndexPath>(indexPath);
    if (!path)
        return;
    static_cast<UITableView*>(table)->deselectRowAtIndexPath(path, true);
    if (path->section() != 1)
        return;
    long row = path->row();
    SettingsStore::change([&](NSMutableDictionary& settings) {
        RefPtr<UIColor> base = colorInt(row, UIColor::blackColor().ptr());
        auto scheme = schemeForSegment(MenutoneSettings::read(&settings).shortcutPresetColorScheme);
        auto colors = tincture::array::arrayOfColorsWithColorScheme(scheme, base.get(), tincture::Flat::Yes);
        for (std::size_t i = 0; i < presetKeys.size() && i < colors.size(); ++i)
            settings.setObject(PropertyListValue::data(NSKeyedArchiver::archivedDataWithRootObject(colors[i].ptr())), presetKeys[i]);
    });
    static SEL update = sel_registerName("updateColor:toColor:");
    RefPtr<UIColor> chosen = colorInt(row, nullptr);
    objc_msgSend<void(bool, id)>(self, update, true, static_cast<id>(chosen.get()));
}

Class makeClass()
{
    return ClassBuilder<MenutoneColorPresetsController>("MenutoneColorPresetsController", PSViewController::objcClass())
        .method("init", &init)
        .method("loadView", &loadOwnTableView<MenutoneColorPresetsController>)
        .method("viewDidLoad", &viewDidLoad)
        .method("viewWillAppear:", &viewWillAppearTinting<MenutoneColorPresetsController>)
        .method("numberOfSectionsInTableView:", &twoSections)
        .method("tableView:numberOfRowsInSection:", &rowsInSection)
        .method("tableView:titleForHeaderInSection:", &titleForHeader)
        .method("tableView:titleAlignmentForHeaderInSection:", &centredTitleAlignment)
        .method("tableView:titleAlignmentForFooterInSection:", &centredTitleAlignment)
        .method("tableView:heightForRowAtIndexPath:", &standardRowHeight)
        .method("tableView:estimatedHeightForRowAtIndexPath:", &standardRowHeight)
        .method("tableView:shouldHighlightRowAtIndexPath:", &shouldHighlight)
        .method("tableView:cellForRowAtIndexPath:", &cellForRow)
        .method("tableView:didSelectRowAtIndexPath:", &didSelectRow)
        .method("segmentChanged:", &segmentChanged)
        .method("updateColor:toColor:", &updateColor)
        .ivar<&MenutoneColorPresetsController::m_colorNames>("_colorNames")
        .registerClass();
}

Class MenutoneColorPresetsController::objcClass()
{
    static Class cls = makeClass();
    return cls;
}

[[maybe_unused]] Class registered = MenutoneColorPresetsController::objcClass();

}
