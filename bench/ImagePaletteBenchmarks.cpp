// The palette of a 4032 x 3024 photo, end to end: read, reduce, count, pick;
// on a smooth JPEG (/0) and on a camera-like one with texture and sensor
// noise (/1), whose reduced copy has as many colours as real photos'; and the
// camera-like one as JPEG, WebP and HEIC.

#include <benchmark/benchmark.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <unordered_set>

#include <UIImage+TincturePrivate.h>
#include <tincture/NSArray+Tincture.h>

#include "BenchmarkScratch.h"
#include "TestPhoto.h"

namespace {

const std::filesystem::path& photo(PhotoKind kind)
{
    // MENUTONE_BENCH_PHOTO (MENUTONE_BENCH_CAMERA_PHOTO) names another photo;
    // the comparison script passes the one it hands color-thief.
    auto make = [](PhotoKind kind, const char* variable, const char* name) {
        if (const char* given = std::getenv(variable); given && *given)
            return std::filesystem::path(given);
        auto file = benchmarkScratchFolder() / name;
        if (!writeTestPhoto(file, 4032, 3024, kind))
            std::abort();
        return file;
    };
    // Each made only when a benchmark asks for it: a photo takes seconds.
    if (kind == PhotoKind::Camera) {
        static const auto camera = make(PhotoKind::Camera, "MENUTONE_BENCH_CAMERA_PHOTO", "camera-photo.jpg");
        return camera;
    }
    static const auto smooth = make(PhotoKind::Smooth, "MENUTONE_BENCH_PHOTO", "photo.jpg");
    return smooth;
}

PhotoKind kindOf(const benchmark::State& state)
{
    return state.range(0) ? PhotoKind::Camera : PhotoKind::Smooth;
}

RefPtr<UIImage> reduced(const UIImage& image)
{
    return tincture::imageWithImage(&image, { std::floor(image.size().width / 8), std::floor(image.size().height / 8) });
}

void paletteOfPhoto(benchmark::State& state)
{
    const auto& path = photo(kindOf(state)); // made before the clock starts
    for (auto _ : state) {
        auto image = UIImage::imageWithContentsOfHostFile(path);
        benchmark::DoNotOptimize(tincture::array::arrayOfColorsFromImage(image.get(), tincture::Flat::No));
    }
}
BENCHMARK(paletteOfPhoto)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void readPhoto(benchmark::State& state)
{
    const auto& path = photo(kindOf(state));
    for (auto _ : state)
        benchmark::DoNotOptimize(UIImage::imageWithContentsOfHostFile(path));
}
BENCHMARK(readPhoto)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Also says how many distinct colours the reduced copy holds: what the
// palette's counted set has to count.
void reducePhoto(benchmark::State& state)
{
    auto image = UIImage::imageWithContentsOfHostFile(photo(kindOf(state)));
    for (auto _ : state)
        benchmark::DoNotOptimize(reduced(*image));
    auto copy = reduced(*image);
    cairo_surface_t* surface = copy->surface();
    std::unordered_set<std::uint32_t> colours;
    int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface) + cairo_image_surface_get_stride(surface) * y);
        colours.insert(row, row + width);
    }
    state.counters["distinctColours"] = static_cast<double>(colours.size());

    // How far the copy made from the picture decoded at an eighth (what
    // `tincture colors` reads) lies from the one made from the whole decode.
    auto eighth = UIImage::imageWithContentsOfHostFile(photo(kindOf(state)), 8);
    auto fromEighth = reduced(*eighth);
    cairo_surface_t* other = fromEighth->surface();
    cairo_surface_flush(other);
    double total = 0;
    int largest = 0;
    for (int y = 0; y < height; ++y) {
        auto* a = cairo_image_surface_get_data(surface) + cairo_image_surface_get_stride(surface) * y;
        auto* b = cairo_image_surface_get_data(other) + cairo_image_surface_get_stride(other) * y;
        for (int i = 0; i < width * 4; ++i) {
            int difference = std::abs(a[i] - b[i]);
            total += difference;
            largest = std::max(largest, difference);
        }
    }
    state.counters["eighthDecodeMeanDifference"] = total / (width * height * 4.0);
    state.counters["eighthDecodeLargestDifference"] = largest;
}
BENCHMARK(reducePhoto)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The palette as `tincture colors` makes it: the photo decoded at an eighth.
void paletteOfPhotoDecodedSmall(benchmark::State& state)
{
    const auto& path = photo(kindOf(state));
    for (auto _ : state) {
        auto image = UIImage::imageWithContentsOfHostFile(path, 8);
        benchmark::DoNotOptimize(tincture::array::arrayOfColorsFromImage(image.get(), tincture::Flat::No));
    }
}
BENCHMARK(paletteOfPhotoDecodedSmall)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same for the camera-like photo stored as a phone may store it: JPEG
// (/0), WebP (/1, decoded small by libwebp's rescaler), HEIC as one image
// (/2, which HEVC decodes only whole) and HEIC in 512-pixel tiles as an
// iPhone writes it (/3, its tiles decoded on every core).
void paletteOfCameraPhotoByFormat(benchmark::State& state)
{
    static const char* const names[] = { "camera-photo.jpg", "camera-photo.webp", "camera-photo-single.heic", "camera-photo-grid.heic" };
    auto path = benchmarkScratchFolder() / names[state.range(0)];
    auto layout = state.range(0) == 2 ? HEICLayout::SingleImage : HEICLayout::Grid;
    if (!std::filesystem::exists(path) && !writeTestPhoto(path, 4032, 3024, PhotoKind::Camera, layout))
        std::abort();
    for (auto _ : state) {
        auto image = UIImage::imageWithContentsOfHostFile(path, 8);
        benchmark::DoNotOptimize(tincture::array::arrayOfColorsFromImage(image.get(), tincture::Flat::No));
    }
}
BENCHMARK(paletteOfCameraPhotoByFormat)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

}
