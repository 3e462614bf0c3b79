#include <gtest/gtest.h>
#include <webp/encode.h>

#include <sstream>

#include <algorithm>

#include <foundation/NSDictionary.h>

#include "TestSupport.h"

namespace {

CommandResult tincture(const TemporaryRoot& root, const std::string& arguments)
{
    return runCommand(std::string(TINCTURE_COMMAND) + " --root '" + root.path().string() + "' " + arguments);
}

}

TEST(TinctureCommand, ColoursPrintAsJSONThatReadsBackExactlyWithTheirPaletteNames)
{
    TemporaryRoot root;
    EXPECT_EQ(tincture(root, "flatten '#ff0000' --json").output,
        "{\"r\":0.9100000262260437,\"g\":0.30394000446096053,\"b\":0.23659999814033483,\"a\":1,\"name\":\"flatRedColor\"}\n");
    // The palette index moved to menutone; here it says so on stderr and still answers.
    auto stdoutOf = [&](const std::string& arguments) {
        return runCommand("(" + std::string(TINCTURE_COMMAND) + " --root '" + root.path().string() + "' " + arguments + " 2>/dev/null)").output;
    };
    EXPECT_EQ(stdoutOf("index 25 --json").rfind("{\"index\":25,\"label\":\"Dark Red\",\"color\":{", 0), 0u);
    EXPECT_EQ(stdoutOf("index 60 --json"), "") << "no index: refused";
    EXPECT_NE(tincture(root, "index 1 --json").output.find("`menutone index N`"), std::string::npos);
    EXPECT_EQ(tincture(root, "distance 50 2.5 0 50 0 -2.5").output.substr(0, 6), "4.3064");
    EXPECT_EQ(tincture(root, "lab 1,1,1 --json").output, "{\"L\":100,\"a\":0,\"b\":0,\"alpha\":1}\n");
    EXPECT_EQ(tincture(root, "hex F80 --alpha 0.5 --json").output, "{\"r\":1,\"g\":0.5333333611488342,\"b\":0,\"a\":0.5}\n");

    auto palette = tincture(root, "palette --json").output;
    EXPECT_EQ(std::count(palette.begin(), palette.end(), '{'), 48);
    auto scheme = tincture(root, "scheme complementary flatRedColor --flat --json").output;
    EXPECT_EQ(std::count(scheme.begin(), scheme.end(), '{'), 5);
    EXPECT_EQ(scheme.find("\x1b["), std::string::npos) << "no swatches into a pipe";
}

