#pragma once

// UIImage(TincturePrivate): scaling and reading pixels.

#include <uikit/UIColor.h>
#include <uikit/UIImage.h>

namespace tincture {

// A new image of the size in points at one pixel per point; none for no image or no area.
RefPtr<UIImage> imageWithImage(const UIImage*, CGSize);
RefPtr<UIImage> imageScaledToSize(const UIImage*, CGSize);

// The colour of the pixel at (x, y), in pixels, read premultiplied: red,
// green and blue in single precision, alpha in double. None for no image or a
// point outside it.
RefPtr<UIColor> colorFromImage(const UIImage*, CGPoint);

}
