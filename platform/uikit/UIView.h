#pragma once

#include <vector>

#include <objc/NSObject.h>

#include "CALayer.h"
#include "UIColor.h"

// A view: frame, layer, background colour and subviews. "initWithFrame:"
// goes through the runtime, so subclasses and replacements take part.
class UIView : public NSObject {
public:
    UIView();
    static Class objcClass();
    static Ref<UIView> create(CGRect frame);

    CGRect frame() const { return m_frame; }
    void setFrame(CGRect frame) { m_frame = frame; }
    CGRect bounds() const { return { {}, m_frame.size }; }
    CALayer* layer() const { return m_layer.ptr(); }
    UIColor* backgroundColor() const { return m_backgroundColor.get(); }
    void setBackgroundColor(RefPtr<UIColor> color) { m_backgroundColor = std::move(color); }
    const std::vector<Ref<UIView>>& subviews() const { return m_subviews; }
    void addSubview(Ref<UIView>);

    // UIView's own -initWithFrame:, for subclasses' implementations to call first.
    static id initWithFrame(id self, SEL, CGRect frame);

private:
    CGRect m_frame;
    Ref<CALayer> m_layer;
    RefPtr<UIColor> m_backgroundColor;
    std::vector<Ref<UIView>> m_subviews;
};

inline SEL initWithFrameSelector()
{
    return sel_registerName("initWithFrame:");
}