TEST(TinctureCommand, BadArgumentsGetOneLineOnStderrAndStatusTwo)
{
    TemporaryRoot root;
    for (const char* arguments : { "flatten nope", "flatten 2,0,0", "flatten '#12'", "flatten 'hsb(10,120,50)'", "distance 1 2 3", "scheme sideways '#fff'",
             "random --shade pale", "contrast '#fff' --alpha 2", "hex 12345", "", "flatten flatRedColor --alpha nan", "hex f00 --alpha inf",
             "distance nan 0 0 50 0 0", "index 99999999999999999999", "darken flatRedColor nan", "gradient horizontal 20000x10 '#fff' '#000' -o x.png" }) {
        auto result = tincture(root, arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_NE(result.output.find("tincture: "), std::string::npos) << arguments << ": " << result.output;
    }
}

TEST(TinctureCommand, RandomPicksKeepTheirPreviousPickInTheRootAcrossRuns)
{
    TemporaryRoot root;
    std::string previous;
    for (int run = 0; run < 20; ++run) {
        auto result = tincture(root, "random --json");
        ASSERT_EQ(result.status, 0);
        auto stored = NSDictionary::dictionaryWithContentsOfFile("/var/mobile/Library/Preferences/com.harbrook.tincture.plist");
        ASSERT_TRUE(stored);
        auto pick = stored->objectForKey("previousRandomNumber")->asInteger();
        ASSERT_TRUE(pick && *pick >= 0 && *pick < 48);
        if (!previous.empty() && previous != "0") {
            EXPECT_NE(std::to_string(*pick), previous);
        }
        previous = std::to_string(*pick);
    }
}

TEST(TinctureCommand, ImagesGiveTheirPixelsAverageAndFiveColoursAndUnreadableOnesStatusTwo)
{
    TemporaryRoot root;
    auto png = (root.path() / "gradient.png").string();
    auto drawn = tincture(root, "gradient horizontal 40x20 '#ff0000' '#0000ff' -o " + png + " --json");
    EXPECT_EQ(drawn.output, "{\"file\":\"" + png + "\",\"width\":80,\"height\":40}\n");
    EXPECT_EQ(tincture(root, "pixel " + png + " 0 0 --json").output.substr(0, 6), "{\"r\":0");
    EXPECT_EQ(tincture(root, "pixel " + png + " 80 0").status, 2);
    auto average = tincture(root, "average " + png + " --json");
    EXPECT_EQ(average.status, 0);
    EXPECT_NE(average.output.find("\"a\":1"), std::string::npos);
    auto colors = tincture(root, "colors " + png + " --flat --json").output;
    EXPECT_EQ(std::count(colors.begin(), colors.end(), '{'), 6) << "the file's line and its five colours";

    writeBytes(root.path() / "broken.jpg", "\xFF\xD8 broken");
    for (const char* arguments : { "colors broken.jpg", "average broken.jpg", "pixel broken.jpg 0 0", "colors missing.png" }) {
        auto result = runCommand("cd '" + root.path().string() + "' && " + TINCTURE_COMMAND + " " + arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 1) << result.output;
    }
    EXPECT_EQ(runCommand("cd '" + root.path().string() + "' && " + TINCTURE_COMMAND + " colors missing.png").output, "tincture: missing.png: no such file\n");
}

TEST(TinctureCommand, WhatIsNoColourOrNoIndexIsRefusedOnceWithExitTwo)
{
    TemporaryRoot root;
    for (const char* arguments : { "hex zzz", "hex 12345", "hex '#1234'", "index 49", "index -1", "format hex 'rgb(1 2'" }) {
        auto result = tincture(root, arguments);
        EXPECT_EQ(result.status, 2) << arguments << ": " << result.output;
        EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 1) << arguments << ": " << result.output;
    }
    EXPECT_EQ(tincture(root, "hex abc").status, 0);
    EXPECT_EQ(tincture(root, "index 48").status, 0);
}

TEST(TinctureCommand, JSONIsValidUTF8EvenForAFileNameThatIsNot)
{
    TemporaryRoot root;
    std::string name = (root.path() / "\xFF\x01name.png").string();
    auto result = runCommand(std::string(TINCTURE_COMMAND) + " gradient horizontal 4x4 '#fff' '#000' -o '" + name + "' --json 2>/dev/null"
        + " | python3 -c 'import sys,json; print(json.loads(sys.stdin.buffer.read().decode(\"utf-8\", "
          "\"strict\"))[\"file\"].endswith(\"\\ufffd\\x01name.png\"))'");
    EXPECT_EQ(result.output, "True\n") << "a strict reader takes it, the bad byte as U+FFFD";
}

TEST(TinctureCommand, ManyImagesGiveALineEachInTheOrderGivenAsEachAloneWouldAndABadOneItsError)
{
    TemporaryRoot root;
    // Twelve pictures of different colours, more than the cores, and a bad file among them.
    std::vector<std::string> files;
    const char* hexes[]
        = { "#e74c3c", "#2ecc71", "#3498db", "#f1c40f", "#9b59b6", "#1abc9c", "#34495e", "#e67e22", "#ecf0f1", "#95a5a6", "#d35400", "#c0392b" };
    for (std::size_t i = 0; i < std::size(hexes); ++i) {
        files.push_back((root.path() / ("picture" + std::to_string(i) + ".png")).string());
        ASSERT_EQ(tincture(root, "gradient vertical 24x16 '" + std::string(hexes[i]) + "' '#101010' -o '" + files.back() + "'").status, 0);
    }
    files.insert(files.begin() + 5, (root.path() / "broken.jpg").string());
    writeBytes(files[5], "\xFF\xD8 broken");

    std::string arguments = "colors --json";
    for (auto& file : files)
        arguments += " '" + file + "'";
    auto batch = runCommand("(" + std::string(TINCTURE_COMMAND) + " " + arguments + " 2>/dev/null)");
    EXPECT_EQ(batch.status, 2) << "one file failed";
    std::istringstream lines(batch.output);
    std::string line;
    for (auto& file : files) {
        ASSERT_TRUE(std::getline(lines, line)) << file;
        if (file.ends_with("broken.jpg")) {
            EXPECT_EQ(line, "{\"file\":\"" + file + "\",\"error\":\"cannot read " + file + " as a PNG, JPEG, HEIC or WebP image\"}");
            continue;
        }
        auto alone = tincture(root, "colors --json '" + file + "'");
        ASSERT_EQ(alone.status, 0);
        EXPECT_EQ(line + "\n", alone.output) << "one file gives the line it gives among many";
        EXPECT_TRUE(line.starts_with("{\"file\":\"" + file + "\",\"colors\":[")) << line;
    }
    EXPECT_FALSE(std::getline(lines, line)) << "one line per file";
}

