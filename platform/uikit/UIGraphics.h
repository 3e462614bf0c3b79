#pragma once

// Drawing canvases in the manner of UIGraphicsBeginImageContextWithOptions:
// premultiplied 8-bit pixels (cairo's ARGB32), a stack per thread.

#include "UIImage.h"

typedef struct _cairo cairo_t;

enum CGInterpolationQuality : int {
    kCGInterpolationDefault = 0,
    kCGInterpolationNone = 1,
    kCGInterpolationLow = 2,
    kCGInterpolationHigh = 3,
    kCGInterpolationMedium = 4
};
enum CGBlendMode : int { kCGBlendModeNormal = 0, kCGBlendModeCopy = 17 };

struct CGContext {
    cairo_t* cairo;
    cairo_surface_t* surface;
    CGFloat scale;
    CGInterpolationQuality interpolation { kCGInterpolationDefault };
};
using CGContextRef = CGContext*;

// A scale of 0 is the main screen's. A size without area opens no canvas.
void UIGraphicsBeginImageContextWithOptions(CGSize, bool isOpaque, CGFloat scale);
void UIGraphicsBeginImageContext(CGSize);
CGContextRef UIGraphicsGetCurrentContext();
RefPtr<UIImage> UIGraphicsGetImageFromCurrentImageContext();
void UIGraphicsEndImageContext();
void CGContextSetInterpolationQuality(CGContextRef, CGInterpolationQuality);

// Adds a rectangle with round corners (as a layer's corner radius draws it,
// the radius held to half the shorter side) to the path, for the platform's
// drawing code.
void addRoundedRectangle(cairo_t*, double x, double y, double width, double height, double radius);

// Applies the transform about the point, as a view's transform acts about
// its centre, for the platform's drawing code.
void concatTransformAboutPoint(cairo_t*, const CGAffineTransform&, CGPoint);

// The main screen: its scale, points to pixels.
class UIScreen {
public:
    static UIScreen& mainScreen();
    CGFloat scale() const { return m_scale; }
    // The screen (an iPhone's 375 x 667 points) less the status bar.
    CGRect bounds() const { return CGRectMake(0, 0, 375, 667); }
    CGRect applicationFrame() const { return CGRectMake(0, 20, 375, 647); }
    void setScaleForTesting(CGFloat scale) { m_scale = scale; }

private:
    CGFloat m_scale { 2 };
};
