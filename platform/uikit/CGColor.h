#pragma once

// CoreGraphics' colours: immutable components in a colour space of some model.

#include <cstddef>
#include <initializer_list>
#include <vector>

#include <objc/RefCounted.h>
#include <objc/RefPtr.h>

#include "CGGeometry.h"

// CGColorSpaceModel numbers, as the device's CoreGraphics gives them.
enum class CGColorSpaceModel : int { Unknown = -1, Monochrome = 0, RGB = 1, CMYK = 2, Lab = 3, DeviceN = 4, Indexed = 5, Pattern = 6 };

struct CGColorSpace;
using CGColorSpaceRef = const CGColorSpace*;
struct CGPattern;
using CGPatternRef = CGPattern*;

class CGColor : public RefCounted<CGColor> {
public:
    // The colour components followed by alpha, as many as the model has.
    static Ref<CGColor> create(CGColorSpaceModel, std::vector<CGFloat> componentsAndAlpha);

    CGColorSpaceModel model() const { return m_model; }
    const std::vector<CGFloat>& components() const { return m_components; }
    CGFloat alpha() const { return m_components.empty() ? 1 : m_components.back(); }
    bool operator==(const CGColor&) const;

private:
    CGColor(CGColorSpaceModel model, std::vector<CGFloat> components)
        : m_model(model)
        , m_components(std::move(components))
    {
    }

    CGColorSpaceModel m_model;
    std::vector<CGFloat> m_components;
};

using CGColorRef = CGColor*;

CGColorSpaceRef CGColorGetColorSpace(CGColorRef);
CGColorSpaceModel CGColorSpaceGetModel(CGColorSpaceRef);
std::size_t CGColorGetNumberOfComponents(CGColorRef);
const CGFloat* CGColorGetComponents(CGColorRef);
CGFloat CGColorGetAlpha(CGColorRef);
bool CGColorEqualToColor(CGColorRef, CGColorRef);
// Non-null for a colour that paints an image (UIColor's colorWithPatternImage).
CGPatternRef CGColorGetPattern(CGColorRef);
