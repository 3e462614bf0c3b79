#pragma once

// The platform's text engine: pango under cairo. It is a library of its own,
// loaded by UIKit the first time text is measured or drawn, so that programs
// that draw no text (the colour command) do not load pango and the twenty
// libraries under it.

#include <string_view>

#include "NSStringDrawing.h"

namespace uikit {

struct TextEngine {
    CGSize (*size)(std::string_view, const NSStringAttributes&);
    CGSize (*wrappedSize)(std::string_view, const NSStringAttributes&, CGFloat wrapWidth);
    void (*draw)(cairo_t*, std::string_view, CGRect, const NSStringAttributes&, const UIColor*, NSTextAlignment, NSLineBreakMode);
};

}

extern "C" const uikit::TextEngine* menutoneTextEngine();

// The pango description of a font (none: the system font at 12 points), for
// the platform's drawing code; the caller frees it.
typedef struct _PangoFontDescription PangoFontDescription;
PangoFontDescription* createPangoFontDescription(const UIFont*);
