#include <substrate/Substrate.h>

#include <gtest/gtest.h>

#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>

#include <atomic>
#include <thread>

namespace {

// Every call records itself, so a test compares the whole order of events.
std::string eventLog;

void record(const std::string& who, id self, SEL op, std::int64_t count, double fraction)
{
    char text[160];
    std::snprintf(text, sizeof text, "%s(%s %p %s %lld %g) ", who.c_str(), object_getClassName(self), static_cast<void*>(self), sel_getName(op),
        static_cast<long long>(count), fraction);
    eventLog += text;
}

class Menu : public NSObject {
public:
    static Class objcClass();
    RefPtr<NSObject> m_blurSettings;
    double m_fontSize { 13 };
};

class ShortcutMenu : public Menu {
public:
    static Class objcClass();
};

id originalStep(id self, SEL op, std::int64_t count, double fraction)
{
    record("orig", self, op, count, fraction);
    return self;
}

void originalUpdate(id self, SEL op, double fraction)
{
    record("update", self, op, 0, fraction);
}

Class Menu::objcClass()
{
    static Class cls = ClassBuilder<Menu>("SubstrateTestMenu", NSObject::objcClass())
                           .method("stepWithCount:fraction:", &originalStep)
                           .method("_updateBackgroundForBlurFraction:", &originalUpdate)
                           .ivar<&Menu::m_blurSettings>("_blurSettings")
                           .ivar<&Menu::m_fontSize>("_fontSize")
                           .registerClass();
    return cls;
}

Class ShortcutMenu::objcClass()
{
    static Class cls = ClassBuilder<ShortcutMenu>("SubstrateTestShortcutMenu", Menu::objcClass()).registerClass();
    return cls;
}

[[maybe_unused]] Class registered = ShortcutMenu::objcClass();

// A fresh subclass of Menu per test run (the name gets a number after the
// first), so hooks of one test, or of an earlier repeat, reach no other.
Class freshSubclass(const char* name)
{
    static unsigned madeCount = 0;
    std::string unique = madeCount++ ? name + std::to_string(madeCount) : name;
    Class cls = objc_allocateClassPair(Menu::objcClass(), unique.c_str());
    objc_registerClassPair(cls);
    return cls;
}

Class freshMenuClass(const char* name)
{
    Class cls = freshSubclass(name);
    class_addMethod(cls, sel_registerName("stepWithCount:fraction:"), IMP(&originalStep));
    return cls;
}

id (*replacedStep)(id, SEL, std::int64_t, double);
id hookedStep(id self, SEL op, std::int64_t count, double fraction)
{
    record("hook", self, op, count, fraction);
    return replacedStep(self, op, count, 0.0);
}

id sentinelStep(id, SEL, std::int64_t, double)
{
    return nullptr;
}

SEL step()
{
    return sel_registerName("stepWithCount:fraction:");
}

}

TEST(MSHookMessageEx, AReplacementThatCallsItsSlotReachesTheOriginalWithTheSameReceiverSelectorAndArguments)
{
    Class cls = freshMenuClass("SubstrateTestHooked");
    ASSERT_TRUE(MSHookMessageEx(cls, step(), &hookedStep, &replacedStep));
    EXPECT_EQ(replacedStep, &originalStep);

    RefPtr<NSObject> menu = class_createInstance(cls);
    eventLog.clear();
    id result = objc_msgSend<id(std::int64_t, double)>(menu.get(), step(), 7, 0.25);
    EXPECT_EQ(result, menu.get());
    char expected[256];
    std::snprintf(expected, sizeof expected, "hook(%s %p stepWithCount:fraction: 7 0.25) orig(%s %p stepWithCount:fraction: 7 0) ", class_getName(cls),
        static_cast<void*>(menu.get()), class_getName(cls), static_cast<void*>(menu.get()));
    EXPECT_EQ(eventLog, expected);
}

TEST(MSHookMessageEx, TheSlotHoldsTheReplacedImplementationBeforeTheReplacementCanBeReached)
{
    // Messages sent from another thread while the hook installs reach the
    // original, or the replacement with its slot already filled; never an empty slot.
    Class cls = freshMenuClass("SubstrateTestOrder");
    static std::atomic<id (*)(id, SEL, std::int64_t, double)> slot { nullptr };
    static std::atomic<unsigned> emptySlotCount { 0 };
    static std::atomic<unsigned> hookedCount { 0 };
    auto replacement = +[](id self, SEL op, std::int64_t count, double fraction) -> id {
        hookedCount++;
        auto previous = slot.load();
        if (!previous) {
            emptySlotCount++;
            return nullptr;
        }
        return previous(self, op, count, fraction);
    };
    auto store = [](void* target, IMP previous) {
        static_cast<std::atomic<id (*)(id, SEL, std::int64_t, double)>*>(target)->store(previous.as<id(id, SEL, std::int64_t, double)>());
    };
    RefPtr<NSObject> menu = class_createInstance(cls);
    std::atomic<bool> isInstalled { false };
    std::thread sender([&] {
        // Until the replacement has been reached a few times after the install.
        while (!isInstalled || hookedCount < 100)
            objc_msgSend<id(std::int64_t, double)>(menu.get(), step(), 1, 0.5);
    });
    ASSERT_TRUE(substrate::hookMessage(cls, step(), IMP(replacement), &slot, store));
    isInstalled = true;
    sender.join();
    EXPECT_EQ(slot.load(), &originalStep);
    EXPECT_EQ(emptySlotCount, 0u);
    EXPECT_EQ(class_getMethodImplementation(cls, step()), IMP(replacement));
}

