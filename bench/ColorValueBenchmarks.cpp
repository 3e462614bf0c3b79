// The value types' hot paths, on random colours: the nearest flat colour,
// each conversion, a mix and a contrast.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include <tincture/Color.h>

namespace {

const std::vector<tincture::Color>& randomColors()
{
    static const auto colors = [] {
        std::mt19937_64 random(7);
        std::uniform_real_distribution<double> component(0, 1);
        std::vector<tincture::Color> made(4096);
        for (auto& color : made)
            color = tincture::Color::fromRGB(component(random), component(random), component(random));
        return made;
    }();
    return colors;
}

template <typename Body> void overColors(benchmark::State& state, Body body)
{
    auto& colors = randomColors();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(body(colors[i], colors[(i + 1) & 4095]));
        i = (i + 1) & 4095;
    }
    state.SetItemsProcessed(state.iterations());
}

void nearestFlat(benchmark::State& state)
{
    overColors(state, [](const tincture::Color& color, const tincture::Color&) { return tincture::nearestFlat(color); });
}
BENCHMARK(nearestFlat);

void toOKLCH(benchmark::State& state)
{
    overColors(state, [](const tincture::Color& color, const tincture::Color&) { return color.oklch(); });
}
BENCHMARK(toOKLCH);

void toLab(benchmark::State& state)
{
    overColors(state, [](const tincture::Color& color, const tincture::Color&) { return color.lab(); });
}
BENCHMARK(toLab);

void toHSL(benchmark::State& state)
{
    overColors(state, [](const tincture::Color& color, const tincture::Color&) { return color.hsl(); });
}
BENCHMARK(toHSL);

void fromOKLCH(benchmark::State& state)
{
    overColors(state, [](const tincture::Color& color, const tincture::Color&) {
        return tincture::Color::fromOKLCH({ color.red(), color.green() * 0.3, color.blue() * 360 });
    });
}
BENCHMARK(fromOKLCH);

void mixInOKLab(benchmark::State& state)
{
    overColors(state, [](const tincture::Color& a, const tincture::Color& b) { return tincture::mix(a, b, 0.3); });
}
BENCHMARK(mixInOKLab);

void contrastRatio(benchmark::State& state)
{
    overColors(state, [](const tincture::Color& a, const tincture::Color& b) { return tincture::contrastRatio(a, b); });
}
BENCHMARK(contrastRatio);

void parseOKLCH(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(tincture::Color::parse("oklch(62.8% 0.258 29.23)"));
}
BENCHMARK(parseOKLCH);

}

namespace {

// A million colours at once, on every core.
void nearestFlatOfAMillion(benchmark::State& state)
{
    auto& some = randomColors();
    std::vector<tincture::Color> colors(1'000'000);
    for (std::size_t i = 0; i < colors.size(); ++i)
        colors[i] = some[i & 4095];
    std::vector<tincture::FlatColor> nearest(colors.size());
    for (auto _ : state) {
        tincture::nearestFlat(colors, nearest);
        benchmark::DoNotOptimize(nearest.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(colors.size()));
}
BENCHMARK(nearestFlatOfAMillion)->Unit(benchmark::kMillisecond)->UseRealTime();

}
