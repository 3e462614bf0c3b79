#pragma once

// A specifier-driven list: its rows come from a specifier plist of its
// bundle. The host asks "specifiers" for the rows, "readPreferenceValue:" for
// a value row's value and "setPreferenceValue:specifier:" when the user
// changes it; all three go through the runtime, so subclasses override them.

#include <optional>
#include <string>

#include <uikit/UITableView.h>

#include "PSViewController.h"

class PSListController : public PSViewController {
public:
    PSListController() = default;
    static Class objcClass();

    // Sends "specifiers".
    PSSpecifierArray specifiers();
    // One specifier per item of the bundle's plist NAME.plist, with the
    // target; the plist's "title" becomes the screen's title. Empty for a
    // plist that is missing or malformed.
    PSSpecifierArray loadSpecifiersFromPlistName(const std::string& name, id target);
    // Reads the rows and their values again.
    void reloadSpecifiers();
    UITableView* table();

    // The "_specifiers" instance variable.
    PSSpecifierArray m_specifiers;

    using ReadPreferenceValue = std::optional<PropertyListValue>(id);
    using SetPreferenceValue = void(std::optional<PropertyListValue>, id);

    // The host's own implementations: the value under the row's "key" in the
    // preferences domain its "defaults" names, else its "default"; writing
    // stores it there and posts the row's "PostNotification".
    static std::optional<PropertyListValue> readPreferenceValue(id, SEL, id specifier);
    static void setPreferenceValue(id, SEL, std::optional<PropertyListValue>, id specifier);

private:
    struct Group {
        RefPtr<PSSpecifier> header;
        PSSpecifierArray rows;
    };
    const std::vector<Group>& groups();
    PSSpecifier* specifierAt(long section, long row);
    void rebuildGroups();

    static PSSpecifierArray specifiersImplementation(id, SEL);
    static void loadView(id, SEL);
    static long numberOfSections(id, SEL, id table);
    static long numberOfRows(id, SEL, id table, long section);
    static id cellForRow(id, SEL, id table, id indexPath);
    static std::optional<std::string> titleForHeader(id, SEL, id table, long section);
    static std::optional<std::string> titleForFooter(id, SEL, id table, long section);
    static bool shouldHighlight(id, SEL, id table, id indexPath);
    static void didSelectRow(id, SEL, id table, id indexPath);

    std::optional<std::vector<Group>> m_groups;
};
