#include "PaletteIndex.h"

#include <tincture/UIColor+Tincture.h>

const std::array<const char*, 49> kColorNames { "Default", "Red", "Orange", "Yellow", "Sand", "Navy Blue", "Black", "Magenta", "Teal", "Sky Blue", "Green",
    "Mint", "White", "Gray", "Forest Green", "Purple", "Brown", "Plum", "Watermelon", "Lime", "Pink", "Maroon", "Coffee", "Powder Blue", "Blue", "Dark Red",
    "Dark Orange", "Dark Yellow", "Dark Sand", "Dark Navy Blue", "Dark Black", "Dark Magenta", "Dark Teal", "Dark Sky Blue", "Dark Green", "Dark Mint",
    "Dark White", "Dark Gray", "Dark Forest Green", "Dark Purple", "Dark Brown", "Dark Plum", "Dark Watermelon", "Dark Lime", "Dark Pink", "Dark Maroon",
    "Dark Coffee", "Dark Powder Blue", "Dark Blue" };

namespace {

using namespace tincture;

using Constructor = Ref<UIColor> (*)();

// Index 31 ("Dark Magenta") is the dark maroon and 34 ("Dark Green") the dark
// forest green, as they have always been; stored choices depend on it.
constexpr std::array<Constructor, 49> constructors { nullptr, flatRedColor, flatOrangeColor, flatYellowColor, flatSandColor, flatNavyBlueColor, flatBlackColor,
    flatMagentaColor, flatTealColor, flatSkyBlueColor, flatGreenColor, flatMintColor, flatWhiteColor, flatGrayColor, flatForestGreenColor, flatPurpleColor,
    flatBrownColor, flatPlumColor, flatWatermelonColor, flatLimeColor, flatPinkColor, flatMaroonColor, flatCoffeeColor, flatPowderBlueColor, flatBlueColor,
    flatRedColorDark, flatOrangeColorDark, flatYellowColorDark, flatSandColorDark, flatNavyBlueColorDark, flatBlackColorDark, flatMaroonColorDark,
    flatTealColorDark, flatSkyBlueColorDark, flatForestGreenColorDark, flatMintColorDark, flatWhiteColorDark, flatGrayColorDark, flatForestGreenColorDark,
    flatPurpleColorDark, flatBrownColorDark, flatPlumColorDark, flatWatermelonColorDark, flatLimeColorDark, flatPinkColorDark, flatMaroonColorDark,
    flatCoffeeColorDark, flatPowderBlueColorDark, flatBlueColorDark };

}

RefPtr<UIColor> colorInt(std::int64_t index, RefPtr<UIColor> systemColor)
{
    RefPtr<UIColor> result;
    if (static_cast<std::uint64_t>(index) <= 48)
        result = index == 0 ? std::move(systemColor) : RefPtr<UIColor>(constructors[static_cast<std::size_t>(index)]());
    return result;
}
