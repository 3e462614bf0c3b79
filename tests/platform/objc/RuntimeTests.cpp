#include <objc/Runtime.h>

#include <gtest/gtest.h>

#include <objc/AutoreleasePool.h>
#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>

namespace {

class Shape : public NSObject {
public:
    static Class objcClass();
    double m_width { 2 };
    RefPtr<NSObject> m_tag;
};

class Square : public Shape {
public:
    static Class objcClass();
    std::int64_t m_corners { 4 };
};

double area(id self, SEL)
{
    return static_cast<Shape*>(self)->m_width * static_cast<Shape*>(self)->m_width;
}
double scaledArea(id self, SEL, double factor)
{
    return area(self, nullptr) * factor;
}
const char* name(id, SEL)
{
    return "shape";
}
const char* squareName(id, SEL)
{
    return "square";
}

Class Shape::objcClass()
{
    static Class cls = ClassBuilder<Shape>("RuntimeTestShape", NSObject::objcClass())
                           .method("area", &area)
                           .method("areaScaledBy:", &scaledArea)
                           .method("name", &name)
                           .ivar<&Shape::m_width>("_width")
                           .ivar<&Shape::m_tag>("_tag")
                           .registerClass();
    return cls;
}

Class Square::objcClass()
{
    static Class cls
        = ClassBuilder<Square>("RuntimeTestSquare", Shape::objcClass()).method("name", &squareName).ivar<&Square::m_corners>("_corners").registerClass();
    return cls;
}

[[maybe_unused]] Class registeredSquare = Square::objcClass();

}

TEST(Runtime, ClassesAreFoundByNameOnceRegisteredAndUnknownNamesGiveNull)
{
    EXPECT_EQ(objc_getClass("RuntimeTestSquare"), Square::objcClass());
    EXPECT_EQ(objc_getClass("NSObject"), NSObject::objcClass());
    EXPECT_EQ(class_getSuperclass(Square::objcClass()), Shape::objcClass());
    EXPECT_EQ(objc_getClass("RuntimeTestCircle"), nullptr);
    EXPECT_EQ(objc_getClass(nullptr), nullptr);
    EXPECT_STREQ(class_getName(objc_getClass("RuntimeTestShape")), "RuntimeTestShape");
}

TEST(Runtime, SelectorsAreInternedByName)
{
    EXPECT_EQ(sel_registerName("initWithFrame:"), sel_registerName(std::string("initWith") + "Frame:"));
    EXPECT_NE(sel_registerName("initWithFrame:"), sel_registerName("initWithFrame"));
    EXPECT_STREQ(sel_getName(sel_registerName("areaScaledBy:")), "areaScaledBy:");
}

TEST(Runtime, MessagesReachTheMostDerivedImplementationAndInheritTheRest)
{
    auto square = adoptRef(*new Square);
    square->m_width = 3;
    EXPECT_STREQ(objc_msgSend<const char*()>(square.ptr(), sel_registerName("name")), "square");
    EXPECT_DOUBLE_EQ(objc_msgSend<double()>(square.ptr(), sel_registerName("area")), 9);
    EXPECT_DOUBLE_EQ(objc_msgSend<double(double)>(square.ptr(), sel_registerName("areaScaledBy:"), 2.0), 18);
    EXPECT_STREQ(objc_msgSendSuper<const char*()>(Square::objcClass(), square.ptr(), sel_registerName("name")), "shape");
    EXPECT_EQ(object_getClass(square.ptr()), Square::objcClass());
    EXPECT_TRUE(square->isKindOfClass(Shape::objcClass()));
    EXPECT_FALSE(adoptRef(*new Shape)->isKindOfClass(Square::objcClass()));
}

TEST(Runtime, AMessageToNilAnswersZero)
{
    EXPECT_EQ(objc_msgSend<double()>(nullptr, sel_registerName("area")), 0.0);
    EXPECT_EQ(objc_msgSend<id()>(nullptr, sel_registerName("anything")), nullptr);
}

TEST(RuntimeDeathTest, AMessageSentWithTheWrongSignatureStopsWithBothNamed)
{
    auto shape = adoptRef(*new Shape);
    EXPECT_DEATH(objc_msgSend<double(long)>(shape.ptr(), sel_registerName("areaScaledBy:"), 2L), "areaScaledBy:.*sent as.*long.*implemented as.*double");
    EXPECT_DEATH(objc_msgSend<void()>(shape.ptr(), sel_registerName("fly")), "RuntimeTestShape fly\\]: unrecognized selector");
}

