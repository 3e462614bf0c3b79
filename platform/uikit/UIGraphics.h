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

// The phones the platform stands in for: their screens in points and the
// pixels to a point.
enum class DeviceModel { iPhone6s, iPhone6sPlus };
struct DeviceDescription {
    DeviceModel model;
    const char* optionName; // as commands take it: "6s", "6s-plus"
    const char* name; // "iPhone 6s"
    const char* productType; // MobileGestalt's "iPhone8,1"
    CGSize screenSize;
    CGFloat scale;
    CGFloat layoutMargin; // from the screen's edges to a table's content, as UIKit's readable margins
};
inline constexpr DeviceDescription kDevices[] = {
    { DeviceModel::iPhone6s, "6s", "iPhone 6s", "iPhone8,1", { 375, 667 }, 2, 15 },
    { DeviceModel::iPhone6sPlus, "6s-plus", "iPhone 6s Plus", "iPhone8,2", { 414, 736 }, 3, 20 },
};
const DeviceDescription& deviceDescription(DeviceModel);

// The main screen: its size and scale, the phone's.
class UIScreen {
public:
    static UIScreen& mainScreen();
    CGFloat scale() const { return m_scale; }
    // The whole screen, and the screen less the 20-point status bar.
    CGRect bounds() const { return CGRectMake(0, 0, m_size.width, m_size.height); }
    CGRect applicationFrame() const { return CGRectMake(0, 20, m_size.width, m_size.height - 20); }
    DeviceModel device() const { return m_device; }
    // The phone this process draws for, chosen by the host before its first
    // view, as the hardware fixes it on a device.
    void setDevice(DeviceModel);
    void setScaleForTesting(CGFloat scale) { m_scale = scale; }

private:
    DeviceModel m_device { DeviceModel::iPhone6s };
    CGSize m_size { 375, 667 };
    CGFloat m_scale { 2 };
};
