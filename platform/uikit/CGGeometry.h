#pragma once

using CGFloat = double;

struct CGPoint {
    CGFloat x { 0 };
    CGFloat y { 0 };
    bool operator==(const CGPoint&) const = default;
};

struct CGSize {
    CGFloat width { 0 };
    CGFloat height { 0 };
    bool operator==(const CGSize&) const = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;
    bool operator==(const CGRect&) const = default;
};

inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat width, CGFloat height)
{
    return { { x, y }, { width, height } };
}
// Distances in from each edge, as UIKit's (a scroll view's content inset).
struct UIEdgeInsets {
    CGFloat top { 0 }, left { 0 }, bottom { 0 }, right { 0 };
    bool operator==(const UIEdgeInsets&) const = default;
};

inline CGFloat CGRectGetMidX(CGRect rect)
{
    return rect.origin.x + rect.size.width / 2;
}
inline CGFloat CGRectGetMidY(CGRect rect)
{
    return rect.origin.y + rect.size.height / 2;
}

// A point maps to (a x + c y + tx, b x + d y + ty), as in Core Graphics.
struct CGAffineTransform {
    CGFloat a { 1 }, b { 0 }, c { 0 }, d { 1 }, tx { 0 }, ty { 0 };
    bool operator==(const CGAffineTransform&) const = default;
};

inline constexpr CGAffineTransform CGAffineTransformIdentity {};

inline CGAffineTransform CGAffineTransformMakeScale(CGFloat sx, CGFloat sy)
{
    return { sx, 0, 0, sy, 0, 0 };
}

inline CGAffineTransform CGAffineTransformTranslate(CGAffineTransform t, CGFloat x, CGFloat y)
{
    return { t.a, t.b, t.c, t.d, t.tx + t.a * x + t.c * y, t.ty + t.b * x + t.d * y };
}
