#include <objc/WeakReference.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <objc/ClassBuilder.h>

namespace {

// Counts its destructions, so a test sees exactly when one happens.
class CountedForTesting : public NSObject {
public:
    static Class objcClass();
    static Ref<CountedForTesting> create()
    {
        objcClass();
        return adoptRef(*new CountedForTesting);
    }
    ~CountedForTesting() override { ++destroyed; }
    static inline std::atomic<int> destroyed { 0 };
};

Class CountedForTesting::objcClass()
{
    static Class cls = ClassBuilder<CountedForTesting>("CountedForTesting", NSObject::objcClass()).registerClass();
    return cls;
}

}

TEST(WeakReference, EveryLocationReadsNoneOnceTheLastReferenceGoes)
{
    int destroyedBefore = CountedForTesting::destroyed;
    RefPtr<CountedForTesting> object = CountedForTesting::create();
    WeakObjCPtr<CountedForTesting> first = object.get();
    WeakObjCPtr<CountedForTesting> copy = first;
    auto* moved = new WeakObjCPtr<CountedForTesting>(copy);
    EXPECT_EQ(first.get(), object.get());
    EXPECT_EQ(moved->get(), object.get());
    {
        RefPtr<CountedForTesting> kept = first.retained();
        object = nullptr;
        EXPECT_EQ(CountedForTesting::destroyed, destroyedBefore) << "a retained load keeps the object";
        EXPECT_EQ(copy.get(), kept.get());
    }
    EXPECT_EQ(CountedForTesting::destroyed, destroyedBefore + 1);
    EXPECT_EQ(first.get(), nullptr);
    EXPECT_EQ(copy.get(), nullptr);
    EXPECT_EQ(moved->get(), nullptr);
    EXPECT_EQ(first.retained(), nullptr);
    delete moved;

    // A location given another object forgets the first.
    auto a = CountedForTesting::create(), b = CountedForTesting::create();
    WeakObjCPtr<CountedForTesting> location = a.ptr();
    location = b.ptr();
    {
        auto dropA = std::move(a);
    }
    EXPECT_EQ(location.get(), b.ptr());
}

TEST(WeakReference, ALoadRacingTheLastReleaseGetsTheObjectOrNone)
{
    for (int round = 0; round < 200; ++round) {
        RefPtr<CountedForTesting> object = CountedForTesting::create();
        WeakObjCPtr<CountedForTesting> weak = object.get();
        std::atomic<bool> isGo { false };
        std::thread loader([&] {
            while (!isGo) { }
            for (int i = 0; i < 50; ++i) {
                if (RefPtr<CountedForTesting> loaded = weak.retained()) {
                    EXPECT_GT(loaded->retainCountForTesting(), 0u);
                }
            }
        });
        isGo = true;
        object = nullptr;
        loader.join();
        EXPECT_EQ(weak.get(), nullptr);
    }
}
