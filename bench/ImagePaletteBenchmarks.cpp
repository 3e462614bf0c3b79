// The palette of a 4032 x 3024 JPEG photo, end to end: read, reduce, count, pick.

#include <benchmark/benchmark.h>

#include <cmath>

#include <cstdlib>
#include <filesystem>

#include <tincture/NSArray+Tincture.h>
#include <tincture/UIImage+TincturePrivate.h>

#include "TestPhoto.h"

namespace {

const std::filesystem::path& photo()
{
    static const auto path = [] {
        // MENUTONE_BENCH_PHOTO names another photo; the comparison script passes the one it hands color-thief.
        if (const char* given = std::getenv("MENUTONE_BENCH_PHOTO"); given && *given)
            return std::filesystem::path(given);
        auto file = std::filesystem::temp_directory_path() / "menutone-bench-photo.jpg";
        if (!std::filesystem::exists(file) && !writeTestPhoto(file))
            std::abort();
        return file;
    }();
    return path;
}

void paletteOfPhoto(benchmark::State& state)
{
    photo(); // made before the clock starts
    for (auto _ : state) {
        auto image = UIImage::imageWithContentsOfHostFile(photo());
        benchmark::DoNotOptimize(tincture::array::arrayOfColorsFromImage(image.get(), tincture::Flat::No));
    }
}
BENCHMARK(paletteOfPhoto)->Unit(benchmark::kMillisecond);

void readPhoto(benchmark::State& state)
{
    photo();
    for (auto _ : state)
        benchmark::DoNotOptimize(UIImage::imageWithContentsOfHostFile(photo()));
}
BENCHMARK(readPhoto)->Unit(benchmark::kMillisecond);

void reducePhoto(benchmark::State& state)
{
    auto image = UIImage::imageWithContentsOfHostFile(photo());
    for (auto _ : state)
        benchmark::DoNotOptimize(tincture::imageWithImage(image.get(), { std::floor(image->size().width / 8), std::floor(image->size().height / 8) }));
}
BENCHMARK(reducePhoto)->Unit(benchmark::kMillisecond);

}
