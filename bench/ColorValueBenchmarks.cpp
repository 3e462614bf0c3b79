// The value types' hot paths, on random colours: the nearest flat colour,
// each conversion, a mix and a contrast. Each runs on colours with any
// channels and on 8-bit ones (hex, rgb() in integers, photos' pixels),
// which are what most callers have.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include <tincture/Color.h>

namespace {

enum class Channels { Any, EightBit };

const std::vector<tincture::Color>& randomColors(Channels channels = Channels::Any)
{
    auto make = [](Channels kind) {
        std::mt19937_64 random(7);
        std::uniform_real_distribution<double> component(0, 1);
        std::uniform_int_distribution<int> byte(0, 255);
        std::vector<tincture::Color> made(4096);
        for (auto& color : made) {
            color = kind == Channels::Any ? tincture::Color::fromRGB(component(random), component(random), component(random))
                                          : tincture::Color::fromRGBA8(static_cast<std::uint8_t>(byte(random)), static_cast<std::uint8_t>(byte(random)),
                                              static_cast<std::uint8_t>(byte(random)));
        }
        return made;
    };
    static const auto any = make(Channels::Any);
    static const auto eightBit = make(Channels::EightBit);
    return channels == Channels::Any ? any : eightBit;
}

template <typename Body> void overColors(benchmark::State& state, Body body)
{
    auto& colors = randomColors(static_cast<Channels>(state.range(0)));
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
BENCHMARK(nearestFlat)->ArgName("eightBit")->Arg(0)->Arg(1);

void toOKLCH(benchmark::State& state)
{
    overColors(state, [](const tincture::Color& color, const tincture::Color&) { return color.oklch(); });
}
BENCHMARK(toOKLCH)->ArgName("eightBit")->Arg(0)->Arg(1);

void toLab(benchmark::State& state)
{
    overColors(state, [](const tincture::Color& color, const tincture::Color&) { return color.lab(); });
}
BENCHMARK(toLab)->ArgName("eightBit")->Arg(0)->Arg(1);

void toHSL(benchmark::State& state)
{
    overColors(state, [](const tincture::Color& color, const tincture::Color&) { return color.hsl(); });
}
BENCHMARK(toHSL)->ArgName("eightBit")->Arg(0)->Arg(1);

void fromOKLCH(benchmark::State& state)
{
    overColors(state, [](const tincture::Color& color, const tincture::Color&) {
        return tincture::Color::fromOKLCH({ color.red(), color.green() * 0.3, color.blue() * 360 });
    });
}
BENCHMARK(fromOKLCH)->ArgName("eightBit")->Arg(0)->Arg(1);

void mixInOKLab(benchmark::State& state)
{
    overColors(state, [](const tincture::Color& a, const tincture::Color& b) { return tincture::mix(a, b, 0.3); });
}
BENCHMARK(mixInOKLab)->ArgName("eightBit")->Arg(0)->Arg(1);

void contrastRatio(benchmark::State& state)
{
    overColors(state, [](const tincture::Color& a, const tincture::Color& b) { return tincture::contrastRatio(a, b); });
}
BENCHMARK(contrastRatio)->ArgName("eightBit")->Arg(0)->Arg(1);

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
