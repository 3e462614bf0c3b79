#pragma once

// UIColor(TincturePrivate): the colour-space conversions, the minimum
// saturation, distinctness and the occurrence count.

#include <array>
#include <cstdint>

#include <uikit/UIColor.h>

namespace tincture {

// (X, Y, Z, alpha) with white at Y = 100.
std::array<double, 4> arrayOfXYZValuesForR(double red, double green, double blue, double alpha);
// (L, a, b, alpha), CIE 1976 against the white 95.05, 100.0, 108.9.
std::array<double, 4> arrayOfLABValuesForX(double x, double y, double z, double alpha);

// False for a null colour; a colour without RGB components reads as
// transparent black. All four pointers are required.
bool getValueForX(const UIColor*, double* x, double* y, double* z, double* alpha);
// False for a null colour. L, a and b are written only when all three
// pointers are given; alpha whenever its pointer is.
bool getLightness(const UIColor*, double* l, double* a, double* b, double* alpha);

// The receiver itself when its saturation is at least the minimum, else a
// copy with the minimum saturation; null for a null receiver.
RefPtr<UIColor> colorWithMinimumSaturation(UIColor*, CGFloat minimumSaturation);
// Clearly different: some component differs by more than 0.25, and the two
// are not both grey.
bool isDistinct(const UIColor*, const UIColor* other);
// The same on RGBA components, for code that compares many colours.
bool isDistinct(const std::array<double, 4>& rgba, const std::array<double, 4>& other);

// colorFromImage:atPoint: of this category is the image category's (UIImage+TincturePrivate.h).

// An occurrence count attached to the colour object; 0 until set.
void setCount(UIColor*, std::uint64_t);
std::uint64_t count(const UIColor*);

}