TEST(TinctureCommand, ColoursFlowThroughPipelinesOneALineInEachFormat)
{
    std::string command = TINCTURE_COMMAND;
    // Flat colours flatten to themselves: the palette comes back whole, through hex.
    auto palette = runCommand(command + " palette --format hex");
    auto again = runCommand(command + " palette --format hex | " + command + " flatten --format hex");
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.output, palette.output);
    EXPECT_EQ(std::count(palette.output.begin(), palette.output.end(), '\n'), 48);

    EXPECT_EQ(runCommand(command + " show 'hsl(120, 100%, 25%)' --format rgb").output, "rgb(0 128 0)\n");
    EXPECT_EQ(runCommand(command + " show '#3498db80' --format hex").output, "#3498DB80\n");
    EXPECT_EQ(runCommand(command + " show rebeccapurple --format hsl").output, "hsl(270 50% 40%)\n");
    EXPECT_EQ(runCommand(command + " show 'rgb(255 0 0)' --format json").output, "{\"r\":1,\"g\":0,\"b\":0,\"a\":1}\n");
    EXPECT_EQ(runCommand("printf 'red\\n\\nlime\\n' | " + command + " scheme complementary --format hex").output.size(), 2 * 5 * 8u)
        << "five colours a line of input, blank lines skipped";
    EXPECT_EQ(runCommand("echo '#3498db' | " + command + " darken 0.1 --format hex").output, runCommand(command + " darken '#3498db' 0.1 --format hex").output)
        << "the amount alone when the colour comes on standard input";

    // A bad line is named and skipped; the rest still come, and the status says something failed.
    auto mixed = runCommand("printf 'red\\nbogus\\n#00f\\n' | " + command + " show --format hex 2>&1");
    EXPECT_EQ(mixed.status, 2);
    EXPECT_NE(mixed.output.find("#FF0000\n"), std::string::npos);
    EXPECT_NE(mixed.output.find("tincture: line 2: \"bogus\" is not a colour"), std::string::npos) << mixed.output;
    EXPECT_NE(mixed.output.find("#0000FF\n"), std::string::npos);
    EXPECT_EQ(runCommand(command + " show --format xml 2>&1").status, 2);
}

TEST(TinctureCommand, AWebPPhotoGivesItsColoursAsAPNGDoes)
{
    TemporaryRoot root;
    // Left half red, right half blue, as libwebp's lossless encoder writes it.
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            rgb.insert(rgb.end(),
                { static_cast<std::uint8_t>(x < 32 ? 231 : 52), static_cast<std::uint8_t>(x < 32 ? 76 : 152), static_cast<std::uint8_t>(x < 32 ? 60 : 219) });
    std::uint8_t* encoded = nullptr;
    std::size_t size = WebPEncodeLosslessRGB(rgb.data(), 64, 32, 64 * 3, &encoded);
    ASSERT_GT(size, 0u);
    writeBytes(root.path() / "halves.webp", std::string(encoded, encoded + size));
    WebPFree(encoded);

    EXPECT_EQ(tincture(root, "pixel '" + (root.path() / "halves.webp").string() + "' 0 0 --format hex").output, "#E74C3C\n");
    EXPECT_EQ(tincture(root, "pixel '" + (root.path() / "halves.webp").string() + "' 63 31 --format hex").output, "#3498DB\n");
    auto colors = tincture(root, "colors '" + (root.path() / "halves.webp").string() + "' --format hex");
    EXPECT_EQ(colors.status, 0);
    EXPECT_NE(colors.output.find("#E74C3C"), std::string::npos) << colors.output;

    writeBytes(root.path() / "cut.webp", std::string(reinterpret_cast<const char*>("RIFF\x20\0\0\0WEBPVP8L"), 16));
    auto cut = tincture(root, "pixel '" + (root.path() / "cut.webp").string() + "' 0 0");
    EXPECT_EQ(cut.status, 2);
    EXPECT_NE(cut.output.find("as a PNG, JPEG, HEIC or WebP image"), std::string::npos) << cut.output;
}
