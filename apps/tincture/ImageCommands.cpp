// The subcommands on pictures: gradient (drawn to a PNG, or as colours with
// --steps), pixel, average and colors (many files on every core).

#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>

#include <CLI/CLI.hpp>

#include <UIImage+TincturePrivate.h>
#include <objc/AutoreleasePool.h>
#include <tincture/ImagePalette.h>
#include <tincture/ImageReadFailure.h>
#include <tincture/NSArray+Tincture.h>
#include <tincture/UIColor+Tincture.h>
#include <uikit/UIImage.h>

#include "ColorArguments.h"
#include "Commands.h"
#include "Output.h"
#include "ValueCommands.h"

namespace {

// The cores this process may run on (taskset, a container's limit), not all the machine's.
std::size_t usableCoreCount()
{
    cpu_set_t cores;
    if (::sched_getaffinity(0, sizeof cores, &cores) == 0)
        return static_cast<std::size_t>(CPU_COUNT(&cores));
    return std::thread::hardware_concurrency();
}

RefPtr<UIImage> readImage(const std::string& path, int reduction = 1)
{
    auto image = UIImage::readHostFile(path, reduction);
    if (!image) {
        std::cerr << "tincture: " << tincture::imageReadFailureMessage(path, image.error()) << "\n";
        return nullptr;
    }
    return *image;
}

// The palettes of many images, on every core, printed in the order given as
// each is ready: with --json one line per file, {"file","colors"} or
// {"file","error"}; else the file's name and its colours. A bad file gets its
// error and the others go on. A progress bar on a terminal for more than a
// few files. Answers whether every file was read.
bool printColorsOfImages(const Output& output, const std::vector<std::string>& paths, tincture::Flat flat)
{
    struct Result {
        bool isDone { false };
        std::vector<Ref<UIColor>> colors;
        std::string error;
    };
    std::vector<Result> results(paths.size());
    std::mutex lock;
    std::condition_variable ready;
    std::atomic<std::size_t> next { 0 };
    auto work = [&] {
        for (std::size_t i; (i = next++) < paths.size();) {
            AutoreleasePool pool;
            Result result;
            if (auto image = UIImage::readHostFile(paths[i], tincture::paletteDecodeReduction))
                result.colors = tincture::array::arrayOfColorsFromImage(image->ptr(), flat);
            else
                result.error = tincture::imageReadFailureMessage(paths[i], image.error());
            std::lock_guard guard(lock);
            results[i] = std::move(result);
            results[i].isDone = true;
            ready.notify_all();
        }
    };
    std::size_t workerCount = std::clamp<std::size_t>(usableCoreCount(), 1, paths.size());
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < workerCount; ++i)
        workers.emplace_back(work);

    bool hasProgress = paths.size() > 4 && ::isatty(STDERR_FILENO);
    bool isEveryFileRead = true;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        Result result;
        {
            std::unique_lock guard(lock);
            ready.wait(guard, [&] { return results[i].isDone; });
            result = std::move(results[i]);
        }
        if (hasProgress)
            std::cerr << "\r\x1b[K";
        if (!result.error.empty()) {
            isEveryFileRead = false;
            if (output.isJSON())
                std::cout << jsonText({ { "file", paths[i] }, { "error", result.error } }) << "\n";
            std::cerr << "tincture: " << result.error << "\n";
        } else if (output.isJSON()) {
            std::cout << jsonText({ { "file", paths[i] }, { "colors", Output::colorsJSON(result.colors) } }) << "\n";
        } else {
            std::cout << paths[i] << "\n";
            for (auto& color : result.colors)
                std::cout << "  " << output.describe(color.ptr()) << "\n";
        }
        std::cout << std::flush;
        if (hasProgress) {
            constexpr std::size_t width = 30;
            std::size_t done = (i + 1) * width / paths.size();
            std::cerr << "[" << std::string(done, '#') << std::string(width - done, ' ') << "] " << i + 1 << "/" << paths.size() << std::flush;
        }
    }
    if (hasProgress)
        std::cerr << "\r\x1b[K" << std::flush;
    for (auto& worker : workers)
        worker.join();
    return isEveryFileRead;
}

struct GradientArguments {
    std::string style, size, outputFile;
    std::vector<std::string> colors;
    std::size_t steps { 0 };
};

