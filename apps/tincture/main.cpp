// tincture: the colour library from the shell.

#include <sched.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <sstream>
#include <thread>

#include <condition_variable>
#include <functional>
#include <mutex>

#include <CLI/CLI.hpp>

#include <UIColor+TincturePrivate.h>
#include <UIImage+TincturePrivate.h>
#include <device/DeviceRoot.h>
#include <foundation/NSBundle.h>
#include <objc/AutoreleasePool.h>
#include <tincture/FlatPalette.h>
#include <tincture/ImageReadFailure.h>
#include <tincture/NSArray+Tincture.h>
#include <tincture/UIColor+Tincture.h>

#include <tincture/ImagePalette.h>

#include "FormatCommand.h"
#include "ValueCommands.h"
#include <common/ColorDescription.h>
#include <common/ColorText.h>
#include <common/CommandLine.h>
#include <common/JSON.h>
#include <common/PaletteIndexText.h>
#include <common/Swatch.h>
#include <common/Validators.h>

namespace {

constexpr int usageError = 2;

// --format: one colour a line, for pipelines.
enum class LineFormat { None, Hex, RGB, HSL, JSON };

struct Output {
    bool isJSON { false };
    LineFormat format { LineFormat::None };
    SwatchDepth swatches { SwatchDepth::None };
};
Output output;

std::string describe(const UIColor* color)
{
    return colorDescription(color, output.swatches);
}

JSON colorsJSON(const std::vector<Ref<UIColor>>& colors)
{
    JSON list = JSON::array();
    for (auto& color : colors)
        list.push_back(namedColorJSON(color.ptr()));
    return list;
}

std::string colorLine(const UIColor* color)
{
    switch (output.format) {
    case LineFormat::Hex:
        return color ? colorText(*color, ColorTextFormat::Hex) : "none";
    case LineFormat::RGB:
        return color ? colorText(*color, ColorTextFormat::RGB) : "none";
    case LineFormat::HSL:
        return color ? colorText(*color, ColorTextFormat::HSL) : "none";
    case LineFormat::JSON:
        return jsonText(namedColorJSON(color));
    case LineFormat::None:
        break;
    }
    return output.isJSON ? jsonText(namedColorJSON(color)) : describe(color);
}

void printColor(const UIColor* color)
{
    std::cout << colorLine(color) << "\n";
}

void printColors(const std::vector<Ref<UIColor>>& colors)
{
    if (!output.isJSON || output.format != LineFormat::None) {
        for (auto& color : colors)
            std::cout << colorLine(color.ptr()) << "\n";
        return;
    }
    std::cout << jsonText(colorsJSON(colors)) << "\n";
}

void printQuadruple(const std::array<double, 4>& values, const char* names[4])
{
    if (output.isJSON) {
        JSON json = JSON::object();
        for (int i = 0; i < 4; ++i)
            json[names[i]] = jsonNumber(values[i]);
        std::cout << jsonText(json) << "\n";
        return;
    }
    for (int i = 0; i < 4; ++i)
        std::cout << (i ? " " : "") << names[i] << "=" << shortestDecimal(values[i]);
    std::cout << "\n";
}

// The cores this process may run on (taskset, a container's limit), not all the machine's.
std::size_t usableCoreCount()
{
    cpu_set_t cores;
    if (::sched_getaffinity(0, sizeof cores, &cores) == 0)
        return static_cast<std::size_t>(CPU_COUNT(&cores));
    return std::thread::hardware_concurrency();
}

// The palettes of many images, on every core, printed in the order given as
// each is ready: with --json one line per file, {"file","colors"} or
// {"file","error"}; else the file's name and its colours. A bad file gets its
// error and the others go on. A progress bar on a terminal for more than a
// few files. Answers whether every file was read.
bool printColorsOfImages(const std::vector<std::string>& paths, tincture::Flat flat)
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
            if (output.isJSON)
                std::cout << jsonText({ { "file", paths[i] }, { "error", result.error } }) << "\n";
            std::cerr << "tincture: " << result.error << "\n";
        } else if (output.isJSON) {
            std::cout << jsonText({ { "file", paths[i] }, { "colors", colorsJSON(result.colors) } }) << "\n";
        } else {
            std::cout << paths[i] << "\n";
            for (auto& color : result.colors)
                std::cout << "  " << describe(color.ptr()) << "\n";
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

// CLI11 validation of a COLOR argument, so a bad one is a usage error like any other.
CLI::Validator colorValidator()
{
    return CLI::Validator(
        [](std::string& text) {
            auto color = parseColorText(text);
            return color ? std::string() : color.error().message;
        },
        "COLOR");
}

// A number that is finite (CLI11 takes "nan" and "inf" as doubles, and NaN
// passes any range), optionally within [minimum, maximum].
CLI::Validator finiteNumber(double minimum = -HUGE_VAL, double maximum = HUGE_VAL)
{
    return CLI::Validator(
        [=](std::string& text) -> std::string {
            char* end = nullptr;
            double value = std::strtod(text.c_str(), &end);
            if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value))
                return "\"" + text + "\" is not a finite number";
            if (value < minimum || value > maximum)
                return "\"" + text + "\" is not in [" + shortestDecimal(minimum) + ", " + shortestDecimal(maximum) + "]";
            return {};
        },
        "NUMBER");
}

