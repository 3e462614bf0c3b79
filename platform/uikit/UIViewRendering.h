#pragma once

// Drawing a view hierarchy: each view at its frame, its background (with its
// layer's corner radius), what it draws of its own, its subviews front to
// back, then its layer's border; hidden views are passed over and alpha
// applies to the view with what it holds. Hit-testing walks the same frames.

#include "UIImage.h"

typedef struct _cairo cairo_t;
class UIView;

// Draws the view with its frame's origin at the context's origin.
void drawViewHierarchy(UIView&, cairo_t*);
// The view and its subviews as an image of the view's size at the scale
// (0: the main screen's).
RefPtr<UIImage> imageOfViewHierarchy(UIView&, CGFloat scale = 0);