int drawGradient(const Output& output, const GradientArguments& arguments)
{
    if (arguments.steps > 0) {
        if (arguments.size.empty() || !arguments.colors.empty() || !arguments.outputFile.empty()) {
            std::cerr << "tincture: gradient --steps takes two colours, A and B, and no file\n";
            return usageError;
        }
        return runGradientSteps(arguments.style, arguments.size, arguments.steps, output.isJSON());
    }
    if (!CLI::IsMember({ "horizontal", "radial", "vertical" })(std::string(arguments.style)).empty() || arguments.size.empty()
        || arguments.outputFile.empty()) {
        std::cerr << "tincture: gradient: STYLE (horizontal, radial or vertical), SIZE and -o FILE are required, or A B --steps N\n";
        return usageError;
    }
    double width = 0, height = 0;
    char separator = 0;
    std::istringstream size(arguments.size);
    if (!(size >> width >> separator >> height) || separator != 'x' || !size.eof() || !(width > 0) || !(height > 0) || !std::isfinite(width * height)) {
        std::cerr << "tincture: SIZE: \"" << arguments.size << "\" is not WxH with positive points\n";
        return usageError;
    }
    // The image has twice the points in pixels; a canvas has at most 32767 on a side.
    if (width > 16383 || height > 16383 || width * height * 4 > UIImage::maximumPixelCount) {
        std::cerr << "tincture: SIZE: " << arguments.size << " is too large (at most 16383 points a side and 25 million square points)\n";
        return usageError;
    }
    std::vector<Ref<UIColor>> stops;
    for (auto& stop : arguments.colors)
        stops.push_back(colorArgument(stop));
    if (arguments.colors.empty()) {
        // Every line must be a colour: a gradient with a stop missing is not the one asked for.
        if (forEachColor("", [&](const Ref<UIColor>& stop) { stops.push_back(stop); }) != 0)
            return usageError;
        if (stops.empty()) {
            std::cerr << "tincture: COLORS are required (or colours on standard input, one a line)\n";
            return usageError;
        }
    }
    std::int64_t style = arguments.style == "horizontal" ? 0 : arguments.style == "radial" ? 1 : 2;
    auto result = tincture::colorWithGradientStyle(style, CGRectMake(0, 0, width, height), stops);
    auto image = tincture::gradientImage();
    if (!result || !image || !image->writePNGToHostFile(arguments.outputFile)) {
        std::cerr << "tincture: could not write " << arguments.outputFile << "\n";
        return 1;
    }
    CGSize pixels = image->pixelSize();
    if (output.isJSON())
        std::cout << jsonText({ { "file", arguments.outputFile }, { "width", jsonNumber(pixels.width) }, { "height", jsonNumber(pixels.height) } }) << "\n";
    else
        std::cout << "wrote " << arguments.outputFile << " (" << pixels.width << "x" << pixels.height << " pixels)\n";
    return 0;
}

}

void addImageCommands(Commands& commands, const Output& output)
{
    auto gradientArguments = std::make_shared<GradientArguments>();
    auto* gradient = commands.add("gradient",
        "Draw a gradient colour's image to a PNG file: STYLE SIZE COLORS -o FILE; or, with --steps N, "
        "print N colours from A to B interpolated in OKLab: A B --steps N",
        [=, &output] { return drawGradient(output, *gradientArguments); });
    // Checked when it runs (with --steps it is a colour); the type still lists the styles for the completions.
    gradient->add_option("STYLE", gradientArguments->style, "horizontal, radial or vertical (with --steps: the first colour)")
        ->type_name("TEXT:{horizontal,radial,vertical}");
    gradient->add_option("SIZE", gradientArguments->size, "WxH in points; the image has the main screen's scale, 2 (with --steps: the last colour)");
    gradient->add_option("COLORS", gradientArguments->colors, "The colours, first to last; without them, standard input's lines")->check(colorValidator());
    gradient->add_option("-o,--output", gradientArguments->outputFile, "PNG file to write");
    gradient->add_option("--steps", gradientArguments->steps, "Print this many colours from A to B instead of drawing (2 to 1000)")->check(CLI::Range(2, 1000));

    struct PixelArguments {
        std::string image;
        double x { 0 }, y { 0 };
    };
    auto pixelArguments = std::make_shared<PixelArguments>();
    auto* pixel = commands.add("pixel", "The colour of one pixel of a PNG, JPEG, HEIC or WebP image (premultiplied)", [=, &output] {
        auto image = readImage(pixelArguments->image);
        if (!image)
            return usageError;
        auto color = tincture::colorFromImage(image.get(), { pixelArguments->x, pixelArguments->y });
        if (!color) {
            CGSize pixels = image->pixelSize();
            std::cerr << "tincture: (" << pixelArguments->x << ", " << pixelArguments->y << ") lies outside the " << pixels.width << "x" << pixels.height
                      << " pixels of " << pixelArguments->image << "\n";
            return usageError;
        }
        output.printColor(color.get());
        return 0;
    });
    pixel->add_option("IMAGE", pixelArguments->image)->required();
    pixel->add_option("X", pixelArguments->x)->required()->check(finiteNumber());
    pixel->add_option("Y", pixelArguments->y)->required()->check(finiteNumber());

    struct AverageArguments {
        std::string image;
        std::optional<double> alpha;
    };
    auto averageArguments = std::make_shared<AverageArguments>();
    auto* average = commands.add("average", "The average colour of an image, raised to saturation 0.15", [=, &output] {
        auto image = readImage(averageArguments->image);
        if (!image)
            return usageError;
        output.printColor(tincture::colorWithAverageColorFromImage(image.get(), averageArguments->alpha.value_or(1)).get());
        return 0;
    });
    average->add_option("IMAGE", averageArguments->image)->required();
    average->add_option("--alpha", averageArguments->alpha, "Alpha of the result (default 1)")->check(finiteNumber(0, 1));

    struct ColorsArguments {
        std::vector<std::string> images;
        bool isFlat { false };
    };
    auto colorsArguments = std::make_shared<ColorsArguments>();
    auto* colors = commands.add("colors", "The five dominant, clearly different colours of an image; of many images on every core", [=, &output] {
        auto flat = colorsArguments->isFlat ? tincture::Flat::Yes : tincture::Flat::No;
        // With --json one shape for one file or many: a {"file","colors"} line each.
        if (colorsArguments->images.size() > 1 || output.isJSON())
            return printColorsOfImages(output, colorsArguments->images, flat) ? 0 : usageError;
        auto image = readImage(colorsArguments->images.front(), tincture::paletteDecodeReduction);
        if (!image)
            return usageError;
        output.printColors(tincture::array::arrayOfColorsFromImage(image.get(), flat));
        return 0;
    });
    colors->add_option("IMAGE", colorsArguments->images, "One or more PNG, JPEG, HEIC or WebP files")->required();
    colors->add_flag("--flat", colorsArguments->isFlat, "Snap them to the flat palette");
}
