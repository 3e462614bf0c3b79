#pragma once

// What SpringBoard lays over its wallpaper in pictures of a menu: icon
// placeholders, and the blur behind a shortcut menu.

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

// Translucent squares where a full page of icons would be, for pictures of
// a menu without the home screen's own icons.
void drawIconPlaceholders(cairo_t*);
// Three box blurs of the radius (in pixels) on an ARGB32 surface.
void boxBlur(cairo_surface_t*, int radius);
