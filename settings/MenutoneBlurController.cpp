// The blur style picker: ten styles, a checkmark on the chosen one. The
// chosen style is remembered for as long as the bundle stays loaded.

#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>
#include <preferences/PSViewController.h>

#include "BlurStyles.h"
#include "ScreenConventions.h"

namespace {

class MenutoneBlurController : public PSViewController {
public:
    static Class objcClass();

    std::vector<std::string> m_blurNames;
};

// The screen's memory of the stored style; 0 means "read the file".
std::int64_t shortcutBlurStyle = 0;

id init(id self, SEL op)
{
    self = objc_msgSendSuper<id()>(MenutoneBlurController::objcClass(), self, op);
    if (!self)
        return self;
    auto* screen = static_cast<MenutoneBlurController*>(self);
    screen->setTitle("Blur");
    setTitleImage(*screen, "blur.png", Rendering::Template);
    screen->m_blurNames.assign(kBlurStyleNames.begin(), kBlurStyleNames.end());
    return self;
}

void viewDidLoad(id self, SEL op)
{
    objc_msgSendSuper<void()>(MenutoneBlurController::objcClass(), self, op);
    ownTable(*static_cast<MenutoneBlurController*>(self))->registerClass(UITableViewCell::objcClass(), "Cell");
    if (shortcutBlurStyle == 0) {
        shortcutBlurStyle = MenutoneSettings::stored().shortcutBlurStyle;
    }
}

long oneSection(id, SEL, id)
{
    return 1;
}

long styleRows(id, SEL, id, long)
{
    return static_cast<long>(kBlurStyleNames.size());
}

std::optional<std::string> titleForHeader(id, SEL, id, long)
{
    return "Blur";
}

id cellForRow(id self, SEL, id table, id indexPath)
{
    auto* path = objc_dynamicCast<NSIndexPath>(indexPath);
    UITableViewCell* cell = static_cast<UITableView*>(table)->dequeueReusableCellWithIdentifier("Cell", path);
    auto& names = static_cast<MenutoneBlurController*>(self)->m_blurNames;
    long row = path ? path->row() : -1;
    if (row >= 0 && row < static_cast<long>(names.size()))
        cell->textLabel()->setText(names[static_cast<std::size_t>(row)]);
    cell->setAccessoryType(row == shortcutBlurStyle ? UITableViewCellAccessoryType::Checkmark : UITableViewCellAccessoryType::None);
    return cell;
}

void didSelectRow(id, SEL, id table, id indexPath)
{
    auto* path = objc_dynamicCast<NSIndexPath>(indexPath);
    if (!path)
        return;
    auto* tableView = static_cast<UITableView*>(table);
    tableView->deselectRowAtIndexPath(path, true);
    long row = path->row();
    auto settings = SettingsStore::change(MenutoneKey::shortcutBlurStyle, PropertyListValue::integer(row));
    shortcutBlurStyle = MenutoneSettings::read(&settings).shortcutBlurStyle;
    tableView->reloadSections({ 0 }, UITableViewRowAnimation::Automatic);
}

// Outside the class, so that these names find this file's functions rather than the superclass's.
Class makeClass()
{
    return ClassBuilder<MenutoneBlurController>("MenutoneBlurController", PSViewController::objcClass())
        .method("init", &init)
        .method("loadView", &loadOwnTableView<MenutoneBlurController>)
        .method("viewDidLoad", &viewDidLoad)
        .method("viewWillAppear:", &viewWillAppearTinting<MenutoneBlurController>)
        .method("numberOfSectionsInTableView:", &oneSection)
        .method("tableView:numberOfRowsInSection:", &styleRows)
        .method("tableView:titleForHeaderInSection:", &titleForHeader)
        .method("tableView:titleAlignmentForHeaderInSection:", &centredTitleAlignment)
        .method("tableView:titleAlignmentForFooterInSection:", &centredTitleAlignment)
        .method("tableView:heightForRowAtIndexPath:", &standardRowHeight)
        .method("tableView:estimatedHeightForRowAtIndexPath:", &standardRowHeight)
        .method("tableView:cellForRowAtIndexPath:", &cellForRow)
        .method("tableView:didSelectRowAtIndexPath:", &didSelectRow)
        .ivar<&MenutoneBlurController::m_blurNames>("_blurNames")
        .registerClass();
}

Class MenutoneBlurController::objcClass()
{
    static Class cls = makeClass();
    return cls;
}

[[maybe_unused]] Class registered = MenutoneBlurController::objcClass();

}
