#include "PSSpecifier.h"

#include <array>
#include <utility>

#include <objc/ClassBuilder.h>

Class PSSpecifier::objcClass()
{
    static Class cls = ClassBuilder<PSSpecifier>("PSSpecifier", NSObject::objcClass()).registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredPSSpecifier = PSSpecifier::objcClass();

namespace {

constexpr std::array<std::pair<const char*, PSCellType>, 10> cellTypeNames { {
    { "PSGroupCell", PSCellType::Group },
    { "PSLinkCell", PSCellType::LinkCell },
    { "PSLinkListCell", PSCellType::LinkListCell },
    { "PSListItemCell", PSCellType::ListItemCell },
    { "PSTitleValueCell", PSCellType::TitleValueCell },
    { "PSSliderCell", PSCellType::SliderCell },
    { "PSSwitchCell", PSCellType::SwitchCell },
    { "PSStaticTextCell", PSCellType::StaticTextCell },
    { "PSEditTextCell", PSCellType::EditTextCell },
    { "PSButtonCell", PSCellType::ButtonCell },
} };

}

RefPtr<PSSpecifier> PSSpecifier::specifierWithPlistItem(const PropertyListValue& item, id target)
{
    auto* entries = item.asDictionary();
    if (!entries)
        return nullptr;
    auto specifier = adoptRef(*new PSSpecifier);
    specifier->m_properties = *entries;
    specifier->m_target = target;
    specifier->m_name = specifier->stringProperty("label");
    std::string cell = specifier->stringProperty("cell");
    bool isKnown = false;
    for (auto& [name, type] : cellTypeNames) {
        if (cell == name) {
            specifier->m_cellType = type;
            isKnown = true;
        }
    }
    if (!isKnown)
        return nullptr;
    if (auto action = specifier->stringProperty("action"); !action.empty())
        specifier->m_action = sel_registerName(action);
    if (auto detail = specifier->stringProperty("detail"); !detail.empty())
        specifier->m_detailControllerClass = objc_getClass(detail.c_str());
    if (auto cellClass = specifier->stringProperty("cellClass"); !cellClass.empty())
        specifier->m_cellClass = objc_getClass(cellClass.c_str());
    return specifier;
}

const PropertyListValue* PSSpecifier::propertyForKey(std::string_view key) const
{
    auto found = m_properties.find(key);
    return found == m_properties.end() ? nullptr : &found->second;
}

std::string PSSpecifier::stringProperty(std::string_view key) const
{
    auto* value = propertyForKey(key);
    return value && value->asString() ? *value->asString() : std::string();
}
