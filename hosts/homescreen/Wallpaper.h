#pragma once

// What SpringBoard lays over its wallpaper in pictures of a menu: icon
// placeholders.

typedef struct _cairo cairo_t;

// Translucent squares where a full page of icons would be, for pictures of
// a menu without the home screen's own icons.
void drawIconPlaceholders(cairo_t*);