TEST(MSHookMessageEx, ANullClassSelectorOrReplacementOrAMissingSelectorInstallsNothing)
{
    Class cls = freshMenuClass("SubstrateTestNothing");
    id (*slot)(id, SEL, std::int64_t, double) = &sentinelStep;
    EXPECT_FALSE(MSHookMessageEx(objc_getClass("SBNoSuchClass"), step(), &hookedStep, &slot));
    EXPECT_FALSE(MSHookMessageEx(cls, nullptr, &hookedStep, &slot));
    id (*noReplacement)(id, SEL, std::int64_t, double) = nullptr;
    EXPECT_FALSE(MSHookMessageEx(cls, step(), noReplacement, &slot));
    EXPECT_FALSE(MSHookMessageEx(cls, sel_registerName("stepWithCount:"), &hookedStep, &slot));
    EXPECT_EQ(slot, &sentinelStep);
    EXPECT_EQ(class_getMethodImplementation(cls, step()), IMP(&originalStep));
    EXPECT_FALSE(class_respondsToSelector(cls, sel_registerName("stepWithCount:")));
}

TEST(MSHookMessageEx, AReplacementWithAnotherSignatureIsRefusedWhenInstalled)
{
    Class cls = freshMenuClass("SubstrateTestSignature");
    void (*slot)(id, SEL, double) = nullptr;
    auto wrong = +[](id, SEL, double) {};
    EXPECT_FALSE(MSHookMessageEx(cls, step(), wrong, &slot));
    EXPECT_EQ(slot, nullptr);
    IMP erasedSlot;
    EXPECT_FALSE(MSHookMessageEx(cls, step(), IMP(+[](id, SEL, std::int64_t, float) -> id { return nullptr; }), &erasedSlot));
    EXPECT_FALSE(erasedSlot);
    EXPECT_EQ(class_getMethodImplementation(cls, step()), IMP(&originalStep));
}

TEST(MSHookMessageEx, AnInheritedMethodGetsAnOverrideOnTheClassOnly)
{
    static void (*replacedUpdate)(id, SEL, double) = nullptr;
    auto hookedUpdate = +[](id self, SEL op, double fraction) {
        eventLog += "hook ";
        replacedUpdate(self, op, fraction);
    };
    SEL update = sel_registerName("_updateBackgroundForBlurFraction:");
    Class subclass = freshSubclass("SubstrateTestInheriting");
    ASSERT_TRUE(MSHookMessageEx(subclass, update, hookedUpdate, &replacedUpdate));
    EXPECT_EQ(replacedUpdate, &originalUpdate);

    RefPtr<NSObject> shortcutMenu = class_createInstance(subclass);
    auto menu = adoptRef(*new Menu);
    eventLog.clear();
    objc_msgSend<void(double)>(shortcutMenu.get(), update, 0.5);
    EXPECT_EQ(eventLog.substr(0, 12), "hook update(");
    eventLog.clear();
    objc_msgSend<void(double)>(menu.ptr(), update, 0.5);
    EXPECT_EQ(eventLog.substr(0, 7), "update(");
}

TEST(MSHookMessageEx, HooksInstalledTwiceChainInOrder)
{
    Class cls = freshMenuClass("SubstrateTestTwice");
    static id (*first)(id, SEL, std::int64_t, double);
    static id (*second)(id, SEL, std::int64_t, double);
    ASSERT_TRUE(MSHookMessageEx(
        cls, step(),
        +[](id self, SEL op, std::int64_t count, double fraction) {
            eventLog += "first ";
            return first(self, op, count, fraction);
        },
        &first));
    ASSERT_TRUE(MSHookMessageEx(
        cls, step(),
        +[](id self, SEL op, std::int64_t count, double fraction) {
            eventLog += "second ";
            return second(self, op, count, fraction);
        },
        &second));
    RefPtr<NSObject> menu = class_createInstance(cls);
    eventLog.clear();
    objc_msgSend<id(std::int64_t, double)>(menu.get(), step(), 1, 1.0);
    EXPECT_EQ(eventLog.substr(0, 18), "second first orig(");
}

TEST(MSHookIvar, ReachesVariablesByNameAndGivesNullForOnesTheClassLacks)
{
    auto menu = adoptRef(*new ShortcutMenu);
    double* fontSize = MSHookIvar<double>(menu.ptr(), "_fontSize");
    ASSERT_TRUE(fontSize);
    *fontSize = 17;
    EXPECT_EQ(menu->m_fontSize, 17);
    EXPECT_EQ(MSHookIvar<double>(menu.ptr(), "_titleFontSize"), nullptr);
    EXPECT_EQ(MSHookIvar<double>(nullptr, "_fontSize"), nullptr);
}

TEST(MSHookIvar, StoringIntoAnObjectSlotReleasesTheOldObjectAndKeepsTheNew)
{
    auto menu = adoptRef(*new Menu);
    Ref<NSObject> hostSettings = NSObject::create();
    menu->m_blurSettings = hostSettings.ptr();
    EXPECT_EQ(hostSettings->retainCountForTesting(), 2u);

    auto* slot = MSHookIvar<RefPtr<NSObject>>(menu.ptr(), "_blurSettings");
    ASSERT_TRUE(slot);
    EXPECT_EQ(slot->get(), hostSettings.ptr());
    Ref<NSObject> chosen = NSObject::create();
    *slot = chosen.ptr();
    EXPECT_EQ(hostSettings->retainCountForTesting(), 1u);
    EXPECT_EQ(chosen->retainCountForTesting(), 2u);
    EXPECT_EQ(menu->m_blurSettings.get(), chosen.ptr());
}

TEST(MSHookIvarDeathTest, ATypeOtherThanTheVariablesIsAProgrammingError)
{
    auto menu = adoptRef(*new Menu);
    EXPECT_DEATH(MSHookIvar<float>(menu.ptr(), "_fontSize"), "type other than the variable's");
}
