#pragma once

// What UIKit's own views share when they draw: the system colours, the
// drawing of an image into a rectangle, and blurs.

#include "CGGeometry.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
class UIColor;
class UIImage;

namespace viewdrawing {

struct RGBA {
    double red, green, blue, alpha;
};

constexpr RGBA systemBlue { 0, 122 / 255.0, 1, 1 };
constexpr RGBA systemGreen { 76 / 255.0, 217 / 255.0, 100 / 255.0, 1 };
constexpr RGBA separatorGrey { 200 / 255.0, 199 / 255.0, 204 / 255.0, 1 };
constexpr RGBA groupedBackground { 239 / 255.0, 239 / 255.0, 244 / 255.0, 1 };

// The colour's components, or the fallback for none.
RGBA components(const UIColor*, RGBA fallback);
void setSource(cairo_t*, RGBA);
void setSource(cairo_t*, const UIColor*, RGBA fallback);
// The image scaled to the rectangle; a template one keeps only its shape,
// filled with the tint.
void drawImage(cairo_t*, const UIImage&, CGRect, RGBA tint);
void fillRectangle(cairo_t*, CGRect, RGBA);
// Three box blurs of the radius (in pixels) on an ARGB32 surface, which
// approach a Gaussian; premultiplied, each channel alike.
void boxBlur(cairo_surface_t*, int radius);
// Blurs what is already drawn under the rectangle (as a translucent bar
// shows what lies beneath it), by a radius in points.
void blurBehind(cairo_t*, CGRect, double radiusPoints);

}
