#include "PaletteIndexText.h"

#include <store/PaletteIndex.h>

#include "ColorDescription.h"

namespace {

// The label of an index the screens list; none for any other.
const char* labelOf(std::int64_t index)
{
    return index >= 0 && index < static_cast<std::int64_t>(kColorNames.size()) ? kColorNames[static_cast<std::size_t>(index)] : nullptr;
}

}

std::string paletteIndexLine(std::int64_t index, SwatchDepth swatches)
{
    // 0 gives the system colour the caller passes; here, black.
    auto color = colorInt(index, UIColor::blackColor().ptr());
    const char* label = labelOf(index);
    return std::to_string(index) + "  " + (label ? label : "(no label)") + "  " + colorDescription(color.get(), swatches);
}

std::string paletteIndexJSON(std::int64_t index)
{
    auto color = colorInt(index, UIColor::blackColor().ptr());
    const char* label = labelOf(index);
    return jsonText({ { "index", index }, { "label", label ? JSON(label) : JSON() }, { "color", namedColorJSON(color.get()) } });
}
