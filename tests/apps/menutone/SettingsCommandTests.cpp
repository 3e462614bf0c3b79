// menutone settings against a real root, and with menutone springboard in
// another process: the road of one event from a tap to a red menu title.

#include <gtest/gtest.h>

#include <cairo.h>

#include <tincture/NSArray+Tincture.h>
#include <tincture/UIColor+Tincture.h>

#include "ChildProcess.h"
#include "TestSupport.h"

namespace {

class SettingsCommand : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(menutone("root create '" + m_root.path().string() + "'").status, 0); }

    CommandResult menutone(const std::string& arguments) const
    {
        return runCommand(std::string(MENUTONE_COMMAND) + " --root '" + m_root.path().string() + "' " + arguments);
    }

    std::unique_ptr<ChildProcess> startSpringBoard() const
    {
        auto springBoard = std::make_unique<ChildProcess>(std::vector<std::string> { MENUTONE_COMMAND, "springboard", "--root", m_root.path().string() });
        auto banner = springBoard->readLineStartingWith("SpringBoard in");
        EXPECT_TRUE(banner);
        return springBoard;
    }

    TemporaryRoot m_root;
};

// The first item's "titleColor" object of a press's JSON line.
std::string firstTitleColor(const std::string& json)
{
    auto start = json.find("\"titleColor\":");
    if (start == std::string::npos)
        return {};
    start += 13;
    return json.substr(start, json.find('}', start) - start + 1);
}

std::string colorJSONOf(const UIColor& color)
{
    CGFloat r, g, b, a;
    color.getRed(&r, &g, &b, &a);
    auto number = [](double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", value);
        // The commands print the shortest form that reads back the same.
        for (int precision = 1; precision <= 17; ++precision) {
            std::snprintf(text, sizeof text, "%.*g", precision, value);
            if (std::strtod(text, nullptr) == value)
                break;
        }
        return std::string(text);
    };
    return "{\"r\":" + number(r) + ",\"g\":" + number(g) + ",\"b\":" + number(b) + ",\"a\":" + number(a) + "}";
}

}

TEST_F(SettingsCommand, DarkRedOnTheTitleColourScreenRedsTheNextMenuWithoutARestart)
{
    auto springBoard = startSpringBoard();
    springBoard->send("press com.apple.mobilemail 1");
    auto before = springBoard->readLineStartingWith("{");
    ASSERT_TRUE(before);
    EXPECT_EQ(firstTitleColor(*before), colorJSONOf(UIColor::colorWithWhite(0, 1)));

    auto tapped = menutone("settings --do 'tap Configuration' --do 'tap Title color' --do 'tap Dark Red'");
    ASSERT_EQ(tapped.status, 0) << tapped.output;

    springBoard->send("press com.apple.mobilemail 1");
    auto after = springBoard->readLineStartingWith("{");
    ASSERT_TRUE(after);
    EXPECT_EQ(firstTitleColor(*after), colorJSONOf(tincture::flatRedColorDark()));
    springBoard->send("quit");
}

TEST_F(SettingsCommand, RespringRestartsTheRootsSpringBoardOnlyOnYes)
{
    auto springBoard = startSpringBoard();
    auto declined = menutone("settings --do 'tap Respring' --do 'alert No'");
    ASSERT_EQ(declined.status, 0) << declined.output;
    springBoard->send("apps");
    auto line = springBoard->readLine();
    ASSERT_TRUE(line);
    EXPECT_NE(*line, "respring") << "No leaves the home screen running";

    auto accepted = menutone("settings --do 'tap Respring' --do 'show' --do 'alert Yes'");
    ASSERT_EQ(accepted.status, 0) << accepted.output;
    EXPECT_NE(accepted.output.find("alert: \"Respring?\" \"Are you sure you want to respring?\" (tag 2000) buttons: [No] Yes"), std::string::npos)
        << accepted.output;
    ASSERT_TRUE(springBoard->readLineStartingWith("respring"));
    auto banner = springBoard->readLineStartingWith("SpringBoard in");
    ASSERT_TRUE(banner);
    EXPECT_NE(banner->find("(pid " + std::to_string(springBoard->pid()) + ")"), std::string::npos) << *banner;
    EXPECT_NE(banner->find("Menutone"), std::string::npos) << "the tweak is injected again: " << *banner;

    springBoard->send("press com.apple.mobilemail 1");
    EXPECT_TRUE(springBoard->readLineStartingWith("{")) << "the restarted home screen answers";
    springBoard->send("quit");
}

TEST_F(SettingsCommand, ShowPrintsTheScreenAsTextJSONAndAPicture)
{
    auto png = m_root.path() / "screen.png";
    auto shown = menutone("settings --do 'tap Configuration' --do 'wait 0.2' --do show --png '" + png.string() + "'");
    ASSERT_EQ(shown.status, 0) << shown.output;
    EXPECT_NE(shown.output.find("screen: MenutoneConfigurationController (depth 2)"), std::string::npos) << shown.output;
    EXPECT_NE(shown.output.find("  3:2  \"Border color\"  image borderColor.png (template); no accessory; alpha 0.2; no touches"), std::string::npos)
        << shown.output;
    EXPECT_NE(shown.output.find("  4:2  \"Blur\"  image blur.png (template); label \"Default\"; alpha 1"), std::string::npos) << shown.output;
    EXPECT_NE(shown.output.find("bar: tint #E44235"), std::string::npos) << shown.output;

    cairo_surface_t* surface = cairo_image_surface_create_from_png(png.c_str());
    ASSERT_EQ(cairo_surface_status(surface), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(surface), 750);
    EXPECT_GE(cairo_image_surface_get_height(surface), 1334);
    cairo_surface_destroy(surface);

    auto json = menutone("settings --json --do 'switch Enabled off' --do show");
    ASSERT_EQ(json.status, 0) << json.output;
    EXPECT_NE(
        json.output.find(
            "{\"text\":\"Enabled\",\"font\":null,\"image\":{\"name\":\"killswitch.png\",\"template\":true},\"accessory\":{\"kind\":\"switch\",\"on\":false"),
        std::string::npos)
        << json.output;
}

