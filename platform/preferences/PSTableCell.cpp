#include "PSTableCell.h"

#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>

#include "PSListController.h"

Class PSTableCell::objcClass()
{
    static Class cls
        = ClassBuilder<PSTableCell>("PSTableCell", UITableViewCell::objcClass()).method(cellInitializerSelector, &PSTableCell::initWithStyle).registerClass();
    return cls;
}

Class PSSwitchTableCell::objcClass()
{
    static Class cls = ClassBuilder<PSSwitchTableCell>("PSSwitchTableCell", PSTableCell::objcClass())
                           .method(cellInitializerSelector, &PSSwitchTableCell::initSwitchCell)
                           .method("controlChanged:", &PSSwitchTableCell::controlChanged)
                           .registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredPSTableCell = PSTableCell::objcClass();
[[maybe_unused]] static Class registeredPSSwitchTableCell = PSSwitchTableCell::objcClass();

id PSTableCell::initWithStyle(id self, SEL, long style, const std::string& reuseIdentifier, id specifier)
{
    static SEL cellInit = sel_registerName("initWithStyle:reuseIdentifier:");
    if (!objc_msgSendSuper<id(long, const std::string&)>(PSTableCell::objcClass(), self, cellInit, style, reuseIdentifier))
        return nullptr;
    auto* cell = static_cast<PSTableCell*>(self);
    cell->m_specifier = objc_dynamicCast<PSSpecifier>(specifier);
    if (cell->m_specifier)
        cell->textLabel()->setText(cell->m_specifier->name());
    return self;
}

void PSTableCell::drawContent(cairo_t* cr)
{
    if (m_specifier && m_specifier->cellType() == PSCellType::ButtonCell) {
        UIColor* current = textLabel()->textColor();
        if (!current || current == m_buttonTitleColor.get()) {
            m_buttonTitleColor = tintColor() ? tintColor() : UIColor::colorWithRed(0, 122 / 255.0, 1, 1).ptr();
            textLabel()->setTextColor(m_buttonTitleColor);
        }
    }
    UITableViewCell::drawContent(cr);
}

id PSSwitchTableCell::initSwitchCell(id self, SEL op, long style, const std::string& reuseIdentifier, id specifier)
{
    if (!objc_msgSendSuper<PSCellInitializer>(PSSwitchTableCell::objcClass(), self, op, style, reuseIdentifier, specifier))
        return nullptr;
    auto* cell = static_cast<PSSwitchTableCell*>(self);
    auto control = UISwitch::create(CGRectMake(0, 0, 51, 31));
    static SEL changed = sel_registerName("controlChanged:");
    control->addTarget(self, changed, UIControlEventValueChanged);
    cell->m_control = control.ptr();
    cell->setAccessoryView(control.ptr());
    return self;
}

void PSSwitchTableCell::controlChanged(id self, SEL, id control)
{
    auto* cell = static_cast<PSSwitchTableCell*>(self);
    auto* toggle = objc_dynamicCast<UISwitch>(control);
    PSSpecifier* specifier = cell->specifier();
    if (!toggle || !specifier)
        return;
    static SEL setValue = sel_registerName("setPreferenceValue:specifier:");
    objc_msgSend<void(std::optional<PropertyListValue>, id)>(
        specifier->target(), setValue, PropertyListValue::boolean(toggle->isOn()), static_cast<id>(specifier));
}
