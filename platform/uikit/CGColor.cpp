#include "CGColor.h"

#include <algorithm>

struct CGColorSpace {
    CGColorSpaceModel model;
};

Ref<CGColor> CGColor::create(CGColorSpaceModel model, std::vector<CGFloat> componentsAndAlpha)
{
    return adoptRef(*new CGColor(model, std::move(componentsAndAlpha)));
}

bool CGColor::operator==(const CGColor& other) const
{
    return m_model == other.m_model && m_components == other.m_components;
}

CGColorSpaceRef CGColorGetColorSpace(CGColorRef color)
{
    static const CGColorSpace spaces[]
        = { { CGColorSpaceModel::Unknown }, { CGColorSpaceModel::Monochrome }, { CGColorSpaceModel::RGB }, { CGColorSpaceModel::CMYK },
              { CGColorSpaceModel::Lab }, { CGColorSpaceModel::DeviceN }, { CGColorSpaceModel::Indexed }, { CGColorSpaceModel::Pattern } };
    if (!color)
        return nullptr;
    return &spaces[static_cast<int>(color->model()) + 1];
}

CGColorSpaceModel CGColorSpaceGetModel(CGColorSpaceRef space)
{
    return space ? space->model : CGColorSpaceModel::Unknown;
}

std::size_t CGColorGetNumberOfComponents(CGColorRef color)
{
    return color ? color->components().size() : 0;
}

const CGFloat* CGColorGetComponents(CGColorRef color)
{
    return color ? color->components().data() : nullptr;
}

CGFloat CGColorGetAlpha(CGColorRef color)
{
    return color ? color->alpha() : 0;
}

bool CGColorEqualToColor(CGColorRef a, CGColorRef b)
{
    return a == b || (a && b && *a == *b);
}

struct CGPattern { };

CGPatternRef CGColorGetPattern(CGColorRef color)
{
    // What a pattern paints is its colour's business (UIColor keeps the image); this tells pattern colours apart.
    static CGPattern pattern;
    return color && color->model() == CGColorSpaceModel::Pattern ? &pattern : nullptr;
}
