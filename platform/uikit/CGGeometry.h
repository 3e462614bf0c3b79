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
