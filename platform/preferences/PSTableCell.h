#pragma once

// The Preferences framework's row cells. Subclasses named by a specifier's
// "cellClass" are made through the runtime with
// "initWithStyle:reuseIdentifier:specifier:".

#include <uikit/UIControl.h>
#include <uikit/UITableView.h>

#include "PSSpecifier.h"

class PSTableCell : public UITableViewCell {
public:
    PSTableCell() = default;
    static Class objcClass();

    PSSpecifier* specifier() const { return m_specifier.get(); }

    // PSTableCell's own initialiser, for subclasses to call first.
    static id initWithStyle(id, SEL, long style, const std::string& reuseIdentifier, id specifier);

    // A button row's title is in the tint colour, as it is whenever drawn,
    // unless the cell chose a colour of its own.
    void drawContent(cairo_t*) override;

private:
    RefPtr<PSSpecifier> m_specifier;
    RefPtr<UIColor> m_buttonTitleColor;
};

class PSSwitchTableCell : public PSTableCell {
public:
    PSSwitchTableCell() = default;
    static Class objcClass();

    UISwitch* control() const { return m_control.get(); }

private:
    static id initSwitchCell(id, SEL, long style, const std::string& reuseIdentifier, id specifier);
    static void controlChanged(id, SEL, id control);

    RefPtr<UISwitch> m_control;
};

using PSCellInitializer = id(long, const std::string&, id);
inline constexpr const char* cellInitializerSelector = "initWithStyle:reuseIdentifier:specifier:";
