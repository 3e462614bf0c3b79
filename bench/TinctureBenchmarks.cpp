// The colour library's hot paths: one CIEDE2000 distance, one nearest flat
// colour search (48 distances), one flat colour scheme.

#include <benchmark/benchmark.h>

#include <random>

#include <UIColor+TincturePrivate.h>
#include <tincture/NSArray+Tincture.h>
#include <tincture/UIColor+Tincture.h>

namespace {

struct Lab {
    double l, a, b;
};

std::vector<Lab> randomLabs()
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> component(0, 1);
    std::vector<Lab> labs(1024);
    for (auto& lab : labs)
        tincture::getLightness(UIColor::colorWithRed(component(random), component(random), component(random), 1).ptr(), &lab.l, &lab.a, &lab.b, nullptr);
    return labs;
}

void distance(benchmark::State& state)
{
    auto labs = randomLabs();
    std::size_t i = 0;
    for (auto _ : state) {
        auto& x = labs[i++ & 1023];
        auto& y = labs[i & 1023];
        benchmark::DoNotOptimize(tincture::totalSumOfDifferencesFroml1(x.l, y.l, x.a, y.a, x.b, y.b));
    }
}
BENCHMARK(distance);

void nearestFlatColor(benchmark::State& state)
{
    auto labs = randomLabs();
    std::size_t i = 0;
    for (auto _ : state) {
        auto& x = labs[i++ & 1023];
        benchmark::DoNotOptimize(tincture::nearestFlatColorForL(x.l, x.a, x.b, 1));
    }
}
BENCHMARK(nearestFlatColor);

void flatScheme(benchmark::State& state)
{
    auto base = tincture::flatRedColor();
    for (auto _ : state)
        benchmark::DoNotOptimize(tincture::array::arrayOfColorsWithColorScheme(tincture::array::ColorSchemeAnalogous, base.ptr(), tincture::Flat::Yes));
}
BENCHMARK(flatScheme);

}
