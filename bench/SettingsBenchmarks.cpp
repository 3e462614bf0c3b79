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

namespace {

SettingsApp& settingsApp()
{
    static SettingsApp* app = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "menutone-bench-XXXXXX").string();
        std::filesystem::path root = ::mkdtemp(pattern.data());
        std::string command = std::string(MENUTONE_COMMAND) + " root create '" + root.string() + "' > /dev/null";
        if (std::system(command.c_str()) != 0)
            std::abort();
        DeviceRoot::setCurrent(root);
        CFRunLoop::main().useManualClock();
        auto* made = new SettingsApp;
        if (!made->openEntry("MenutoneSettings").empty())
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
            if (!app.tapRow(row).empty())
                std::abort();
        }
        state.PauseTiming();
        for (std::size_t i = 0; i < path.size(); ++i)
            app.goBack();
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
    app.tapRow("Configuration");
    openScreen(state, { "Title color" });
    app.goBack();
}

void chooseColor(benchmark::State& state)
{
    auto& app = settingsApp();
    app.tapRow("Configuration");
    app.tapRow("Title color");
    long index = 0;
    for (auto _ : state) {
        if (!app.tapRow("0:" + std::to_string(++index % 49)).empty())
            std::abort();
    }
    app.goBack();
    app.goBack();
}

// The mail sheet with its package listing: dpkg runs while the user waits.
void composeSupportMail(benchmark::State& state)
{
    auto& app = settingsApp();
    app.tapRow("About");
    for (auto _ : state) {
        if (!app.tapRow("Email support").empty())
            std::abort();
        state.PauseTiming();
        app.goBack();
        state.ResumeTiming();
    }
    app.goBack();
}

}

BENCHMARK(composeSupportMail)->Unit(benchmark::kMillisecond);
BENCHMARK(openConfiguration)->Unit(benchmark::kMicrosecond);
BENCHMARK(openTitleColorPicker)->Unit(benchmark::kMicrosecond);
BENCHMARK(chooseColor)->Unit(benchmark::kMicrosecond);
