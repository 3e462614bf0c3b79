#pragma once

// -[NSString sizeWithAttributes:]: the size of a line of text, measured by
// the text engine (TextLayout.h) in the font the attributes name (the one
// attribute honoured here); and the drawing of text in a rectangle, which
// labels use.

#include <string_view>

#include "CGGeometry.h"

class UIColor;
class UIFont;
typedef struct _cairo cairo_t;

enum class NSTextAlignment : long { Left = 0, Center = 1, Right = 2, Justified = 3, Natural = 4 };
enum class NSLineBreakMode : long { ByWordWrapping = 0, ByTruncatingTail = 4 };

struct NSStringAttributes {
    const UIFont* font { nullptr }; // NSFontAttributeName; none is the system font at 12 points
};

CGSize sizeWithAttributes(std::string_view text, const NSStringAttributes&);
// The size of the text wrapped at words to the width.
CGSize sizeWithAttributes(std::string_view text, const NSStringAttributes&, CGFloat wrapWidth);

// Draws the text in the rectangle, in the colour (none: black), centred
// vertically in it: one line cut with an ellipsis, or lines wrapped at words.
void drawTextInRect(cairo_t*, std::string_view text, CGRect, const NSStringAttributes&, const UIColor*, NSTextAlignment, NSLineBreakMode);
