// menutone plist, as plutil: every verb on files Python's plistlib wrote,
// the results read back by plistlib (and json), bad input changing nothing.

#include <gtest/gtest.h>

#include <filesystem>

#include <device/FileSystem.h>

#include "TestSupport.h"

namespace {

CommandResult plist(const TemporaryFolder& folder, const std::string& arguments)
{
    return runCommand("cd '" + folder.path().string() + "' && " + MENUTONE_COMMAND + " plist " + arguments);
}

// Runs Python in the folder with plistlib and json at hand; gives what it printed.
std::string python(const TemporaryFolder& folder, const std::string& script)
{
    writeBytes(folder.path() / "script.py", "import datetime, json, os, plistlib, sys\nos.chdir(sys.argv[1])\n" + script);
    auto result = runCommand("python3 '" + (folder.path() / "script.py").string() + "' '" + folder.path().string() + "'");
    EXPECT_EQ(result.status, 0) << result.output;
    return result.output;
}

constexpr const char* sample = "sample = {'name': 'Menu', 'n': 3, 'big': 2**63 + 5, 'f': 1.5, 'b': True, 'data': b'\\x01\\x02',"
                               " 'date': datetime.datetime(2024, 5, 6, 7, 8, 9), 'arr': [1, 'two', {'k': 'v'}], 'nested': {'a.b': 1, 'u': '\\u00e9\\u2603'}}\n"
                               "plain = {'name': 'Menu', 'arr': [1, 2.5, True, None and 0 or 'x'], 'nested': {'k': -7}}\n";

std::string fileBytes(const TemporaryFolder& folder, const std::string& name)
{
    auto bytes = device::readFile(folder.path() / name);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "";
}

}

TEST(PlistCommand, ConvertRoundTripsThroughPlistlibInBothFormatsAndJSONWhenItCan)
{
    TemporaryFolder folder;
    python(
        folder, std::string(sample) + "plistlib.dump(sample, open('s.plist', 'wb'))\nplistlib.dump(plain, open('p.plist', 'wb'), fmt=plistlib.FMT_BINARY)\n");
    ASSERT_EQ(plist(folder, "-convert binary1 -o s.bin s.plist").status, 0);
    ASSERT_EQ(plist(folder, "-convert xml1 -o s.xml s.bin").status, 0);
    ASSERT_EQ(plist(folder, "-convert json -o p.json p.plist").status, 0);
    EXPECT_EQ(python(folder,
                  std::string(sample)
                      + "print(plistlib.load(open('s.bin', 'rb'), fmt=plistlib.FMT_BINARY) == sample,"
                        " plistlib.load(open('s.xml', 'rb'), fmt=plistlib.FMT_XML) == sample, json.load(open('p.json')) == plain)\n"),
        "True True True\n");

    // In place by default, as plutil converts.
    ASSERT_EQ(plist(folder, "-convert binary1 p.plist").status, 0);
    EXPECT_TRUE(fileBytes(folder, "p.plist").starts_with("bplist00"));

    // Data and dates have no JSON: refused, the file left as it was.
    auto before = fileBytes(folder, "s.plist");
    auto refused = plist(folder, "-convert json s.plist");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.output.find("invalid object in plist for destination format"), std::string::npos) << refused.output;
    EXPECT_EQ(fileBytes(folder, "s.plist"), before);
}

TEST(PlistCommand, ExtractPrintsTheValueAtAKeyPathInEachFormat)
{
    TemporaryFolder folder;
    python(folder, std::string(sample) + "plistlib.dump(sample, open('s.plist', 'wb'), fmt=plistlib.FMT_BINARY)\n");
    EXPECT_EQ(plist(folder, "-extract arr.2.k raw s.plist").output, "v\n");
    EXPECT_EQ(plist(folder, "-extract 'nested.a\\.b' raw s.plist").output, "1\n") << "an escaped dot is part of the key";
    EXPECT_EQ(plist(folder, "-extract big raw s.plist").output, "9223372036854775813\n");
    EXPECT_EQ(plist(folder, "-extract date raw s.plist").output, "2024-05-06T07:08:09Z\n");
    EXPECT_EQ(plist(folder, "-extract data raw s.plist").output, "AQI=\n");
    EXPECT_EQ(plist(folder, "-extract nested json s.plist").output, "{\"a.b\":1,\"u\":\"\xC3\xA9\xE2\x98\x83\"}\n") << "a line of its own";
    ASSERT_EQ(plist(folder, "-extract arr xml1 -o arr.plist s.plist").status, 0);
    EXPECT_EQ(python(folder, "print(plistlib.load(open('arr.plist', 'rb')))\n"), "[1, 'two', {'k': 'v'}]\n");

    for (const char* missing : { "nope", "arr.3", "arr.-1", "name.x", "arr.two" }) {
        auto result = plist(folder, std::string("-extract ") + missing + " raw s.plist");
        EXPECT_EQ(result.status, 1) << missing;
        EXPECT_NE(result.output.find("No value at that key path"), std::string::npos) << result.output;
    }
    EXPECT_EQ(plist(folder, "-extract arr raw s.plist").status, 1) << "raw has no form for an array";
}