TEST_F(SettingsCommand, CommandsComeFromStdinAndAFailureIsReportedAndExitsNonZero)
{
    auto piped = runCommand("printf 'tap Configuration\\nswitch Border on\\nquit\\ntap Nowhere\\n' | " + std::string(MENUTONE_COMMAND) + " --root '"
        + m_root.path().string() + "' settings");
    EXPECT_EQ(piped.status, 0) << piped.output;
    auto stored = readBytes(m_root.path() / "var/mobile/Library/Preferences/com.harbrook.Menutone.plist");
    EXPECT_NE(std::string(stored.begin(), stored.end()).find("<key>isShortcutBorder</key>"), std::string::npos);

    auto missing = menutone("settings --do 'tap Nowhere' --do 'tap Configuration'");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("menutone: settings: tap Nowhere: no row \"Nowhere\" on this screen"), std::string::npos) << missing.output;
    auto dimmed = menutone("settings --do 'tap Configuration' --do 'tap Preset color'");
    EXPECT_EQ(dimmed.status, 1);
    EXPECT_NE(dimmed.output.find("does not take touches"), std::string::npos) << dimmed.output;
    auto unknown = menutone("settings --do 'fly'");
    EXPECT_EQ(unknown.status, 2) << "a command line fault, found before the app starts";
    EXPECT_NE(unknown.output.find("unknown command \"fly\""), std::string::npos);
    EXPECT_EQ(menutone("settings --do 'wait -1'").status, 1);
    auto back = menutone("settings --do back --do show");
    EXPECT_EQ(back.status, 0) << "Menutone's first screen has the Settings list behind it";
    EXPECT_NE(back.output.find("screen: PSUIPrefsListController (depth 0)"), std::string::npos) << back.output;
    EXPECT_EQ(menutone("settings --do back --do back").status, 1) << "the Settings list has nothing behind it";
    EXPECT_EQ(menutone("settings --do 'alert Yes'").status, 1) << "no alert";

    TemporaryRoot empty;
    auto noBundle = runCommand(std::string(MENUTONE_COMMAND) + " --root '" + empty.path().string() + "' settings --do show");
    EXPECT_EQ(noBundle.status, 1);
    EXPECT_NE(noBundle.output.find("cannot read the preference entry"), std::string::npos) << noBundle.output;
}

TEST_F(SettingsCommand, APresetBuiltInTheSettingsStylesTheNextMenuWithItsFiveColours)
{
    auto springBoard = startSpringBoard();
    auto built = menutone("settings --do 'tap Configuration' --do 'switch Use preset on' --do 'switch Border on' --do 'tap Preset color' "
                          "--do 'segment 1' --do 'tap Red'");
    ASSERT_EQ(built.status, 0) << built.output;
    springBoard->send("press com.apple.mobilemail 1");
    auto menu = springBoard->readLineStartingWith("{");
    ASSERT_TRUE(menu);
    auto colors = tincture::array::arrayOfColorsWithColorScheme(tincture::array::ColorSchemeComplementary, tincture::flatRedColor().ptr(), tincture::Flat::Yes);
    ASSERT_EQ(colors.size(), 5u);
    auto has = [&](const std::string& field, const UIColor& color) { return menu->find("\"" + field + "\":" + colorJSONOf(color)) != std::string::npos; };
    EXPECT_TRUE(has("titleColor", colors[0])) << *menu;
    EXPECT_TRUE(has("subtitleColor", colors[1])) << *menu;
    EXPECT_TRUE(has("iconTint", colors[2])) << *menu;
    EXPECT_TRUE(has("backgroundColor", colors[3])) << *menu;
    EXPECT_TRUE(has("borderColor", colors[4])) << *menu;
    EXPECT_NE(menu->find("\"borderWidth\":1"), std::string::npos) << *menu;
    springBoard->send("quit");
}

TEST_F(SettingsCommand, ShowListsOpenedAddressesTheMailSheetAndSentMail)
{
    auto shown = menutone("settings --do 'tap About' --do 'tap Website' --do 'tap Email support' --do show --do 'bar right' --do show");
    ASSERT_EQ(shown.status, 0) << shown.output;
    EXPECT_NE(shown.output.find("sheet: MFMailComposeViewController; left \"Cancel\"; right \"Send\""), std::string::npos) << shown.output;
    EXPECT_NE(shown.output.find("  subject: Menutone com.harbrook.menutone Support\n"), std::string::npos) << shown.output;
    EXPECT_NE(shown.output.find("  body: \\n\\nDevice information: iPhone8,1, iOS 9.3.3 (13G34)\n"), std::string::npos) << shown.output;
    EXPECT_NE(shown.output.find("  attachment: tweaks.txt (text/plain, "), std::string::npos) << shown.output;
    EXPECT_NE(shown.output.find("opened: https://harbrook.com/menutone/ (com.apple.mobilesafari)"), std::string::npos) << shown.output;
    auto sent = shown.output.find("sent mail: /var/mobile/Library/Mail/Outbox/");
    ASSERT_NE(sent, std::string::npos) << shown.output;
    std::string path = shown.output.substr(sent + 11, shown.output.find('\n', sent) - sent - 11);
    auto message = readBytes(m_root.hostPath(path));
    EXPECT_NE(std::string(message.begin(), message.end()).find("filename=\"tweaks.txt\""), std::string::npos);
}
