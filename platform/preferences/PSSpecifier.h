#pragma once

// A row of a specifier-driven list: the entries of its specifier plist item,
// its cell type and, for links and buttons, what a tap does.

#include <string>
#include <vector>

#include <foundation/PropertyListValue.h>
#include <objc/NSObject.h>

enum class PSCellType : long {
    Group = 0,
    LinkCell = 1,
    LinkListCell = 2,
    ListItemCell = 3,
    TitleValueCell = 4,
    SliderCell = 5,
    SwitchCell = 6,
    StaticTextCell = 7,
    EditTextCell = 8,
    SegmentCell = 9,
    ButtonCell = 13,
};

class PSSpecifier : public NSObject {
public:
    PSSpecifier() = default;
    static Class objcClass();

    // From one item of a specifier plist; none for an item that is not a
    // dictionary or names no cell type this host knows.
    static RefPtr<PSSpecifier> specifierWithPlistItem(const PropertyListValue&, id target);

    const std::string& name() const { return m_name; }
    PSCellType cellType() const { return m_cellType; }
    // The plist item's entries: "key", "default", "PostNotification", ...
    const PropertyListValue::Dictionary& properties() const { return m_properties; }
    const PropertyListValue* propertyForKey(std::string_view key) const;
    std::string stringProperty(std::string_view key) const;

    id target() const { return m_target; }
    // "action" of a button row.
    SEL buttonAction() const { return m_action; }
    // "detail" of a link row: the controller class to push, by name.
    Class detailControllerClass() const { return m_detailControllerClass; }
    // "cellClass": the cell class to draw the row with, by name.
    Class cellClass() const { return m_cellClass; }

private:
    std::string m_name;
    PSCellType m_cellType { PSCellType::Group };
    PropertyListValue::Dictionary m_properties;
    id m_target { nullptr };
    SEL m_action { nullptr };
    Class m_detailControllerClass { nullptr };
    Class m_cellClass { nullptr };
};

using PSSpecifierArray = std::vector<Ref<PSSpecifier>>;
