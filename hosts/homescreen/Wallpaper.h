#pragma once

// The home screen's wallpaper, the same every time, and the blur that
// SpringBoard lays over it behind a shortcut menu.

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

void drawWallpaper(cairo_t*, double width, double height);
// Translucent squares where a full page of icons would be, for pictures of
// a menu without the home screen's own icons.
void drawIconPlaceholders(cairo_t*);
// Three box blurs of the radius (in pixels) on an ARGB32 surface.
void boxBlur(cairo_surface_t*, int radius);