Ref<UIColor> colorArgument(const std::string& text)
{
    return *parseColorText(text);
}

// The colours to work on: the argument, or else standard input's lines, one
// colour a line. A bad line is said with its number and skipped; the answer
// is the exit status.
int forEachColor(const std::string& argument, const std::function<void(const Ref<UIColor>&)>& body)
{
    if (!argument.empty()) {
        body(colorArgument(argument));
        return 0;
    }
    if (::isatty(STDIN_FILENO)) {
        std::cerr << "tincture: COLOR is required (or colours on standard input, one a line)\n";
        return usageError;
    }
    int status = 0;
    std::string line;
    for (std::size_t number = 1; std::getline(std::cin, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        auto color = parseColorText(line);
        if (!color) {
            std::cerr << "tincture: line " << number << ": " << color.error().message << "\n";
            status = usageError;
            continue;
        }
        body(*color);
        std::cout << std::flush;
    }
    return status;
}

}

int main(int argc, char** argv)
{
    NSBundle::mainBundle().setBundleIdentifier("com.harbrook.tincture");

    CLI::App app { "Tincture, the flat colour library, from the shell. A COLOR is #RGB, #RGBA, #RRGGBB or #RRGGBBAA; rgb(255 0 0), rgb(255, 0, 0) or "
                   "rgba(...); hsl(0 100% 50%) or hsl(0, 100%, 50%); r,g,b or r,g,b,a in 0..1; hsb(H,S,B) in degrees and percents; a palette name such "
                   "as flatRedColor; or a CSS name such as rebeccapurple. Without a COLOR, colours come on standard input, one a line.",
        "tincture" };
    app.require_subcommand(1);
    app.set_version_flag("--version", "tincture 0.1.0");
    app.set_help_all_flag("--help-all", "Print the help of every subcommand");
    std::string root;
    app.add_option("--root", root, "Device root for the user defaults that keep the last random pick");
    bool isJSON = false;
    app.add_flag("--json", isJSON, "Print JSON: a colour is {\"r\",\"g\",\"b\",\"a\"}, with \"name\" when it is a flat colour");
    std::string formatName;
    const auto formats = CLI::IsMember({ "hex", "rgb", "hsl", "json" });
    app.add_option("--format", formatName, "Colours one a line, for pipelines: hex, rgb, hsl or json")->check(formats);
    std::string colorChoice = "auto";
    app.add_option("--color", colorChoice, "Swatches before colours: auto (in a terminal, unless NO_COLOR or TERM=dumb), always or never")
        ->check(CLI::IsMember({ "auto", "always", "never" }));
    auto addCommonOptions = [&](CLI::App* command) {
        command->add_flag("--json", isJSON, "Print JSON");
        command->add_option("--format", formatName, "Colours one a line: hex, rgb, hsl or json")->check(formats);
        command->add_option("--color", colorChoice, "Swatches: auto, always or never")->check(CLI::IsMember({ "auto", "always", "never" }));
        command->add_option("--root", root, "Device root for the user defaults");
    };

    std::string color, text;
    std::optional<double> alpha;
    double amount = 0;
    bool isFlat = false;
    std::int64_t index = 0;
    std::vector<double> labs;
    std::string schemeName, shade = "light";
    std::vector<std::string> shiftArguments;

    auto* palette = app.add_subcommand("palette", "The 48 flat colours in list order");
    auto* indexCommand = app.add_subcommand("index", "Moved to `menutone index` (kept for one release): the colour of a palette index and its label");
    indexCommand->add_option("N", index, "Palette index")->required()->check(paletteIndex());
    auto* show = app.add_subcommand("show", "The colour as read: with --format, from one way of writing it to another");
    show->add_option("COLOR", color, "The colour; without it, colours on standard input, one a line")->check(colorValidator());
    auto* flattenCommand = app.add_subcommand("flatten", "The nearest flat colour (CIEDE2000)");
    flattenCommand->add_option("COLOR", color, "The colour; without it, colours on standard input, one a line")->check(colorValidator());
    flattenCommand->add_option("--alpha", alpha, "Alpha of the result (default: the colour's own, 1 for a transparent one)")->check(finiteNumber(0, 1));
    auto* lab = app.add_subcommand("lab", "CIE L*a*b* of a colour");
    lab->add_option("COLOR", color, "The colour; without it, colours on standard input, one a line")->check(colorValidator());
    auto* xyz = app.add_subcommand("xyz", "CIE XYZ of a colour (white Y = 100)");
    xyz->add_option("COLOR", color, "The colour; without it, colours on standard input, one a line")->check(colorValidator());
    auto* distance = app.add_subcommand("distance", "CIEDE2000 difference of two L*a*b* colours");
    distance->add_option("L1 a1 b1 L2 a2 b2", labs)->required()->expected(6)->check(finiteNumber());
    auto* complement = app.add_subcommand("complement", "The complementary flat colour");
    complement->add_option("COLOR", color, "The colour; without it, colours on standard input, one a line")->check(colorValidator());
    complement->add_option("--alpha", alpha, "Alpha of the result (default 1)")->check(finiteNumber(0, 1));
    auto* contrast = app.add_subcommand("contrast", "Black or white, readable on the colour; or, with a BACKGROUND, the contrast of the colour on it");
    contrast->add_option("COLOR", color, "The colour; without it, colours on standard input, one a line")->check(colorValidator());
    std::string background;
    bool isContrastChecked = false;
    contrast->add_option("BACKGROUND", background, "A background: print the WCAG 2 ratio of COLOR on it, its AA and AAA verdicts, and the APCA Lc");
    contrast->add_flag("--check", isContrastChecked, "With a BACKGROUND: exit 1 below AA for text (4.5:1)");
    contrast->add_flag("--flat", isFlat, "The flat black or white");
    contrast->add_option("--alpha", alpha, "Alpha of the result (default 1)")->check(finiteNumber(0, 1));
    auto* darken = app.add_subcommand("darken", "Lower the brightness by AMOUNT (0.1 is ten points)");
    darken->add_option("[COLOR] AMOUNT", shiftArguments, "The colour (without it, colours on standard input, one a line) and the amount")
        ->expected(1, 2)
        ->required();
    auto* lighten = app.add_subcommand("lighten", "Raise the brightness by AMOUNT (0.1 is ten points)");
    lighten->add_option("[COLOR] AMOUNT", shiftArguments, "The colour (without it, colours on standard input, one a line) and the amount")
        ->expected(1, 2)
        ->required();
    auto* scheme = app.add_subcommand("scheme", "Five colours of a scheme, in order");
    scheme->add_option("SCHEME", schemeName, "analogous, triadic or complementary")
        ->required()
        ->check(CLI::IsMember({ "analogous", "triadic", "complementary" }));
    scheme->add_option("COLOR", color, "The colour; without it, colours on standard input, one a line")->check(colorValidator());
    scheme->add_flag("--flat", isFlat, "Snap the colours to the flat palette");
    auto* hex = app.add_subcommand("hex", "The colour of a hex string, as the library reads one (#RGB, #RRGGBB, with or without #)");
    hex->add_option("STRING", text)->required();
    hex->add_option("--alpha", alpha, "Alpha (default 1)")->check(finiteNumber(0, 1));
    auto* random = app.add_subcommand("random", "A random flat colour, never the previous pick");
    random->add_option("--shade", shade, "light or dark (default: any of the 48)")->check(CLI::IsMember({ "light", "dark" }));
    random->add_option("--alpha", alpha, "Alpha (default 1)")->check(finiteNumber(0, 1));
    std::string styleName, sizeText, outputFile, imagePath;
    std::vector<std::string> colorTexts;
    double pointX = 0, pointY = 0;
    auto* gradient = app.add_subcommand("gradient",
        "Draw a gradient colour's image to a PNG file: STYLE SIZE COLORS -o FILE; or, with --steps N, "
        "print N colours from A to B interpolated in OKLab: A B --steps N");
    // Checked after parsing (with --steps it is a colour); the type still lists the styles for the completions.
    gradient->add_option("STYLE", styleName, "horizontal, radial or vertical (with --steps: the first colour)")->type_name("TEXT:{horizontal,radial,vertical}");
    gradient->add_option("SIZE", sizeText, "WxH in points; the image has the main screen's scale, 2 (with --steps: the last colour)");
    gradient->add_option("COLORS", colorTexts, "The colours, first to last; without them, standard input's lines")->check(colorValidator());
    gradient->add_option("-o,--output", outputFile, "PNG file to write");
    std::size_t gradientSteps = 0;
    gradient->add_option("--steps", gradientSteps, "Print this many colours from A to B instead of drawing (2 to 1000)")->check(CLI::Range(2, 1000));
    auto* pixel = app.add_subcommand("pixel", "The colour of one pixel of a PNG, JPEG, HEIC or WebP image (premultiplied)");
    pixel->add_option("IMAGE", imagePath)->required();
    pixel->add_option("X", pointX)->required()->check(finiteNumber());
    pixel->add_option("Y", pointY)->required()->check(finiteNumber());
    auto* average = app.add_subcommand("average", "The average colour of an image, raised to saturation 0.15");
    average->add_option("IMAGE", imagePath)->required();
    average->add_option("--alpha", alpha, "Alpha of the result (default 1)")->check(finiteNumber(0, 1));
    auto* colors = app.add_subcommand("colors", "The five dominant, clearly different colours of an image; of many images on every core");
    std::vector<std::string> imagePaths;
    colors->add_option("IMAGE", imagePaths, "One or more PNG, JPEG, HEIC or WebP files")->required();
    colors->add_flag("--flat", isFlat, "Snap them to the flat palette");

    for (auto* command : app.get_subcommands({}))
        addCommonOptions(command);
    std::string shellName;
    auto formatArguments = addFormatCommand(app);
    auto runValueCommand = addValueCommands(app);
    auto* completion = app.add_subcommand("completion", "Print a completion script for bash, zsh or fish");
    completion->add_option("SHELL", shellName, "bash, zsh or fish")->required()->check(CLI::IsMember({ "bash", "zsh", "fish" }));

    ManPageText manText { "the Tincture flat colour library from the shell",
        { { 0, "Success." }, { 1, "A file could not be read or written." }, { usageError, "The command line or a colour was wrong." } }, {} };
    if (auto status = parseCommandLine(app, "tincture", argc, argv, usageError, manText))
        return *status;
    if (completion->parsed()) {
        std::cout << completionScript(app, "tincture", *shellNamed(shellName));
        return 0;
    }

    if (formatArguments->command->parsed())
        return runFormatCommand(*formatArguments);
    if (int status = runValueCommand(); status >= 0)
        return status;
    if (!root.empty())
        DeviceRoot::setCurrent(root);
    output.isJSON = isJSON;
    output.format = formatName == "hex" ? LineFormat::Hex
        : formatName == "rgb"           ? LineFormat::RGB
        : formatName == "hsl"           ? LineFormat::HSL
        : formatName == "json"          ? LineFormat::JSON
                                        : LineFormat::None;
    output.swatches = isJSON || output.format != LineFormat::None
        ? SwatchDepth::None
        : swatchDepth(*colorChoiceNamed(colorChoice), ::isatty(STDOUT_FILENO), [](const char* name) { return std::getenv(name); });

    auto readImage = [&](int reduction = 1) -> RefPtr<UIImage> {
        auto image = UIImage::readHostFile(imagePath, reduction);
        if (!image) {
            std::cerr << "tincture: " << tincture::imageReadFailureMessage(imagePath, image.error()) << "\n";
            return nullptr;
        }
        return *image;
    };

    if (gradient->parsed() && gradientSteps > 0) {
        if (sizeText.empty() || !colorTexts.empty() || !outputFile.empty()) {
            std::cerr << "tincture: gradient --steps takes two colours, A and B, and no file\n";
            return usageError;
        }
        return runGradientSteps(styleName, sizeText, gradientSteps, output.isJSON);
    } else if (gradient->parsed()) {
        if (!CLI::IsMember({ "horizontal", "radial", "vertical" })(styleName).empty() || sizeText.empty() || outputFile.empty()) {
            std::cerr << "tincture: gradient: STYLE (horizontal, radial or vertical), SIZE and -o FILE are required, or A B --steps N\n";
            return usageError;
        }
        double width = 0, height = 0;
        char separator = 0;
        std::istringstream size(sizeText);
        if (!(size >> width >> separator >> height) || separator != 'x' || !size.eof() || !(width > 0) || !(height > 0) || !std::isfinite(width * height)) {
            std::cerr << "tincture: SIZE: \"" << sizeText << "\" is not WxH with positive points\n";
            return usageError;
        }
        // The image has twice the points in pixels; a canvas has at most 32767 on a side.
        if (width > 16383 || height > 16383 || width * height * 4 > UIImage::maximumPixelCount) {
            std::cerr << "tincture: SIZE: " << sizeText << " is too large (at most 16383 points a side and 25 million square points)\n";
            return usageError;
        }
        std::vector<Ref<UIColor>> stops;
        for (auto& stop : colorTexts)
            stops.push_back(colorArgument(stop));
        if (colorTexts.empty()) {
            // Every line must be a colour: a gradient with a stop missing is not the one asked for.
            if (forEachColor("", [&](const Ref<UIColor>& stop) { stops.push_back(stop); }) != 0)
                return usageError;
            if (stops.empty()) {
                std::cerr << "tincture: COLORS are required (or colours on standard input, one a line)\n";
                return usageError;
            }
        }
        std::int64_t style = styleName == "horizontal" ? 0 : styleName == "radial" ? 1 : 2;
        auto result = tincture::colorWithGradientStyle(style, CGRectMake(0, 0, width, height), stops);
        auto image = tincture::gradientImage();
        if (!result || !image || !image->writePNGToHostFile(outputFile)) {
            std::cerr << "tincture: could not write " << outputFile << "\n";
            return 1;
        }
        CGSize pixels = image->pixelSize();
        if (output.isJSON)
            std::cout << jsonText({ { "file", outputFile }, { "width", jsonNumber(pixels.width) }, { "height", jsonNumber(pixels.height) } }) << "\n";
        else
            std::cout << "wrote " << outputFile << " (" << pixels.width << "x" << pixels.height << " pixels)\n";
    } else if (pixel->parsed()) {
        auto image = readImage();
        if (!image)
            return usageError;
        auto color = tincture::colorFromImage(image.get(), { pointX, pointY });
        if (!color) {
            CGSize pixels = image->pixelSize();
            std::cerr << "tincture: (" << pointX << ", " << pointY << ") lies outside the " << pixels.width << "x" << pixels.height << " pixels of "
                      << imagePath << "\n";
            return usageError;
        }
        printColor(color.get());
    } else if (average->parsed()) {
        auto image = readImage();
        if (!image)
            return usageError;
        printColor(tincture::colorWithAverageColorFromImage(image.get(), alpha.value_or(1)).get());
    } else if (colors->parsed() && (imagePaths.size() > 1 || output.isJSON)) {
        // With --json one shape for one file or many: a {"file","colors"} line each.
        return printColorsOfImages(imagePaths, isFlat ? tincture::Flat::Yes : tincture::Flat::No) ? 0 : usageError;
    } else if (colors->parsed()) {
        imagePath = imagePaths.front();
        auto image = readImage(tincture::paletteDecodeReduction);
        if (!image)
            return usageError;
        printColors(tincture::array::arrayOfColorsFromImage(image.get(), isFlat ? tincture::Flat::Yes : tincture::Flat::No));
    } else if (palette->parsed()) {
        printColors(tincture::flatColors());
    } else if (indexCommand->parsed()) {
        std::cerr << "tincture: the palette index is Menutone's: `menutone index N` prints it; `tincture index` goes in the next release\n";
        std::cout << (output.isJSON ? paletteIndexJSON(index) : paletteIndexLine(index, output.swatches)) << "\n";
    } else if (show->parsed()) {
        return forEachColor(color, [&](const Ref<UIColor>& source) { printColor(source.ptr()); });
    } else if (flattenCommand->parsed()) {
        return forEachColor(color, [&](const Ref<UIColor>& source) {
            printColor((alpha ? tincture::colorWithFlatVersionOf(source.ptr(), *alpha) : tincture::flatten(source.ptr())).get());
        });
    } else if (lab->parsed() || xyz->parsed()) {
        return forEachColor(color, [&](const Ref<UIColor>& source) {
            double values[4];
            if (lab->parsed())
                tincture::getLightness(source.ptr(), &values[0], &values[1], &values[2], &values[3]);
            else
                tincture::getValueForX(source.ptr(), &values[0], &values[1], &values[2], &values[3]);
            const char* labNames[4] = { "L", "a", "b", "alpha" };
            const char* xyzNames[4] = { "X", "Y", "Z", "alpha" };
            printQuadruple({ values[0], values[1], values[2], values[3] }, lab->parsed() ? labNames : xyzNames);
        });
    } else if (distance->parsed()) {
        float difference = tincture::totalSumOfDifferencesFroml1(labs[0], labs[3], labs[1], labs[4], labs[2], labs[5]);
        std::cout << (output.isJSON ? jsonText({ { "distance", jsonNumber(difference) } }) : shortestDecimal(difference)) << "\n";
    } else if (complement->parsed()) {
        return forEachColor(
            color, [&](const Ref<UIColor>& source) { printColor(tincture::colorWithComplementaryFlatColorOf(source.ptr(), alpha.value_or(1)).get()); });
    } else if (contrast->parsed() && !background.empty()) {
        return runContrastReport(color, background, output.isJSON, isContrastChecked);
    } else if (contrast->parsed()) {
        return forEachColor(color, [&](const Ref<UIColor>& source) {
            printColor(
                tincture::colorWithContrastingBlackOrWhiteColorOn(source.ptr(), isFlat ? tincture::Flat::Yes : tincture::Flat::No, alpha.value_or(1)).ptr());
        });
    } else if (darken->parsed() || lighten->parsed()) {
        // [COLOR] AMOUNT: the amount is last, so that a pipeline gives it alone.
        std::string amountText = shiftArguments.back();
        color = shiftArguments.size() == 2 ? shiftArguments.front() : "";
        if (auto message = finiteNumber()(amountText); !message.empty()) {
            std::cerr << "tincture: AMOUNT: " << message << "\n";
            return usageError;
        }
        amount = std::strtod(amountText.c_str(), nullptr);
        if (auto parsed = parseColorText(color); !color.empty() && !parsed) {
            std::cerr << "tincture: COLOR: " << parsed.error().message << "\n";
            return usageError;
        }
        return forEachColor(color, [&](const Ref<UIColor>& source) {
            printColor((darken->parsed() ? tincture::darkenByPercentage(source.ptr(), amount) : tincture::lightenByPercentage(source.ptr(), amount)).get());
        });
    } else if (scheme->parsed()) {
        auto code = schemeName == "analogous" ? tincture::array::ColorSchemeAnalogous
            : schemeName == "triadic"         ? tincture::array::ColorSchemeTriadic
                                              : tincture::array::ColorSchemeComplementary;
        return forEachColor(color, [&](const Ref<UIColor>& source) {
            printColors(tincture::array::arrayOfColorsWithColorScheme(code, source.ptr(), isFlat ? tincture::Flat::Yes : tincture::Flat::No));
        });
    } else if (hex->parsed()) {
        // The library reads what is not hex as black, as its device API
        // does; the command says so instead, once.
        std::string_view digits = std::string_view(text).substr(text.starts_with("#") ? 1 : 0);
        bool isHex = (digits.size() == 3 || digits.size() == 6)
            && std::all_of(digits.begin(), digits.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
        auto result = isHex ? tincture::colorWithHexString(text, alpha.value_or(1)) : nullptr;
        if (!result) {
            std::cerr << "tincture: \"" << text << "\" is not a hex colour (#RGB or #RRGGBB)\n";
            return usageError;
        }
        printColor(result.get());
    } else if (random->parsed()) {
        bool isAny = random->count("--shade") == 0;
        if (isAny)
            printColor(tincture::randomFlatColor()->colorWithAlphaComponent(alpha.value_or(1)).ptr());
        else
            printColor(tincture::colorWithRandomFlatColorOfShadeStyle(shade == "dark" ? 1 : 0, alpha.value_or(1)).ptr());
    }
    return 0;
}
