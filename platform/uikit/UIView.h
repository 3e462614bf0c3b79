#pragma once

#include <vector>

#include <objc/NSObject.h>

#include "CALayer.h"
#include "UIColor.h"

class UIViewController;

// A view: frame, layer, colours and subviews. "initWithFrame:" and
// "layoutSubviews" go through the runtime, so subclasses and replacements
// take part.
class UIView : public NSObject {
public:
    UIView();
    ~UIView() override;
    static Class objcClass();
    static Ref<UIView> create(CGRect frame);

    CGRect frame() const { return m_frame; }
    void setFrame(CGRect frame) { m_frame = frame; }
    CGRect bounds() const { return { {}, m_frame.size }; }
    CALayer* layer() const { return m_layer.ptr(); }
    UIColor* backgroundColor() const { return m_backgroundColor.get(); }
    void setBackgroundColor(RefPtr<UIColor> color) { m_backgroundColor = std::move(color); }

    const std::vector<Ref<UIView>>& subviews() const { return m_subviews; }
    UIView* superview() const { return m_superview; }
    void addSubview(Ref<UIView>);
    void removeFromSuperview();

    // The tint: the view's own, else its nearest ancestor's; none means the
    // system's default tint.
    UIColor* tintColor() const;
    UIColor* ownTintColor() const { return m_tintColor.get(); }
    void setTintColor(RefPtr<UIColor> color) { m_tintColor = std::move(color); }

    CGFloat alpha() const { return m_alpha; }
    void setAlpha(CGFloat alpha) { m_alpha = alpha; }
    bool isUserInteractionEnabled() const { return m_isUserInteractionEnabled; }
    void setUserInteractionEnabled(bool isEnabled) { m_isUserInteractionEnabled = isEnabled; }
    long tag() const { return m_tag; }
    void setTag(long tag) { m_tag = tag; }

    // Sends -layoutSubviews through the runtime.
    void layoutIfNeeded();

    // The controller whose root view this is, if any.
    UIViewController* viewController() const { return m_viewController; }

    // UIView's own -initWithFrame:, for subclasses' implementations to call first.
    static id initWithFrame(id self, SEL, CGRect frame);

private:
    friend class UIViewController;

    CGRect m_frame;
    Ref<CALayer> m_layer;
    RefPtr<UIColor> m_backgroundColor;
    RefPtr<UIColor> m_tintColor;
    std::vector<Ref<UIView>> m_subviews;
    UIView* m_superview { nullptr };
    UIViewController* m_viewController { nullptr };
    CGFloat m_alpha { 1 };
    bool m_isUserInteractionEnabled { true };
    long m_tag { 0 };
};

inline SEL initWithFrameSelector()
{
    return sel_registerName("initWithFrame:");
}
