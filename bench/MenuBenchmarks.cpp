// What the tweak costs SpringBoard: building a four-item menu with and
// without it, one replaced call against a direct one, and a posted change
// until LoadSettings has run; and a held press on the simulator's home
// screen with the picture of each step.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <corefoundation/CFNotificationCenter.h>
#include <corefoundation/CFRunLoop.h>
#include <device/DeviceRoot.h>
#include <foundation/NSDictionary.h>
#include <homescreen/HomeScreen.h>
#include <homescreen/SpringBoard.h>
#include <objc/MessageSend.h>
#include <store/SettingsStore.h>
#include <uikit/UIGraphics.h>
#include <uikit/UIViewRendering.h>

#include "BenchmarkScratch.h"
#include "ChildProcess.h"

namespace {

// A root with the sample apps (Photos has four items), with or without the tweak.
std::filesystem::path makeRoot(bool withTweak)
{
    static int made = 0;
    auto root = makeBenchmarkRoot(MENUTONE_COMMAND, "root" + std::to_string(++made));
    if (!withTweak)
        std::filesystem::remove(root / "Library/MobileSubstrate/DynamicLibraries/Menutone.dylib");
    return root;
}

void buildMenu(benchmark::State& state)
{
    auto& springBoard = SpringBoard::launch();
    auto photos = springBoard.applicationWithIdentifier("com.apple.mobileslideshow");
    for (auto _ : state)
        benchmark::DoNotOptimize(springBoard.pressIcon(*photos, 1));
}

// Runs before the tweak is injected: benchmarks run in the order they are registered.
void buildMenuHostOnly(benchmark::State& state)
{
    static auto root = makeRoot(false);
    DeviceRoot::setCurrent(root);
    buildMenu(state);
}
BENCHMARK(buildMenuHostOnly);

void directCall(benchmark::State& state)
{
    auto menu = adoptRef(*new SBApplicationShortcutMenu);
    SEL op = sel_registerName(updateBackgroundSelector);
    auto host = class_getMethodImplementation(SBApplicationShortcutMenu::objcClass(), op).as<void(id, SEL, double)>();
    for (auto _ : state) {
        host(menu.ptr(), op, 0.5);
        menu->m_updateBlurFractions.clear();
    }
}
BENCHMARK(directCall);

// -_updateBackgroundForBlurFraction: sent through the runtime, to whatever implementation stands.
void sendUpdateBackground(benchmark::State& state)
{
    auto menu = adoptRef(*new SBApplicationShortcutMenu);
    SEL op = sel_registerName(updateBackgroundSelector);
    for (auto _ : state) {
        objc_msgSend<void(double)>(menu.ptr(), op, 0.5);
        menu->m_updateBlurFractions.clear();
    }
}

void messageHostOnly(benchmark::State& state)
{
    sendUpdateBackground(state);
}
BENCHMARK(messageHostOnly);

void injectTweak()
{
    static auto root = makeRoot(true);
    DeviceRoot::setCurrent(root);
    static bool isInjected = !substrate::loadTweakLibraries(SpringBoard::bundleIdentifier, SpringBoard::executableName).empty();
    (void)isInjected;
}

void buildMenuWithTweak(benchmark::State& state)
{
    injectTweak();
    buildMenu(state);
}
BENCHMARK(buildMenuWithTweak);

void messageThroughReplacement(benchmark::State& state)
{
    injectTweak();
    sendUpdateBackground(state);
}
BENCHMARK(messageThroughReplacement);

// A post travels through the root's notify folder and inotify, as from another process.
void notificationToReload(benchmark::State& state)
{
    injectTweak();
    auto* center = CFNotificationCenterGetDarwinNotifyCenter();
    for (auto _ : state) {
        CFNotificationCenterPostNotification(center, CFSTR("com.harbrook.Menutone.notify"), nullptr, nullptr, true);
        while (CFRunLoop::main().runOnce(std::chrono::seconds(1)) == 0) { }
    }
}
BENCHMARK(notificationToReload);

}