TEST(PlistCommand, InsertReplaceAndRemoveKeepTheFormatAndRefuseWhatPlutilRefuses)
{
    TemporaryFolder folder;
    python(folder, std::string(sample) + "plistlib.dump(sample, open('s.plist', 'wb'), fmt=plistlib.FMT_BINARY)\n");
    for (const char* edit : { "-insert arr.1 -string inserted", "-insert arr -json '{\"x\":[1,2]}' -append", "-replace n -integer 42",
             "-replace fresh -date 2020-01-02T03:04:05Z", "-insert blob -data AAEC", "-insert flag -bool NO", "-insert r -float -0.25",
             "-insert x -xml '<array><integer>7</integer></array>'", "-insert empty -dictionary", "-remove data", "-remove nested.u" })
        EXPECT_EQ(plist(folder, std::string(edit) + " s.plist").status, 0) << edit;
    EXPECT_TRUE(fileBytes(folder, "s.plist").starts_with("bplist00")) << "an edit keeps the file's format";
    EXPECT_EQ(python(folder,
                  "p = plistlib.load(open('s.plist', 'rb'))\n"
                  "print(p['arr'], p['n'], p['fresh'], p['blob'], p['flag'], p['r'], p['x'], p['empty'], 'data' in p, p['nested'])\n"),
        "[1, 'inserted', 'two', {'k': 'v'}, {'x': [1, 2]}] 42 2020-01-02 03:04:05 b'\\x00\\x01\\x02' False -0.25 [7] {} False {'a.b': 1}\n");

    auto before = fileBytes(folder, "s.plist");
    for (auto [edit, message] : {
             std::pair("-insert n -integer 1", "Value already exists at key path n"),
             std::pair("-remove zz", "No value to remove at key path zz"),
             std::pair("-insert a.b.c -string x", "No value at key path a"),
             std::pair("-insert n -integer 1x", "\"1x\" is not a valid integer value"),
             std::pair("-insert d -date tomorrow", "\"tomorrow\" is not a valid date value"),
             std::pair("-insert d -data '***'", "is not a valid data value"),
             std::pair("-insert d -json '{'", "is not a valid json value"),
             std::pair("-insert d -json null", "is not a valid json value"),
             std::pair("-insert d -color red", "unknown type -color"),
             std::pair("-insert d -string", "no file given"), // the file name is taken as the value, as plutil takes it
             std::pair("-insert name -string y -append", "is not an array"),
             std::pair("-frobnicate", "unknown option -frobnicate"),
             std::pair("-p -lint", "one command at a time"),
         }) {
        auto result = plist(folder, std::string(edit) + " s.plist");
        EXPECT_NE(result.status, 0) << edit;
        EXPECT_NE(result.output.find(message), std::string::npos) << edit << ": " << result.output;
        EXPECT_EQ(fileBytes(folder, "s.plist"), before) << edit;
    }
}

TEST(PlistCommand, LintSaysOKOrWhyNotAndPrintShowsEveryType)
{
    TemporaryFolder folder;
    python(folder, std::string(sample) + "plistlib.dump(sample, open('s.plist', 'wb'))\n");
    writeBytes(folder.path() / "bad.plist", "<plist><dict><key>a</key></dict></plist>");
    writeBytes(folder.path() / "empty.plist", "");
    auto good = plist(folder, "-lint s.plist");
    EXPECT_EQ(good.status, 0);
    EXPECT_EQ(good.output, "s.plist: OK\n");
    auto bad = plist(folder, "-lint s.plist bad.plist empty.plist missing.plist");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.output.find("s.plist: OK\n"), std::string::npos);
    for (const char* name : { "bad.plist: ", "empty.plist: ", "missing.plist: " })
        EXPECT_NE(bad.output.find(name), std::string::npos) << name << " in " << bad.output;
    EXPECT_EQ(plist(folder, "-lint -s s.plist").output, "") << "-s: silent when OK";

    // JSON nested far deeper than any property list may be: refused, not a blown stack.
    writeBytes(folder.path() / "deep.json", std::string(200000, '[') + std::string(200000, ']'));
    auto deep = plist(folder, "-p deep.json");
    EXPECT_EQ(deep.status, 1);
    EXPECT_NE(deep.output.find("nested deeper than 512 levels"), std::string::npos) << deep.output;

    auto printed = plist(folder, "-p s.plist");
    EXPECT_EQ(printed.status, 0);
    EXPECT_EQ(printed.output,
        "{\n  \"arr\" => [\n    0 => 1\n    1 => \"two\"\n    2 => {\n      \"k\" => \"v\"\n    }\n  ]\n  \"b\" => true\n  \"big\" => 9223372036854775813\n"
        "  \"data\" => {length = 2, bytes = 0x0102}\n  \"date\" => 2024-05-06 07:08:09 +0000\n  \"f\" => 1.5\n  \"n\" => 3\n  \"name\" => \"Menu\"\n"
        "  \"nested\" => {\n    \"a.b\" => 1\n    \"u\" => \"\xC3\xA9\xE2\x98\x83\"\n  }\n}\n");
    EXPECT_EQ(runCommand("cat '" + (folder.path() / "s.plist").string() + "' | " + MENUTONE_COMMAND + " plist -extract name raw -").output, "Menu\n")
        << "- reads standard input";
    EXPECT_EQ(plist(folder, "").status, 2);
}

// A JSON object of 200,000 keys, as Python's json writes it, converts whole;
// plistlib reads every key back.
TEST(MenutonePlist, AJSONObjectOfManyKeysConvertsWhole)
{
    TemporaryFolder folder;
    auto made = runCommand("python3 -c \"import json, sys; json.dump({'k%d' % i: i for i in range(200000)}, open(sys.argv[1], 'w'))\" '"
        + (folder.path() / "many.json").string() + "'");
    ASSERT_EQ(made.status, 0) << made.output;
    auto converted = plist(folder, "-convert binary1 -o many.plist many.json");
    ASSERT_EQ(converted.status, 0) << converted.output;
    auto counted = runCommand("python3 -c \"import plistlib, sys; d = plistlib.load(open(sys.argv[1], 'rb')); print(len(d), d['k199999'])\" '"
        + (folder.path() / "many.plist").string() + "'");
    EXPECT_EQ(counted.output, "200000 199999\n");
}
