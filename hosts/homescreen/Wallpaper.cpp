#include "Wallpaper.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <uikit/UIGraphics.h>

void drawIconPlaceholders(cairo_t* cr)
{
    // A grid of app icons, as a home screen has.
    for (int row = 0; row < 6; ++row) {
        for (int column = 0; column < 4; ++column) {
            addRoundedRectangle(cr, 27 + column * 87, 40 + row * 100, 60, 60, 13);
            cairo_set_source_rgba(cr, 1, 1, 1, 0.28);
            cairo_fill(cr);
        }
    }
}
