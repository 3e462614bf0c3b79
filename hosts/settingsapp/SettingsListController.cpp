#include "SettingsListController.h"

#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>
#include <preferences/PreferenceLoader.h>
#include <uikit/UIGraphics.h>
#include <uikit/UIImage.h>
#include <uikit/UITableView.h>
#include <uikit/UIWindow.h>

namespace {

struct EntryRow {
    std::string name; // the entry plist's, without ".plist"
    std::string label;
    RefPtr<UIImage> icon;
};

// iOS's class for this screen.
class PSUIPrefsListController : public UIViewController {
public:
    static Class objcClass();

    std::vector<EntryRow> m_rows;
    OpenEntry m_openEntry;
};

std::vector<EntryRow> readEntries()
{
    std::vector<EntryRow> rows;
    for (auto& entry : readPreferenceEntries()) {
        auto icon = entry.iconPath();
        rows.push_back({ entry.name, entry.label, icon ? UIImage::imageWithContentsOfFile(*icon) : nullptr });
    }
    return rows;
}

void loadListView(id self, SEL)
{
    auto* screen = static_cast<PSUIPrefsListController*>(self);
    auto table = UITableView::create(UIScreen::mainScreen().applicationFrame(), UITableViewStyle::Grouped);
    table->registerClass(UITableViewCell::objcClass(), "Cell");
    table->setDataSource(screen);
    table->setDelegate(screen);
    screen->setView(table.ptr());
}

long oneSection(id, SEL, id)
{
    return 1;
}

long rowsInSection(id self, SEL, id, long)
{
    return static_cast<long>(static_cast<PSUIPrefsListController*>(self)->m_rows.size());
}

id cellForRow(id self, SEL, id table, id indexPath)
{
    auto* path = objc_dynamicCast<NSIndexPath>(indexPath);
    UITableViewCell* cell = static_cast<UITableView*>(table)->dequeueReusableCellWithIdentifier("Cell", path);
    auto& rows = static_cast<PSUIPrefsListController*>(self)->m_rows;
    if (!path || path->row() < 0 || path->row() >= static_cast<long>(rows.size()))
        return cell;
    auto& row = rows[static_cast<std::size_t>(path->row())];
    cell->textLabel()->setText(row.label);
    cell->imageView()->setImage(row.icon);
    cell->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
    return cell;
}

void didSelectRow(id self, SEL, id table, id indexPath)
{
    auto* path = objc_dynamicCast<NSIndexPath>(indexPath);
    auto* screen = static_cast<PSUIPrefsListController*>(self);
    if (!path)
        return;
    static_cast<UITableView*>(table)->deselectRowAtIndexPath(path, true);
    if (path->row() >= 0 && path->row() < static_cast<long>(screen->m_rows.size()) && screen->m_openEntry)
        screen->m_openEntry(screen->m_rows[static_cast<std::size_t>(path->row())].name);
}

Class PSUIPrefsListController::objcClass()
{
    static Class cls = ClassBuilder<PSUIPrefsListController>("PSUIPrefsListController", UIViewController::objcClass())
                           .method("loadView", &loadListView)
                           .method("numberOfSectionsInTableView:", &oneSection)
                           .method("tableView:numberOfRowsInSection:", &rowsInSection)
                           .method("tableView:cellForRowAtIndexPath:", &cellForRow)
                           .method("tableView:didSelectRowAtIndexPath:", &didSelectRow)
                           .registerClass();
    return cls;
}

[[maybe_unused]] Class registered = PSUIPrefsListController::objcClass();

}

Ref<UIViewController> makeSettingsListController(OpenEntry openEntry)
{
    auto controller = UIViewController::allocInit(PSUIPrefsListController::objcClass());
    OBJC_ASSERT(controller, "the Settings list controller is made");
    auto* screen = static_cast<PSUIPrefsListController*>(controller.get());
    screen->setTitle("Settings");
    screen->m_rows = readEntries();
    screen->m_openEntry = std::move(openEntry);
    return controller.releaseNonNull();
}
