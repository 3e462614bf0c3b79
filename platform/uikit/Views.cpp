// Registration and creation of the label and image views, and images.

#include <cairo.h>

#include <cmath>

#include <device/DeviceRoot.h>
#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>

#include "UIImage.h"
#include "UIImageView.h"
#include "UILabel.h"
#include "ViewDrawing.h"

Class UILabel::objcClass()
{
    static Class cls = ClassBuilder<UILabel>("UILabel", UIView::objcClass()).registerClass();
    return cls;
}

Class UIImageView::objcClass()
{
    static Class cls = ClassBuilder<UIImageView>("UIImageView", UIView::objcClass()).registerClass();
    return cls;
}

Class UIImage::objcClass()
{
    static Class cls = ClassBuilder<UIImage>("UIImage", NSObject::objcClass()).registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredUILabel = UILabel::objcClass();
[[maybe_unused]] static Class registeredUIImageView = UIImageView::objcClass();
[[maybe_unused]] static Class registeredUIImage = UIImage::objcClass();

UILabel::UILabel()
{
    setUserInteractionEnabled(false);
}

void UILabel::setText(std::string text)
{
    if (text == m_text)
        return;
    m_text = std::move(text);
    if (auto* container = superview())
        container->setNeedsLayout();
}

void UIImageView::setImage(RefPtr<UIImage> image)
{
    // Layout depends on whether there is an image and its size; the same
    // image again (a cell setting it at every layout) changes nothing.
    bool changesLayout = !image != !m_image || (image && image->size() != m_image->size());
    m_image = std::move(image);
    if (changesLayout)
        if (auto* container = superview())
            container->setNeedsLayout();
}

CGFloat UILabel::heightForWidth(CGFloat width) const
{
    Ref<UIFont> font = m_font ? Ref<UIFont>(*m_font) : UIFont::systemFontOfSize(17);
    // Whole points, as UIKit lays out on pixel boundaries.
    if (m_numberOfLines == 1)
        return std::ceil(sizeWithAttributes(m_text.empty() ? "X" : m_text, { font.ptr() }).height);
    return std::ceil(sizeWithAttributes(m_text, { font.ptr() }, width).height);
}

void UILabel::drawContent(cairo_t* cr)
{
    Ref<UIFont> font = m_font ? Ref<UIFont>(*m_font) : UIFont::systemFontOfSize(17);
    drawTextInRect(cr, m_text, bounds(), { font.ptr() }, m_textColor.get(), m_textAlignment,
        m_numberOfLines == 1 ? NSLineBreakMode::ByTruncatingTail : NSLineBreakMode::ByWordWrapping);
}

UIImageView::UIImageView()
{
    setUserInteractionEnabled(false);
}

void UIImageView::drawContent(cairo_t* cr)
{
    if (m_image)
        viewdrawing::drawImage(cr, *m_image, bounds(), viewdrawing::components(tintColor(), viewdrawing::systemBlue));
}

Ref<UILabel> UILabel::create(CGRect frame)
{
    auto label = adoptRef(*new UILabel);
    objc_msgSend<id(CGRect)>(label.ptr(), initWithFrameSelector(), frame);
    return label;
}

Ref<UIImageView> UIImageView::create(CGRect frame)
{
    auto view = adoptRef(*new UIImageView);
    objc_msgSend<id(CGRect)>(view.ptr(), initWithFrameSelector(), frame);
    return view;
}

UIImage::~UIImage()
{
    if (m_surface)
        cairo_surface_destroy(m_surface);
}

Ref<UIImage> UIImage::imageWithSurface(cairo_surface_t* surface, CGFloat scale, UIImageRenderingMode mode)
{
    auto image = adoptRef(*new UIImage);
    image->m_surface = cairo_surface_reference(surface);
    image->m_scale = scale > 0 ? scale : 1;
    image->m_renderingMode = mode;
    return image;
}

Ref<UIImage> UIImage::imageWithRenderingMode(UIImageRenderingMode mode) const
{
    auto image = imageWithSurface(m_surface, m_scale, mode);
    image->m_sourcePath = m_sourcePath;
    return image;
}

CGSize UIImage::pixelSize() const
{
    if (!m_surface)
        return {};
    return { static_cast<CGFloat>(cairo_image_surface_get_width(m_surface)), static_cast<CGFloat>(cairo_image_surface_get_height(m_surface)) };
}

CGSize UIImage::size() const
{
    if (!m_surface)
        return {};
    return { cairo_image_surface_get_width(m_surface) / m_scale, cairo_image_surface_get_height(m_surface) / m_scale };
}
