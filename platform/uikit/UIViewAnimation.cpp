#include "UIViewAnimation.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include <corefoundation/CFRunLoop.h>

namespace {

struct Animation {
    Nanoseconds start;
    Nanoseconds duration;
    std::function<void(double)> step;
    std::function<void()> completion;
};

// The main thread's animations and the one timer that steps them.
std::vector<Animation> running;
std::optional<CFRunLoop::SourceID> frameTimer;
std::function<void()> frameHandler;
bool isEnabled = true;

void stepAll(bool isFinishing);

void scheduleFrame()
{
    if (frameTimer || running.empty())
        return;
    auto& loop = CFRunLoop::main();
    frameTimer = loop.addTimer(loop.now() + std::chrono::duration_cast<Nanoseconds>(UIViewAnimation::frameInterval), [] {
        frameTimer.reset();
        stepAll(false);
    });
}

void stepAll(bool isFinishing)
{
    Nanoseconds now = CFRunLoop::main().now();
    // A step or completion may start another animation: it joins the next frame.
    auto stepping = std::exchange(running, {});
    std::vector<std::function<void()>> completions;
    for (auto& animation : stepping) {
        double t = isFinishing || animation.duration.count() <= 0
            ? 1
            : std::clamp(static_cast<double>((now - animation.start).count()) / static_cast<double>(animation.duration.count()), 0.0, 1.0);
        animation.step(UIViewAnimation::easeInOut(t));
        if (t >= 1) {
            if (animation.completion)
                completions.push_back(std::move(animation.completion));
        } else
            running.push_back(std::move(animation));
    }
    for (auto& completion : completions)
        completion();
    if (frameHandler)
        frameHandler();
    scheduleFrame();
}

}

void UIViewAnimation::run(Seconds duration, std::function<void(double)> step, std::function<void()> completion)
{
    if (!isEnabled) {
        step(1);
        if (completion)
            completion();
        return;
    }
    step(0);
    running.push_back({ CFRunLoop::main().now(), std::chrono::duration_cast<Nanoseconds>(duration), std::move(step), std::move(completion) });
    scheduleFrame();
}

void UIViewAnimation::finishAll()
{
    if (running.empty())
        return;
    if (frameTimer) {
        CFRunLoop::main().cancelTimer(*frameTimer);
        frameTimer.reset();
    }
    // Completions may start more; a few rounds end those too.
    for (int round = 0; round < 8 && !running.empty(); ++round)
        stepAll(true);
}

bool UIViewAnimation::isAnimating()
{
    return !running.empty();
}

void UIViewAnimation::setAnimationsEnabled(bool enabled)
{
    isEnabled = enabled;
}

bool UIViewAnimation::areAnimationsEnabled()
{
    return isEnabled;
}

void UIViewAnimation::setFrameHandler(std::function<void()> handler)
{
    frameHandler = std::move(handler);
}

double UIViewAnimation::easeInOut(double t)
{
    // x(s) = 3(1-s)^2 s x1 + 3(1-s) s^2 x2 + s^3, solved for s by bisection
    // (x is increasing), then y(s) with the same form.
    constexpr double x1 = 0.42, x2 = 0.58;
    auto bezier = [](double s, double p1, double p2) { return 3 * (1 - s) * (1 - s) * s * p1 + 3 * (1 - s) * s * s * p2 + s * s * s; };
    t = std::clamp(t, 0.0, 1.0);
    double low = 0, high = 1;
    for (int i = 0; i < 40; ++i) {
        double middle = (low + high) / 2;
        (bezier(middle, x1, x2) < t ? low : high) = middle;
    }
    return bezier((low + high) / 2, 0, 1);
}
