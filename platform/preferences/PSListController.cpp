#include "PSListController.h"

#include <corefoundation/CFNotificationCenter.h>
#include <foundation/NSDictionary.h>
#include <foundation/PreferencesWriteLock.h>
#include <foundation/PropertyListSerialization.h>
#include <objc/AutoreleasePool.h>
#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>
#include <uikit/UIGraphics.h>

#include "PSTableCell.h"

Class PSListController::objcClass()
{
    static Class cls = ClassBuilder<PSListController>("PSListController", PSViewController::objcClass())
                           .method("specifiers", &PSListController::specifiersImplementation)
                           .method("loadView", &PSListController::loadView)
                           .method("readPreferenceValue:", &PSListController::readPreferenceValue)
                           .method("setPreferenceValue:specifier:", &PSListController::setPreferenceValue)
                           .method("numberOfSectionsInTableView:", &PSListController::numberOfSections)
                           .method("tableView:numberOfRowsInSection:", &PSListController::numberOfRows)
                           .method("tableView:cellForRowAtIndexPath:", &PSListController::cellForRow)
                           .method("tableView:titleForHeaderInSection:", &PSListController::titleForHeader)
                           .method("tableView:titleForFooterInSection:", &PSListController::titleForFooter)
                           .method("tableView:shouldHighlightRowAtIndexPath:", &PSListController::shouldHighlight)
                           .method("tableView:didSelectRowAtIndexPath:", &PSListController::didSelectRow)
                           .ivar<&PSListController::m_specifiers>("_specifiers")
                           .registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredPSListController = PSListController::objcClass();

namespace {

std::string domainPath(const PSSpecifier& specifier)
{
    std::string domain = specifier.stringProperty("defaults");
    if (domain.empty() || domain.find('/') != std::string::npos)
        return {};
    return "/var/mobile/Library/Preferences/" + domain + ".plist";
}

}

PSSpecifierArray PSListController::specifiers()
{
    static SEL selector = sel_registerName("specifiers");
    return objc_msgSend<PSSpecifierArray()>(this, selector);
}

PSSpecifierArray PSListController::specifiersImplementation(id self, SEL)
{
    return static_cast<PSListController*>(self)->m_specifiers;
}

PSSpecifierArray PSListController::loadSpecifiersFromPlistName(const std::string& name, id target)
{
    if (name.empty() || name.find('/') != std::string::npos)
        return {};
    auto plist = NSDictionary::dictionaryWithContentsOfFile(bundlePath() + "/" + name + ".plist");
    if (!plist)
        return {};
    if (auto* title = plist->objectForKey("title"); title && title->asString())
        setTitle(*title->asString());
    PSSpecifierArray loaded;
    auto* items = plist->objectForKey("items");
    if (!items || !items->asArray())
        return {};
    for (auto& item : *items->asArray()) {
        if (auto specifier = PSSpecifier::specifierWithPlistItem(item, target))
            loaded.push_back(*specifier);
    }
    return loaded;
}

UITableView* PSListController::table()
{
    return objc_dynamicCast<UITableView>(view());
}

void PSListController::rebuildGroups()
{
    std::vector<Group> built;
    for (auto& specifier : specifiers()) {
        if (specifier->cellType() == PSCellType::Group) {
            built.push_back({ specifier.ptr(), {} });
            continue;
        }
        if (built.empty())
            built.push_back({});
        built.back().rows.push_back(specifier);
    }
    m_groups = std::move(built);
}

const std::vector<PSListController::Group>& PSListController::groups()
{
    if (!m_groups)
        rebuildGroups();
    return *m_groups;
}

PSSpecifier* PSListController::specifierAt(long section, long row)
{
    auto& all = groups();
    if (section < 0 || section >= static_cast<long>(all.size()))
        return nullptr;
    auto& rows = all[static_cast<std::size_t>(section)].rows;
    if (row < 0 || row >= static_cast<long>(rows.size()))
        return nullptr;
    return rows[static_cast<std::size_t>(row)].ptr();
}

void PSListController::reloadSpecifiers()
{
    Ref<PSListController> protectedThis(*this);
    m_groups.reset();
    if (auto* tableView = table())
        tableView->reloadData();
}

void PSListController::loadView(id self, SEL)
{
    auto* controller = static_cast<PSListController*>(self);
    auto table = UITableView::create(UIScreen::mainScreen().applicationFrame(), UITableViewStyle::Grouped);
    table->setDataSource(self);
    table->setDelegate(self);
    controller->setView(table.ptr());
}

std::optional<PropertyListValue> PSListController::readPreferenceValue(id, SEL, id specifierObject)
{
    auto* specifier = objc_dynamicCast<PSSpecifier>(specifierObject);
    if (!specifier)
        return std::nullopt;
    std::string path = domainPath(*specifier);
    auto stored = path.empty() ? std::nullopt : NSDictionary::dictionaryWithContentsOfFile(path);
    if (stored) {
        if (auto* value = stored->objectForKey(specifier->stringProperty("key")))
            return *value;
    }
    if (auto* fallback = specifier->propertyForKey("default"))
        return *fallback;
    return std::nullopt;
}

void PSListController::setPreferenceValue(id, SEL, std::optional<PropertyListValue> value, id specifierObject)
{
    auto* specifier = objc_dynamicCast<PSSpecifier>(specifierObject);
    if (!specifier)
        return;
    std::string path = domainPath(*specifier);
    if (!path.empty()) {
        PreferencesWriteLock lock;
        NSMutableDictionary stored = NSMutableDictionary::dictionaryWithContentsOfFile(path).value_or(NSMutableDictionary());
        if (value)
            stored.setObject(*value, specifier->stringProperty("key"));
        else
            stored.removeObjectForKey(specifier->stringProperty("key"));
        stored.writeToFile(path, Atomically::Yes);
    }
    if (auto name = specifier->stringProperty("PostNotification"); !name.empty())
        CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), CFStringMakeConstantString(name.c_str()), nullptr, nullptr, true);
}

