#pragma once

#include <cstdint>

#include <foundation/NSComparisonResult.h>
#include <uikit/UIColor.h>

// A colour with how often it occurs; compare: orders the higher count first.
class TinctureCountedColor : public NSObject {
public:
    TinctureCountedColor() = default;
    static Class objcClass();
    // initWithColor:count:
    static Ref<TinctureCountedColor> create(RefPtr<UIColor>, std::uint64_t count);

    RefPtr<UIColor> color() const;
    void setColor(RefPtr<UIColor>);
    std::uint64_t count() const { return m_count; }
    void setCount(std::uint64_t count) { m_count = count; }

    // Against another counted colour: descending when this count is lower,
    // same when equal, ascending when higher; against anything else ascending.
    NSComparisonResult compare(const NSObject*) const;

private:
    RefPtr<UIColor> m_color;
    std::uint64_t m_count { 0 };
};
