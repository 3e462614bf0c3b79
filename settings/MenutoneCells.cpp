// The root screen's cells: their icons become templates, so that they take
// the settings tint through the view hierarchy.

#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>
#include <preferences/PSTableCell.h>

#include "ScreenConventions.h"

namespace {

class RespringCell : public PSTableCell {
public:
    static Class objcClass();
};

class TintedCell : public PSTableCell {
public:
    static Class objcClass();
};

class KillswitchCell : public PSSwitchTableCell {
public:
    static Class objcClass();
};

// The superclass's layout first; the rest only when the cell has a tint.
bool layOutAsSuperclass(Class cls, id self, SEL op)
{
    objc_msgSendSuper<void()>(cls, self, op);
    static SEL tintColor = sel_registerName("tintColor");
    return self->respondsToSelector(tintColor);
}

void makeImageTemplate(PSTableCell& cell)
{
    if (auto* image = cell.imageView()->image())
        cell.imageView()->setImage(image->imageWithRenderingMode(UIImageRenderingMode::AlwaysTemplate).ptr());
}

void layoutRespringCell(id self, SEL op)
{
    if (!layOutAsSuperclass(RespringCell::objcClass(), self, op))
        return;
    auto* cell = static_cast<RespringCell*>(self);
    makeImageTemplate(*cell);
    cell->setAccessoryType(UITableViewCellAccessoryType::None);
}

void layoutTintedCell(id self, SEL op)
{
    if (layOutAsSuperclass(TintedCell::objcClass(), self, op))
        makeImageTemplate(*static_cast<TintedCell*>(self));
}

void layoutKillswitchCell(id self, SEL op)
{
    if (layOutAsSuperclass(KillswitchCell::objcClass(), self, op))
        static_cast<KillswitchCell*>(self)->imageView()->setImage(bundleImage("killswitch.png", Rendering::Template));
}

Class RespringCell::objcClass()
{
    static Class cls = ClassBuilder<RespringCell>("RespringCell", PSTableCell::objcClass()).method("layoutSubviews", &layoutRespringCell).registerClass();
    return cls;
}

Class TintedCell::objcClass()
{
    static Class cls = ClassBuilder<TintedCell>("TintedCell", PSTableCell::objcClass()).method("layoutSubviews", &layoutTintedCell).registerClass();
    return cls;
}

Class KillswitchCell::objcClass()
{
    static Class cls
        = ClassBuilder<KillswitchCell>("KillswitchCell", PSSwitchTableCell::objcClass()).method("layoutSubviews", &layoutKillswitchCell).registerClass();
    return cls;
}

[[maybe_unused]] Class registeredRespringCell = RespringCell::objcClass();
[[maybe_unused]] Class registeredTintedCell = TintedCell::objcClass();
[[maybe_unused]] Class registeredKillswitchCell = KillswitchCell::objcClass();

}