long PSListController::numberOfSections(id self, SEL, id)
{
    return static_cast<long>(static_cast<PSListController*>(self)->groups().size());
}

long PSListController::numberOfRows(id self, SEL, id, long section)
{
    auto& all = static_cast<PSListController*>(self)->groups();
    if (section < 0 || section >= static_cast<long>(all.size()))
        return 0;
    return static_cast<long>(all[static_cast<std::size_t>(section)].rows.size());
}

id PSListController::cellForRow(id self, SEL, id, id indexPath)
{
    auto* controller = static_cast<PSListController*>(self);
    auto* path = objc_dynamicCast<NSIndexPath>(indexPath);
    PSSpecifier* specifier = path ? controller->specifierAt(path->section(), path->row()) : nullptr;
    if (!specifier)
        return nullptr;

    Class cellClass = specifier->cellClass();
    Class standard = specifier->cellType() == PSCellType::SwitchCell ? PSSwitchTableCell::objcClass() : PSTableCell::objcClass();
    if (!cellClass || !class_isSubclassOf(cellClass, PSTableCell::objcClass()))
        cellClass = standard;
    RefPtr<NSObject> instance = class_createInstance(cellClass);
    static SEL initializer = sel_registerName(cellInitializerSelector);
    RefPtr<PSTableCell> cell = objc_dynamicCast<PSTableCell>(objc_msgSend<PSCellInitializer>(instance.get(), initializer,
        static_cast<long>(UITableViewCellStyle::Default), std::string(specifier->stringProperty("cell")), static_cast<id>(specifier)));
    if (!cell)
        return nullptr;

    if (auto icon = specifier->stringProperty("icon"); !icon.empty() && icon.find('/') == std::string::npos)
        cell->imageView()->setImage(UIImage::imageWithContentsOfFile(controller->bundlePath() + "/" + icon));
    switch (specifier->cellType()) {
    case PSCellType::LinkCell:
    case PSCellType::LinkListCell:
        cell->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
        break;
    case PSCellType::SwitchCell:
        if (auto* toggle = objc_dynamicCast<PSSwitchTableCell>(cell.get())) {
            static SEL read = sel_registerName("readPreferenceValue:");
            auto value = objc_msgSend<ReadPreferenceValue>(controller, read, static_cast<id>(specifier));
            toggle->control()->setOn(value && value->boolValue().value_or(false));
        }
        break;
    default:
        break;
    }
    return objc_autorelease(cell.get());
}

std::optional<std::string> PSListController::titleForHeader(id self, SEL, id, long section)
{
    auto& all = static_cast<PSListController*>(self)->groups();
    if (section < 0 || section >= static_cast<long>(all.size()) || !all[static_cast<std::size_t>(section)].header)
        return std::nullopt;
    auto label = all[static_cast<std::size_t>(section)].header->name();
    return label.empty() ? std::nullopt : std::optional(label);
}

std::optional<std::string> PSListController::titleForFooter(id self, SEL, id, long section)
{
    auto& all = static_cast<PSListController*>(self)->groups();
    if (section < 0 || section >= static_cast<long>(all.size()) || !all[static_cast<std::size_t>(section)].header)
        return std::nullopt;
    auto footer = all[static_cast<std::size_t>(section)].header->stringProperty("footerText");
    return footer.empty() ? std::nullopt : std::optional(footer);
}

bool PSListController::shouldHighlight(id self, SEL, id, id indexPath)
{
    auto* path = objc_dynamicCast<NSIndexPath>(indexPath);
    PSSpecifier* specifier = path ? static_cast<PSListController*>(self)->specifierAt(path->section(), path->row()) : nullptr;
    return specifier
        && (specifier->cellType() == PSCellType::LinkCell || specifier->cellType() == PSCellType::LinkListCell
            || specifier->cellType() == PSCellType::ButtonCell);
}

void PSListController::didSelectRow(id self, SEL, id table, id indexPath)
{
    auto* controller = static_cast<PSListController*>(self);
    auto* path = objc_dynamicCast<NSIndexPath>(indexPath);
    RefPtr<PSSpecifier> specifier = path ? controller->specifierAt(path->section(), path->row()) : nullptr;
    if (auto* tableView = objc_dynamicCast<UITableView>(table))
        tableView->deselectRowAtIndexPath(path, true);
    if (!specifier)
        return;
    if (specifier->cellType() == PSCellType::ButtonCell && specifier->buttonAction()) {
        objc_msgSend<void(id)>(specifier->target(), specifier->buttonAction(), static_cast<id>(specifier.get()));
        return;
    }
    if (specifier->cellType() == PSCellType::LinkCell || specifier->cellType() == PSCellType::LinkListCell) {
        // A link to a class no loaded bundle defines leads nowhere, as on the device.
        auto detail = UIViewController::allocInit(specifier->detailControllerClass());
        if (auto* pushed = objc_dynamicCast<PSViewController>(detail.get())) {
            pushed->setSpecifier(specifier);
            controller->pushController(*pushed);
        }
    }
}
