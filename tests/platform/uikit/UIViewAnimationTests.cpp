// Animations on a manual clock: each frame's step in order, eased as UIKit
// eases, and a still picture that wants the end gets it at once.

#include <gtest/gtest.h>

#include <cairo.h>

#include <cmath>

#include <corefoundation/CFRunLoop.h>
#include <uikit/UIColor.h>
#include <uikit/UIControl.h>
#include <uikit/UIViewAnimation.h>
#include <uikit/UIViewRendering.h>

namespace {

class UIViewAnimationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CFRunLoop::main().useManualClock(); }
    // An animation an earlier test left (its timer on another clock) ends first.
    void SetUp() override { UIViewAnimation::finishAll(); }
    void TearDown() override
    {
        UIViewAnimation::finishAll();
        UIViewAnimation::setFrameHandler(nullptr);
    }
    static void advance(double seconds)
    {
        CFRunLoop::main().advanceClock(std::chrono::duration_cast<Nanoseconds>(std::chrono::duration<double>(seconds)));
        CFRunLoop::main().runUntilIdle();
    }
};

// The curve's x and y for a parameter s, sampled finely: the time nearest t
// gives the progress.
double naiveEaseInOut(double t)
{
    auto bezier = [](double s, double p1, double p2) { return 3 * (1 - s) * (1 - s) * s * p1 + 3 * (1 - s) * s * s * p2 + s * s * s; };
    double best = 0, bestDistance = 2;
    for (int i = 0; i <= 200000; ++i) {
        double s = i / 200000.0;
        if (double distance = std::fabs(bezier(s, 0.42, 0.58) - t); distance < bestDistance) {
            bestDistance = distance;
            best = bezier(s, 0, 1);
        }
    }
    return best;
}

}

TEST(UIViewAnimationCurve, EaseInOutMatchesNaiveImplementation)
{
    for (double t : { 0.0, 0.05, 0.1, 0.25, 0.4, 0.5, 0.6, 0.75, 0.9, 1.0 })
        EXPECT_NEAR(UIViewAnimation::easeInOut(t), naiveEaseInOut(t), 1e-5) << t;
    EXPECT_NEAR(UIViewAnimation::easeInOut(0.5), 0.5, 1e-9) << "symmetric about the middle";
}

TEST_F(UIViewAnimationTest, EachFrameStepsOnceInOrderAndTheCompletionComesAfterTheLastStep)
{
    std::string log;
    int frames = 0;
    UIViewAnimation::setFrameHandler([&] { ++frames; });
    UIViewAnimation::run(
        UIViewAnimation::Seconds(0.04), [&](double progress) { log += "step(" + std::to_string(std::lround(progress * 100)) + ") "; }, [&] { log += "done"; });
    EXPECT_EQ(log, "step(0) ") << "the first step at once";
    EXPECT_TRUE(UIViewAnimation::isAnimating());
    for (int frame = 0; frame < 4; ++frame)
        advance(1.0 / 60);
    // Frames at 42% and 83% of 0.04 s, eased to 36% and 94%, then the end.
    EXPECT_EQ(log, "step(0) step(36) step(94) step(100) done");
    EXPECT_EQ(frames, 3);
    EXPECT_FALSE(UIViewAnimation::isAnimating());
}

TEST_F(UIViewAnimationTest, ASwitchFillsItsTrackOverFramesAndAStillPictureShowsItsEnd)
{
    auto toggle = UISwitch::create(CGRectMake(0, 0, 51, 31));
    toggle->setOnTintColor(UIColor::colorWithRed(1, 0, 0, 1));
    // Near the off end: the knob (white) when off, the on-tint track when on.
    auto trackGreen = [&] {
        auto image = imageOfViewHierarchy(toggle.get(), 1);
        cairo_surface_t* surface = image->surface();
        cairo_surface_flush(surface);
        auto* row = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface) + 15 * cairo_image_surface_get_stride(surface));
        return static_cast<int>(row[5] >> 8 & 0xff);
    };
    EXPECT_EQ(trackGreen(), 255) << "off: white";
    toggle->toggleByUser(true);
    EXPECT_TRUE(toggle->isOn()) << "the value changes at once; only the picture moves";
    advance(0.125);
    int midway = trackGreen();
    EXPECT_GT(midway, 40);
    EXPECT_LT(midway, 215);
    UIViewAnimation::finishAll();
    EXPECT_EQ(trackGreen(), 0) << "on: the on-tint";
    toggle->setOn(false);
    EXPECT_EQ(trackGreen(), 255) << "setOn: without animation jumps";
}

TEST_F(UIViewAnimationTest, WithAnimationsOffAnAnimationEndsAtOnce)
{
    std::string log;
    UIViewAnimation::setAnimationsEnabled(false);
    UIViewAnimation::run(
        UIViewAnimation::Seconds(1), [&](double progress) { log += "step(" + std::to_string(std::lround(progress * 100)) + ") "; }, [&] { log += "done"; });
    UIViewAnimation::setAnimationsEnabled(true);
    EXPECT_EQ(log, "step(100) done");
    EXPECT_FALSE(UIViewAnimation::isAnimating());
}
