// Every --json the menutone command prints, read back by Python's json module
// (strict: no raw control characters, UTF-8 only) on awkward inputs: stored
// strings full of control characters, and a file name that is not UTF-8.

#include <gtest/gtest.h>

#include <filesystem>

#include "ChildProcess.h"
#include "TestSupport.h"

namespace {

CommandResult menutone(const TemporaryRoot& root, const std::string& arguments)
{
    return runCommand(std::string(MENUTONE_COMMAND) + " --root '" + root.path().string() + "' " + arguments);
}

// Runs the script (reading the command's output as sys.stdin) and gives what it printed.
std::string python(const TemporaryRoot& root, const std::string& arguments, const std::string& script)
{
    writeBytes(root.path() / "check.py",
        "import json, plistlib, sys\n"
        "data = json.loads(sys.stdin.buffer.read().decode('utf-8', 'strict'))\n"
            + script);
    return menutone(root, arguments + " | python3 '" + (root.path() / "check.py").string() + "'").output;
}

constexpr const char* awkward = "'a\\x00b\\x07\\x1f\\x7f\"\\\\\\u2028\\ufffe'";

// Runs a Python script of its own, for files made by another writer than ours.
// The file it works on is sys.argv[1].
CommandResult runPython(const TemporaryRoot& root, const std::string& script, const std::filesystem::path& file)
{
    writeBytes(root.path() / "make.py", "import plistlib, sys\n" + script);
    return runCommand("python3 '" + (root.path() / "make.py").string() + "' '" + file.string() + "'");
}

}

TEST(MenutoneJSON, DefaultsReadGivesWhatPlistlibStoredControlCharactersAndAll)
{
    if (std::system("python3 -c 'import plistlib' 2>/dev/null") != 0)
        GTEST_SKIP() << "python3 is not installed";
    TemporaryRoot root;
    auto plist = root.hostPath("/var/mobile/Library/Preferences/com.example.Awkward.plist").string();
    auto made = runPython(root,
        std::string("open(sys.argv[1], 'wb').write(plistlib.dumps({'bell': ") + awkward
            + ", 'k\\x01ey': [1, 2.5, True, -3, 18446744073709551615, {'deep': ''}]}, fmt=plistlib.FMT_BINARY))\n",
        plist);
    ASSERT_EQ(made.status, 0) << made.output;

    EXPECT_EQ(python(root, "defaults read com.example.Awkward --json", "print(data == plistlib.load(open('" + plist + "', 'rb')))\n"), "True\n");
    EXPECT_EQ(python(root, "defaults read com.example.Awkward bell --json", std::string("print(data == ") + awkward + ")\n"), "True\n");
}

TEST(MenutoneJSON, ResolvedSettingsGiveColoursInTheOneShapeEveryCommandUses)
{
    TemporaryRoot root;
    ASSERT_EQ(menutone(root, "defaults write com.harbrook.Menutone shortcutTitlePresetColor -color '#ff8000'").status, 0);
    ASSERT_EQ(menutone(root, std::string("defaults write com.harbrook.Menutone shortcutTitleFont -string ") + "\"$(printf 'Dejavu\\001\\tSans')\"").status, 0);
    EXPECT_EQ(python(root, "defaults read com.harbrook.Menutone --resolved --json",
                  "c = data['shortcutTitlePresetColor']\n"
                  "print(sorted(c), round(c['r'] * 255), round(c['g'] * 255), round(c['b'] * 255), c['a'], repr(data['shortcutTitleFont']))\n"),
        "['a', 'b', 'g', 'r'] 255 128 0 1 'Dejavu\\x01\\tSans'\n");
}

TEST(MenutoneJSON, AnAppInAFolderWhoseNameIsNotUTF8IsListedWithTheBadByteReplaced)
{
    TemporaryRoot root;
    ASSERT_EQ(runCommand(std::string(MENUTONE_COMMAND) + " root create '" + root.path().string() + "' >/dev/null").status, 0);
    auto odd = root.path() / "Applications" / "Odd\xFF\x01.app";
    std::filesystem::copy(root.path() / "Applications/Mail.app", odd, std::filesystem::copy_options::recursive);
    auto edited = runPython(root,
        "p = plistlib.load(open(sys.argv[1], 'rb'))\n"
        "p['CFBundleIdentifier'] = 'com.example.odd'\n"
        "p['CFBundleDisplayName'] = 'Odd\\x01\\u2028'\n"
        "open(sys.argv[1], 'wb').write(plistlib.dumps(p, fmt=plistlib.FMT_BINARY))\n",
        odd / "Info.plist");
    ASSERT_EQ(edited.status, 0) << edited.output;

    EXPECT_EQ(python(root, "app list --json",
                  "odd = [a for a in data if a['id'] == 'com.example.odd'][0]\n"
                  "print(len(data), ascii(odd['folder']), ascii(odd['name']))\n"),
        "24 '/Applications/Odd\\ufffd\\x01.app' 'Odd\\x01\\u2028'\n");
}

TEST(MenutoneJSON, PreviewAndSettingsJSONParseStrictly)
{
    TemporaryRoot root;
    ASSERT_EQ(runCommand(std::string(MENUTONE_COMMAND) + " root create '" + root.path().string() + "' >/dev/null").status, 0);
    EXPECT_EQ(python(root, "preview --app com.apple.mobilemail -o '" + (root.path() / "menu.png").string() + "' --json",
                  "print(sorted(data['items'][0]['titleColor']))\n"),
        "['a', 'b', 'g', 'r']\n");
    EXPECT_EQ(python(root, "settings --do show --json", "print(data['screen'], sorted(data['barTint'] or {'r': 0, 'g': 0, 'b': 0, 'a': 0}))\n"),
        "MenutoneSettingsController ['a', 'b', 'g', 'r']\n");
}
