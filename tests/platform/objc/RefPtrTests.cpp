#include <objc/RefPtr.h>

#include <gtest/gtest.h>

#include <objc/NSObject.h>

TEST(RefPtr, CountsFollowCopiesMovesAndAssignments)
{
    Ref<NSObject> object = NSObject::create();
    EXPECT_EQ(object->retainCountForTesting(), 1u);
    {
        Ref<NSObject> copy = object;
        RefPtr<NSObject> maybe = object;
        EXPECT_EQ(object->retainCountForTesting(), 3u);
        RefPtr<NSObject> moved = std::move(maybe);
        EXPECT_FALSE(maybe);
        EXPECT_EQ(object->retainCountForTesting(), 3u);
        moved = nullptr;
        EXPECT_EQ(object->retainCountForTesting(), 2u);
    }
    EXPECT_EQ(object->retainCountForTesting(), 1u);

    RefPtr<NSObject> slot = object;
    Ref<NSObject> other = NSObject::create();
    slot = other.ptr(); // storing releases the old object and keeps the new one
    EXPECT_EQ(object->retainCountForTesting(), 1u);
    EXPECT_EQ(other->retainCountForTesting(), 2u);
    auto& sameSlot = slot;
    slot = sameSlot; // self-assignment keeps the object
    EXPECT_EQ(other->retainCountForTesting(), 2u);
}

namespace {
class DerivedObjectForTesting : public NSObject { };
}

// Conversions as WTF allows them: up the hierarchy implicitly, never down.
static_assert(std::is_constructible_v<RefPtr<NSObject>, DerivedObjectForTesting*>);
static_assert(std::is_constructible_v<RefPtr<NSObject>, Ref<DerivedObjectForTesting>>);
static_assert(!std::is_constructible_v<RefPtr<DerivedObjectForTesting>, NSObject*>);
static_assert(!std::is_constructible_v<RefPtr<DerivedObjectForTesting>, RefPtr<NSObject>>);
static_assert(!std::is_constructible_v<Ref<DerivedObjectForTesting>, Ref<NSObject>>);