namespace {

// Across processes: another process observes with `menutone notify --wait`
// and prints a line per delivery; each post waits for that line.
void notificationToAnotherProcess(benchmark::State& state)
{
    static auto root = makeRoot(true);
    ChildProcess observer({ MENUTONE_COMMAND, "notify", "--wait", kMenutoneSettingsChangedNotification, "--root", root.string() });
    observer.waitForLine(); // "waiting for ..."
    DeviceRoot::setCurrent(root);
    auto* center = CFNotificationCenterGetDarwinNotifyCenter();
    for (auto _ : state) {
        CFNotificationCenterPostNotification(center, CFSTR("com.harbrook.Menutone.notify"), nullptr, nullptr, true);
        observer.waitForLine();
    }
}
BENCHMARK(notificationToAnotherProcess);

// The whole road of a change: posted here, delivered to a process with the
// tweak loaded (as SpringBoard), until its LoadSettings has read the store
// back, with every key set (five archived colours among them). /1 writes
// the store first, as the Settings app does before it posts.
void settingsChangeToLoadSettingsInAnotherProcess(benchmark::State& state)
{
    static auto root = [] {
        auto made = makeRoot(true);
        std::string defaults = std::string(MENUTONE_COMMAND) + " defaults --root '" + made.string() + "' write --no-notify com.harbrook.Menutone ";
        for (const char* setting : { "isShortcutPreset -bool true", "isShortcutBorder -bool true", "shortcutBlurStyle -int 3", "shortcutTitleColor -int 12",
                 "shortcutSubtitleColor -int 20", "shortcutIconColor -int 31", "shortcutBackgroundColor -int 7", "shortcutBorderColor -int 44",
                 "shortcutTitleFont -string DejaVuSans-Bold", "shortcutSubtitleFont -string DejaVuSerif", "shortcutTitlePresetColor -color '#1E88E5'",
                 "shortcuSubtitlePresetColor -color '#43A047'", "shortcutIconPresetColor -color '#FB8C00'", "shortcutBackgroundPresetColor -color '#F5F5F5'",
                 "shortcutBorderPresetColor -color '#263238'" }) {
            if (std::system((defaults + setting + " > /dev/null").c_str()) != 0)
                std::abort();
        }
        return made;
    }();
    bool isWritingFirst = state.range(0) == 1;
    ChildProcess springBoard({ SETTINGS_RELOAD_OBSERVER, root.string() });
    springBoard.waitForLine(); // "ready"
    DeviceRoot::setCurrent(root);
    auto settings = NSDictionary::dictionaryWithContentsOfFile(kMenutoneSettingsPath);
    if (!settings)
        std::abort();
    auto* center = CFNotificationCenterGetDarwinNotifyCenter();
    for (auto _ : state) {
        if (isWritingFirst && !settings->writeToFile(kMenutoneSettingsPath, Atomically::Yes))
            std::abort();
        CFNotificationCenterPostNotification(center, CFStringMakeConstantString(kMenutoneSettingsChangedNotification), nullptr, nullptr, true);
        springBoard.waitForLine(); // "reloaded"
    }
}
BENCHMARK(settingsChangeToLoadSettingsInAnotherProcess)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}

namespace {

// A held press on the simulator's home screen until the full press, with
// its picture drawn and encoded for the browser: once at the end (/1), or
// at each of the five steps as the phone sends them (/5), on an iPhone 6s
// (/0, @2x) or a 6s Plus (/1, @3x). The backdrop is blurred once per press.
void pressWithPicture(benchmark::State& state)
{
    injectTweak();
    auto& loop = CFRunLoop::main();
    loop.useManualClock();
    UIScreen::mainScreen().setDevice(state.range(1) ? DeviceModel::iPhone6sPlus : DeviceModel::iPhone6s);
    HomeScreen home(SpringBoard::launch());
    CGRect photos = home.iconFrame("com.apple.mobileslideshow");
    CGPoint point { photos.origin.x + photos.size.width / 2, photos.origin.y + 30 };
    int pictures = static_cast<int>(state.range(0));
    auto step = std::chrono::duration_cast<Nanoseconds>(HomeScreen::fullPressDuration / pictures);
    std::size_t bytes = 0;
    for (auto _ : state) {
        home.touchDown(point);
        for (int i = 0; i < pictures; ++i) {
            loop.advanceClock(step);
            loop.runUntilIdle();
            auto picture = imageOfViewHierarchy(home.window());
            bytes += UIImageJPEGRepresentation(*picture, 0.85).size();
        }
        if (!home.isMenuOpen())
            std::abort();
        state.PauseTiming();
        home.closeMenu();
        loop.advanceClock(std::chrono::seconds(1));
        loop.runUntilIdle();
        state.ResumeTiming();
    }
    state.counters["jpegBytesPerPicture"] = benchmark::Counter(static_cast<double>(bytes) / pictures, benchmark::Counter::kAvgIterations);
    UIScreen::mainScreen().setDevice(DeviceModel::iPhone6s);
}
BENCHMARK(pressWithPicture)->ArgsProduct({ { 1, HomeScreen::pressSteps }, { 0, 1 } })->Unit(benchmark::kMillisecond);

}
