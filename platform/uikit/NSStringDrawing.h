#pragma once

// -[NSString sizeWithAttributes:]: the size of a line of text, measured with
// pango in the font the attributes name (the one attribute honoured here).

#include <string_view>

#include "CGGeometry.h"

class UIFont;

struct NSStringAttributes {
    const UIFont* font { nullptr }; // NSFontAttributeName; none is the system font at 12 points
};

CGSize sizeWithAttributes(std::string_view text, const NSStringAttributes&);

// The pango description of a font (none: the system font at 12 points), for
// the platform's drawing code; the caller frees it.
typedef struct _PangoFontDescription PangoFontDescription;
PangoFontDescription* createPangoFontDescription(const UIFont*);