TEST(Runtime, InstanceVariablesAreFoundByNameUpTheHierarchy)
{
    auto square = adoptRef(*new Square);
    Ivar width = class_getInstanceVariable(Square::objcClass(), "_width");
    Ivar corners = class_getInstanceVariable(Square::objcClass(), "_corners");
    ASSERT_TRUE(width && corners);
    EXPECT_EQ(ivar_getType(width), typeid(double));
    EXPECT_EQ(object_getIvarSlot(square.ptr(), width), &square->m_width);
    EXPECT_EQ(object_getIvarSlot(square.ptr(), corners), &square->m_corners);
    EXPECT_EQ(class_getInstanceVariable(Shape::objcClass(), "_corners"), nullptr);
    EXPECT_EQ(class_getInstanceVariable(Square::objcClass(), "_height"), nullptr);
    EXPECT_EQ(class_getInstanceVariable(nullptr, "_width"), nullptr);
}

TEST(Runtime, AllocMakesAnInstanceOfTheNamedClass)
{
    RefPtr<NSObject> object = class_createInstance(objc_getClass("RuntimeTestSquare"));
    ASSERT_TRUE(object);
    EXPECT_EQ(object_getClass(object.get()), Square::objcClass());
    EXPECT_EQ(static_cast<Square*>(object.get())->m_corners, 4);
    EXPECT_EQ(class_createInstance(nullptr), nullptr);
}

TEST(Runtime, AClassMadeAtRunTimeAnswersItsOwnAndInheritedMethods)
{
    // A name of its own on each run, so the test repeats in one process.
    static unsigned runCount = 0;
    std::string name = "RuntimeTestRoundedSquare" + std::to_string(runCount++);
    Class rounded = objc_allocateClassPair(Square::objcClass(), name.c_str());
    ASSERT_TRUE(rounded);
    EXPECT_EQ(objc_getClass(name.c_str()), nullptr); // not until registered
    class_addMethod(rounded, sel_registerName("name"), IMP(+[](id, SEL) -> const char* { return "rounded"; }));
    objc_registerClassPair(rounded);
    EXPECT_EQ(objc_allocateClassPair(Square::objcClass(), name.c_str()), nullptr);

    RefPtr<NSObject> object = class_createInstance(rounded);
    ASSERT_TRUE(object);
    EXPECT_EQ(object_getClass(object.get()), rounded);
    EXPECT_STREQ(objc_msgSend<const char*()>(object.get(), sel_registerName("name")), "rounded");
    EXPECT_DOUBLE_EQ(objc_msgSend<double()>(object.get(), sel_registerName("area")), 4);
}

TEST(Runtime, MethodTablesReplaceAndAddWithTheOldImplementationHandedBack)
{
    static unsigned runCount = 0;
    Class cls = objc_allocateClassPair(Shape::objcClass(), ("RuntimeTestReplaced" + std::to_string(runCount++)).c_str());
    objc_registerClassPair(cls);
    SEL op = sel_registerName("name");
    IMP inherited = class_getMethodImplementation(cls, op);
    EXPECT_TRUE(class_addMethod(cls, op, IMP(&squareName)));
    EXPECT_FALSE(class_addMethod(cls, op, IMP(&name))); // already its own
    EXPECT_EQ(class_replaceMethod(cls, op, IMP(&name)), IMP(&squareName));
    EXPECT_EQ(class_getMethodImplementation(cls, op), inherited);
    EXPECT_EQ(IMP(&area).as<double(id, SEL)>(), &area);
    EXPECT_EQ(IMP(&area).as<double(id, SEL, double)>(), nullptr);
}

TEST(AutoreleasePool, ObjectsLiveUntilTheirPoolCloses)
{
    bool isDestroyed = false;
    struct Watched : Shape {
        bool* flag;
        ~Watched() override { *flag = true; }
    };
    static Class watchedClass = ClassBuilder<Watched>("RuntimeTestWatched", Shape::objcClass()).registerClass();
    (void)watchedClass;

    std::size_t before = AutoreleasePool::pendingObjectCountForTesting();
    {
        AutoreleasePool outer;
        {
            AutoreleasePool inner;
            auto* object = new Watched;
            object->flag = &isDestroyed;
            objc_autorelease(adoptRef(*object).ptr());
            EXPECT_FALSE(isDestroyed);
            EXPECT_EQ(AutoreleasePool::pendingObjectCountForTesting(), before + 1);
        }
        EXPECT_TRUE(isDestroyed);
    }
    EXPECT_EQ(AutoreleasePool::pendingObjectCountForTesting(), before);
}
