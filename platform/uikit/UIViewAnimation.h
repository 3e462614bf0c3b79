#pragma once

// Animations as UIKit runs them on the main run loop: a value eased from 0
// to 1 over a duration (UIViewAnimationCurveEaseInOut), stepped at every
// display frame, 60 a second. A host that shows pictures is told after each
// frame's steps, so an animation reaches it as frames, not as a jump.

#include <chrono>
#include <functional>

#include <objc/RefPtr.h>

class UIViewAnimation {
public:
    using Seconds = std::chrono::duration<double>;
    static constexpr Seconds frameInterval { 1.0 / 60 };

    // Calls step with the eased progress at each frame, the first at once
    // with 0 and the last with 1, then the completion.
    static void run(Seconds duration, std::function<void(double progress)> step, std::function<void()> completion = {});
    // Brings every running animation to its end now, as a still picture of
    // the screen wants it.
    static void finishAll();
    static bool isAnimating();
    // +[UIView setAnimationsEnabled:]: when off, an animation ends at once, as
    // hosts that only take still pictures want.
    static void setAnimationsEnabled(bool);
    static bool areAnimationsEnabled();
    // Told after the steps of each frame.
    static void setFrameHandler(std::function<void()>);

    // UIViewAnimationCurveEaseInOut: cubic-bezier(0.42, 0, 0.58, 1) at time t (0...1).
    static double easeInOut(double t);

    // A drawn value of a view (a switch's knob, a row's grey) taken from
    // where it is to `to`: at once when not animated or already there, else
    // over the duration. A step applies only while isStillWanted(owner): a
    // later change runs its own. The owner lives until the end.
    template <typename Owner, typename IsStillWanted>
    static void moveValue(Owner& owner, double Owner::*value, double to, bool isAnimated, Seconds duration, IsStillWanted isStillWanted)
    {
        double from = owner.*value;
        if (!isAnimated || from == to) {
            owner.*value = to;
            return;
        }
        run(duration, [protectedOwner = Ref<Owner>(owner), value, from, to, isStillWanted](double progress) {
            if (isStillWanted(protectedOwner.get()))
                protectedOwner.get().*value = from + (to - from) * progress;
        });
    }
};
