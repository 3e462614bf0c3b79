#include <tincture/TinctureCountedColor.h>

#include <mutex>

#include <objc/ClassBuilder.h>

namespace {
// The color property is atomic.
std::mutex colorLock;
}

Class TinctureCountedColor::objcClass()
{
    static Class cls = ClassBuilder<TinctureCountedColor>("TinctureCountedColor", NSObject::objcClass()).registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredTinctureCountedColor = TinctureCountedColor::objcClass();

Ref<TinctureCountedColor> TinctureCountedColor::create(RefPtr<UIColor> color, std::uint64_t count)
{
    auto counted = adoptRef(*new TinctureCountedColor);
    counted->m_color = std::move(color);
    counted->m_count = count;
    return counted;
}

RefPtr<UIColor> TinctureCountedColor::color() const
{
    std::lock_guard guard(colorLock);
    return m_color;
}

void TinctureCountedColor::setColor(RefPtr<UIColor> color)
{
    std::lock_guard guard(colorLock);
    m_color = std::move(color);
}

NSComparisonResult TinctureCountedColor::compare(const NSObject* other) const
{
    auto* counted = objc_dynamicCast<TinctureCountedColor>(const_cast<NSObject*>(other));
    if (!counted)
        return NSOrderedAscending;
    if (m_count < counted->m_count)
        return NSOrderedDescending;
    if (m_count == counted->m_count)
        return NSOrderedSame;
    return NSOrderedAscending;
}
