#pragma once

#include <vector>

#include <objc/NSObject.h>

#include "CALayer.h"
#include "UIColor.h"

typedef struct _cairo cairo_t;
class UITouch;
class UIViewController;
class UIWindow;

// A view: frame and bounds, layer, colours and subviews. "initWithFrame:",
// "layoutSubviews", "hitTest:withEvent:" and "pointInside:withEvent:" go
// through the runtime, so subclasses and replacements take part.
//
// The frame is the view's rectangle in its superview's coordinates; the
// bounds are the same rectangle in its own, and their origin is what a
// scroll view's content offset is.
class UIView : public NSObject {
public:
    UIView();
    ~UIView() override;
    static Class objcClass();
    static Ref<UIView> create(CGRect frame);

    CGRect frame() const { return m_frame; }
    // Keeps the bounds' origin; the bounds take the new size.
    void setFrame(CGRect);
    CGRect bounds() const { return { m_boundsOrigin, m_frame.size }; }
    void setBounds(CGRect);
    CGPoint center() const { return { m_frame.origin.x + m_frame.size.width / 2, m_frame.origin.y + m_frame.size.height / 2 }; }
    CALayer* layer() const { return m_layer.ptr(); }
    UIColor* backgroundColor() const { return m_backgroundColor.get(); }
    void setBackgroundColor(RefPtr<UIColor> color) { m_backgroundColor = std::move(color); }

    const std::vector<Ref<UIView>>& subviews() const { return m_subviews; }
    UIView* superview() const { return m_superview; }
    // A view already here moves to the front.
    void addSubview(Ref<UIView>);
    // Behind the subviews from the index on.
    void insertSubview(Ref<UIView>, std::size_t index);
    void removeFromSuperview();
    bool isDescendantOfView(const UIView*) const;
    // The window at the top of the view's superviews, if any.
    UIWindow* window() const;

    // A point or rectangle in this view's coordinates, in another view's
    // (none: the top of the hierarchy, the window's).
    CGPoint convertPointToView(CGPoint, const UIView*) const;
    CGPoint convertPointFromView(CGPoint, const UIView*) const;
    CGRect convertRectToView(CGRect, const UIView*) const;

    // The deepest view under the point (in this view's coordinates) that
    // takes touches, front to back: hidden, transparent and non-interactive
    // views and what they hold are passed over. Sends "hitTest:withEvent:".
    UIView* hitTest(CGPoint);
    // Sends "pointInside:withEvent:": by default, whether the bounds hold it.
    bool pointInside(CGPoint);

    // Touches, delivered to the view that was hit; a view that does not
    // handle them passes them to its superview, as UIResponder does.
    virtual void touchesBegan(UITouch&);
    virtual void touchesMoved(UITouch&);
    virtual void touchesEnded(UITouch&);
    virtual void touchesCancelled(UITouch&);

    // What the view draws of its own, in its bounds' coordinates, after its
    // background and before its subviews (UIKit's classes draw themselves).
    virtual void drawContent(cairo_t*) { }

    // The tint: the view's own, else its nearest ancestor's; none means the
    // system's default tint.
    UIColor* tintColor() const;
    UIColor* ownTintColor() const { return m_tintColor.get(); }
    void setTintColor(RefPtr<UIColor> color) { m_tintColor = std::move(color); }

    // Applied about the view's centre when it is drawn, as UIKit does; the
    // frame stays the untransformed one, and touches take it as it is.
    CGAffineTransform transform() const { return m_transform; }
    void setTransform(CGAffineTransform transform) { m_transform = transform; }

    CGFloat alpha() const { return m_alpha; }
    void setAlpha(CGFloat alpha) { m_alpha = alpha; }
    bool isUserInteractionEnabled() const { return m_isUserInteractionEnabled; }
    void setUserInteractionEnabled(bool isEnabled) { m_isUserInteractionEnabled = isEnabled; }
    long tag() const { return m_tag; }
    void setTag(long tag) { m_tag = tag; }
    bool isHidden() const { return m_isHidden; }
    void setHidden(bool isHidden) { m_isHidden = isHidden; }
    bool clipsToBounds() const { return m_clipsToBounds; }
    void setClipsToBounds(bool clips) { m_clipsToBounds = clips; }

    // Marks the view for layout, as a change of size or content does: the
    // next layoutIfNeeded, or drawing, lays it out.
    virtual void setNeedsLayout() { m_needsLayout = true; }
    bool needsLayout() const { return m_needsLayout; }
    // Sends -layoutSubviews through the runtime when the view is marked.
    void layoutIfNeeded();
    // The same for the view and every view within it, top down: frames as
    // they will be drawn, for hit-testing and for reading them.
    void layoutSubtreeIfNeeded();

    // The controller whose root view this is, if any.
    UIViewController* viewController() const { return m_viewController; }

    // UIView's own -initWithFrame:, for subclasses' implementations to call first.
    static id initWithFrame(id self, SEL, CGRect frame);
    static UIView* hitTestImplementation(id self, SEL, CGPoint, id event);
    static bool pointInsideImplementation(id self, SEL, CGPoint, id event);

private:
    friend class UIViewController;

    CGRect m_frame;
    CGPoint m_boundsOrigin;
    Ref<CALayer> m_layer;
    RefPtr<UIColor> m_backgroundColor;
    RefPtr<UIColor> m_tintColor;
    std::vector<Ref<UIView>> m_subviews;
    UIView* m_superview { nullptr };
    UIViewController* m_viewController { nullptr };
    CGAffineTransform m_transform;
    CGFloat m_alpha { 1 };
    bool m_isUserInteractionEnabled { true };
    long m_tag { 0 };
    bool m_isHidden { false };
    bool m_clipsToBounds { false };
    bool m_needsLayout { false };
};

inline SEL initWithFrameSelector()
{
    return sel_registerName("initWithFrame:");
}
