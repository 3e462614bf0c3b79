// What a user waits for in the Settings app: opening the configuration
// screen (twelve rows, the store read twice), opening a colour picker (49
// rows), a colour choice (read, atomic write, post) and the support mail
// sheet (the package listing by dpkg).

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include <corefoundation/CFRunLoop.h>
#include <device/DeviceRoot.h>
#include <settingsapp/SettingsApp.h>
#include <uikit/UIControl.h>
#include <uikit/UITableView.h>
#include <uikit/UIViewRendering.h>

#include "BenchmarkScratch.h"

namespace {

SettingsApp& settingsApp()
{
    static SettingsApp* app = [] {
        DeviceRoot::setCurrent(makeBenchmarkRoot(MENUTONE_COMMAND, "root"));
        CFRunLoop::main().useManualClock();
        auto* made = new SettingsApp;
        if (!made->openEntry("MenutoneSettings"))
            std::abort();
        return made;
    }();
    return *app;
}

void openScreen(benchmark::State& state, const std::vector<std::string>& path)
{
    auto& app = settingsApp();
    for (auto _ : state) {
        for (auto& row : path) {
            if (!app.tapRow(row))
                std::abort();
        }
        state.PauseTiming();
        for (std::size_t i = 0; i < path.size(); ++i)
            (void)app.goBack();
        CFRunLoop::main().advanceClock(std::chrono::seconds(1));
        CFRunLoop::main().runUntilIdle();
        state.ResumeTiming();
    }
}

void openConfiguration(benchmark::State& state)
{
    openScreen(state, { "Configuration" });
}

void openTitleColorPicker(benchmark::State& state)
{
    auto& app = settingsApp();
    (void)app.tapRow("Configuration");
    openScreen(state, { "Title color" });
    (void)app.goBack();
}

void chooseColor(benchmark::State& state)
{
    auto& app = settingsApp();
    (void)app.tapRow("Configuration");
    (void)app.tapRow("Title color");
    long index = 0;
    for (auto _ : state) {
        if (!app.tapRow("0:" + std::to_string(++index % 49)))
            std::abort();
    }
    (void)app.goBack();
    (void)app.goBack();
}

// The mail sheet with its package listing: dpkg runs while the user waits.
void composeSupportMail(benchmark::State& state)
{
    auto& app = settingsApp();
    (void)app.tapRow("About");
    for (auto _ : state) {
        if (!app.tapRow("Email support"))
            std::abort();
        state.PauseTiming();
        (void)app.goBack();
        state.ResumeTiming();
    }
    (void)app.goBack();
}

}

BENCHMARK(composeSupportMail)->Unit(benchmark::kMillisecond);
BENCHMARK(openConfiguration)->Unit(benchmark::kMicrosecond);
BENCHMARK(openTitleColorPicker)->Unit(benchmark::kMicrosecond);
BENCHMARK(chooseColor)->Unit(benchmark::kMicrosecond);

namespace {

// A touch in the simulator's Settings phone until its new picture is ready
// for the browser: the Enabled switch flips (the store written, the change
// posted), the screen is drawn and encoded.
void touchToPicture(benchmark::State& state)
{
    auto& app = settingsApp();
    auto* toggle = objc_dynamicCast<UISwitch>(app.topTable()->cellForRow(0, 0)->accessoryView());
    if (!toggle)
        std::abort();
    CGRect frame = toggle->convertRectToView(toggle->bounds(), nullptr);
    CGPoint middle { frame.origin.x + frame.size.width / 2, frame.origin.y + frame.size.height / 2 };
    for (auto _ : state) {
        if (!app.touch(middle))
            std::abort();
        auto picture = imageOfViewHierarchy(app.window());
        benchmark::DoNotOptimize(UIImageJPEGRepresentation(*picture, 0.85));
    }
}
BENCHMARK(touchToPicture)->Unit(benchmark::kMillisecond);

}
