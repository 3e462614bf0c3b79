#include "Settings.h"

#include <unistd.h>

#include <cmath>
#include <iostream>
#include <sstream>

#include <corefoundation/CFRunLoop.h>
#include <settingsapp/ScreenSnapshot.h>
#include <settingsapp/SettingsApp.h>
#include <uikit/UIViewAnimation.h>

#include <common/JSON.h>

namespace {

std::string accessoryText(const AccessorySnapshot& accessory)
{
    switch (accessory.kind) {
    case AccessorySnapshot::Kind::Switch:
        return std::string("switch ") + (accessory.isOn ? "on" : "off") + " (on-tint " + colorText(accessory.color.get()) + ")";
    case AccessorySnapshot::Kind::Swatch:
        return "swatch " + colorText(accessory.color.get());
    case AccessorySnapshot::Kind::Label:
        return "label \"" + accessory.text + "\"";
    case AccessorySnapshot::Kind::Segments: {
        std::string text = "segments";
        for (std::size_t i = 0; i < accessory.segments.size(); ++i)
            text += static_cast<long>(i) == accessory.selectedSegment ? " [" + accessory.segments[i] + "]" : " " + accessory.segments[i];
        return text;
    }
    case AccessorySnapshot::Kind::Checkmark:
        return "checkmark";
    case AccessorySnapshot::Kind::Disclosure:
        return "disclosure";
    case AccessorySnapshot::Kind::View:
        return "view";
    case AccessorySnapshot::Kind::None:
        break;
    }
    return "no accessory";
}

std::string imageText(const std::optional<ImageSnapshot>& image)
{
    if (!image)
        return "none";
    return image->name + (image->isTemplate ? " (template)" : "");
}

std::string barButtonText(const std::optional<BarButtonSnapshot>& button)
{
    if (!button)
        return "none";
    if (button->customView)
        return accessoryText(*button->customView);
    if (button->image)
        return "image " + imageText(button->image);
    return "\"" + button->title + "\"";
}

std::string quoted(const std::optional<std::string>& text)
{
    return text ? "\"" + *text + "\"" : "none";
}

std::string numberText(double value)
{
    return shortestDecimal(value);
}

std::string frameText(CGRect frame)
{
    return shortestDecimal(frame.origin.x) + "," + shortestDecimal(frame.origin.y) + " " + shortestDecimal(frame.size.width) + "x"
        + shortestDecimal(frame.size.height);
}

void printText(const ScreenSnapshot& screen)
{
    std::cout << "screen: " << screen.controllerClass << " (depth " << screen.depth << ")\n";
    std::cout << "title: " << (screen.title.empty() ? "none" : "\"" + screen.title + "\"") << "; title image: " << imageText(screen.titleImage) << "\n";
    std::cout << "bar: tint " << colorText(screen.barTint.get()) << "; left " << barButtonText(screen.leftBarButton) << "; right "
              << barButtonText(screen.rightBarButton) << "\n";
    std::cout << "back: " << (screen.backButton ? "\"" + screen.backButton->title + "\" at " + frameText(screen.backButton->frame) : "none") << "\n";
    std::cout << "view tint: " << colorText(screen.viewTint.get()) << "\n";
    std::cout << "scrolled: " << shortestDecimal(screen.contentOffset.y) << " of " << shortestDecimal(screen.contentSize.height) << "\n";
    for (std::size_t s = 0; s < screen.sections.size(); ++s) {
        auto& section = screen.sections[s];
        std::cout << "section " << s << ": header " << quoted(section.header) << " (" << alignmentName(section.headerAlignment) << ")";
        if (section.headerControl)
            std::cout << " " << accessoryText(*section.headerControl);
        std::cout << "; footer " << quoted(section.footer) << " (" << alignmentName(section.footerAlignment) << ")\n";
        for (std::size_t r = 0; r < section.rows.size(); ++r) {
            auto& row = section.rows[r];
            std::cout << "  " << s << ":" << r << "  \"" << row.text << "\""
                      << (row.font ? " in " + row.font->fontName() + " " + shortestDecimal(row.font->pointSize()) : "") << "  image " << imageText(row.image)
                      << "; " << accessoryText(row.accessory) << "; alpha " << numberText(row.alpha) << (row.takesTouches ? "" : "; no touches") << "; at "
                      << frameText(row.frame) << "\n";
        }
    }
    if (screen.alert) {
        std::cout << "alert: \"" << screen.alert->title << "\" \"" << screen.alert->message << "\" (tag " << screen.alert->tag << ") buttons:";
        for (std::size_t i = 0; i < screen.alert->buttons.size(); ++i)
            std::cout << " " << (static_cast<long>(i) == screen.alert->cancelButtonIndex ? "[" + screen.alert->buttons[i] + "]" : screen.alert->buttons[i]);
        std::cout << "\n";
    }
    if (screen.sheet) {
        std::cout << "sheet: " << screen.sheet->kind << "; left " << barButtonText(screen.sheet->leftBarButton) << "; right "
                  << barButtonText(screen.sheet->rightBarButton) << "\n";
        for (auto& [field, value] : screen.sheet->fields) {
            std::string shown;
            for (char c : value)
                shown += c == '\n' ? std::string("\\n") : std::string(1, c);
            std::cout << "  " << field << ": " << shown << "\n";
        }
    }
    for (auto& [url, application] : screen.openedURLs)
        std::cout << "opened: " << url << " (" << (application.empty() ? "no app takes it" : application) << ")\n";
    for (auto& path : screen.sentMail)
        std::cout << "sent mail: " << path << "\n";
    std::cout << std::flush;
}

JSON accessoryJSON(const AccessorySnapshot& accessory)
{
    static const char* kinds[] = { "none", "switch", "swatch", "label", "segments", "checkmark", "disclosure", "view" };
    JSON json { { "kind", kinds[static_cast<int>(accessory.kind)] } };
    switch (accessory.kind) {
    case AccessorySnapshot::Kind::Switch:
        json["on"] = accessory.isOn;
        json["onTint"] = colorJSON(accessory.color.get());
        break;
    case AccessorySnapshot::Kind::Swatch:
        json["color"] = colorJSON(accessory.color.get());
        break;
    case AccessorySnapshot::Kind::Label:
        json["text"] = accessory.text;
        json["width"] = jsonNumber(accessory.width);
        break;
    case AccessorySnapshot::Kind::Segments:
        json["segments"] = accessory.segments;
        json["selected"] = accessory.selectedSegment;
        break;
    default:
        break;
    }
    if (accessory.frame.size.width > 0)
        json["frame"] = frameJSON(accessory.frame);
    return json;
}

JSON imageJSON(const std::optional<ImageSnapshot>& image)
{
    if (!image)
        return nullptr;
    return { { "name", image->name }, { "template", image->isTemplate } };
}

JSON optionalJSON(const std::optional<std::string>& text)
{
    return text ? JSON(*text) : JSON();
}

JSON barButtonJSON(const std::optional<BarButtonSnapshot>& button)
{
    if (!button)
        return nullptr;
    return { { "title", button->title }, { "image", imageJSON(button->image) }, { "view", button->customView ? accessoryJSON(*button->customView) : JSON() },
        { "tint", colorJSON(button->tint.get()) }, { "frame", frameJSON(button->frame) } };
}

JSON sectionJSON(const SectionSnapshot& section)
{
    JSON rows = JSON::array();
    for (auto& row : section.rows)
        rows.push_back({ { "text", row.text }, { "font", fontJSON(row.font.get()) }, { "image", imageJSON(row.image) },
            { "accessory", accessoryJSON(row.accessory) }, { "alpha", jsonNumber(row.alpha) }, { "touches", row.takesTouches },
            { "height", jsonNumber(row.height) }, { "frame", frameJSON(row.frame) }, { "textFrame", frameJSON(row.textFrame) },
            { "imageFrame", row.imageFrame ? frameJSON(*row.imageFrame) : JSON() }, { "separatorInset", jsonNumber(row.separatorInset) } });
    return { { "header", optionalJSON(section.header) }, { "headerAlignment", alignmentName(section.headerAlignment) },
        { "footer", optionalJSON(section.footer) }, { "footerAlignment", alignmentName(section.footerAlignment) },
        { "headerControl", section.headerControl ? accessoryJSON(*section.headerControl) : JSON() }, { "rows", std::move(rows) } };
}

void printJSON(const ScreenSnapshot& screen)
{
    JSON sections = JSON::array();
    for (auto& section : screen.sections)
        sections.push_back(sectionJSON(section));
    JSON alert;
    if (screen.alert) {
        JSON buttonFrames = JSON::array();
        for (auto& frame : screen.alert->buttonFrames)
            buttonFrames.push_back(frameJSON(frame));
        alert = { { "title", screen.alert->title }, { "message", screen.alert->message }, { "tag", screen.alert->tag },
            { "cancelButtonIndex", screen.alert->cancelButtonIndex }, { "buttons", screen.alert->buttons }, { "buttonFrames", std::move(buttonFrames) } };
    }
    JSON sheet;
    if (screen.sheet) {
        JSON fields = JSON::array();
        for (auto& [field, value] : screen.sheet->fields)
            fields.push_back({ field, value });
        sheet = { { "kind", screen.sheet->kind }, { "left", barButtonJSON(screen.sheet->leftBarButton) },
            { "right", barButtonJSON(screen.sheet->rightBarButton) }, { "fields", std::move(fields) } };
    }
    JSON opened = JSON::array();
    for (auto& [url, application] : screen.openedURLs)
        opened.push_back({ { "url", url }, { "app", application.empty() ? JSON() : JSON(application) } });
    JSON json { { "screen", screen.controllerClass }, { "depth", screen.depth }, { "title", screen.title }, { "titleImage", imageJSON(screen.titleImage) },
        { "barTint", colorJSON(screen.barTint.get()) }, { "viewTint", colorJSON(screen.viewTint.get()) }, { "left", barButtonJSON(screen.leftBarButton) },
        { "right", barButtonJSON(screen.rightBarButton) }, { "back", barButtonJSON(screen.backButton) },
        { "contentOffset", { { "x", jsonNumber(screen.contentOffset.x) }, { "y", jsonNumber(screen.contentOffset.y) } } },
        { "contentSize", { { "width", jsonNumber(screen.contentSize.width) }, { "height", jsonNumber(screen.contentSize.height) } } },
        { "sections", std::move(sections) }, { "alert", std::move(alert) }, { "sheet", std::move(sheet) }, { "opened", std::move(opened) },
        { "sentMail", screen.sentMail } };
    std::cout << jsonText(json) << std::endl;
}

struct Outcome {
    std::string error;
    bool isQuit { false };

    Outcome() = default;
    Outcome(std::string message, bool quits = false)
        : error(std::move(message))
        , isQuit(quits)
    {
    }
    Outcome(const char* message)
        : error(message)
    {
    }
    Outcome(const Expected<void>& done)
        : error(done ? std::string() : done.error().message)
    {
    }
};

Outcome runCommand(SettingsApp& app, const std::string& line, const SettingsOptions& options)
{
    std::istringstream words(line);
    std::string command;
    words >> command;
    std::string rest;
    std::getline(words >> std::ws, rest);
    if (command.empty() || command[0] == '#')
        return {};
    if (command == "quit")
        return { {}, true };
    if (command == "show") {
        // A still picture shows where every animation ends.
        UIViewAnimation::finishAll();
        auto screen = ScreenSnapshot::capture(app);
        options.isJSON ? printJSON(screen) : printText(screen);
        if (!options.picture.empty() && !writeScreenPicture(app, options.picture))
            return { "cannot write " + options.picture };
        return {};
    }
    if (command == "touch" || command == "scroll") {
        std::istringstream numbers(rest);
        std::vector<double> values;
        for (std::string word; numbers >> word;) {
            char* end = nullptr;
            double value = std::strtod(word.c_str(), &end);
            if (*end || !std::isfinite(value) || std::fabs(value) > 1e6)
                return { command == "touch" ? "usage: touch X Y (points)" : "usage: scroll DY (points)" };
            values.push_back(value);
        }
        if (command == "touch")
            return values.size() == 2 ? Outcome(app.touch({ values[0], values[1] })) : Outcome("usage: touch X Y (points)");
        return values.size() == 1 ? Outcome(app.scroll(values[0])) : Outcome("usage: scroll DY (points)");
    }
    if (command == "tap")
        return rest.empty() ? Outcome("usage: tap ROW") : Outcome(app.tapRow(rest));
    if (command == "switch") {
        auto space = rest.rfind(' ');
        std::string state = space == std::string::npos ? "" : rest.substr(space + 1);
        if (state != "on" && state != "off")
            return { "usage: switch ROW on|off" };
        return app.setSwitch(rest.substr(0, space), state == "on");
    }
    if (command == "segment") {
        char* end = nullptr;
        long index = std::strtol(rest.c_str(), &end, 10);
        if (rest.empty() || *end)
            return { "usage: segment INDEX" };
        return app.selectSegment(index);
    }
    if (command == "bar") {
        if (rest != "left" && rest != "right")
            return { "usage: bar left|right" };
        return app.tapBarButton(rest == "left" ? SettingsApp::BarSide::Left : SettingsApp::BarSide::Right);
    }
    if (command == "alert")
        return rest.empty() ? Outcome("usage: alert BUTTON") : Outcome(app.tapAlertButton(rest));
    if (command == "back")
        return app.goBack();
    if (command == "home") {
        app.pressHome();
        return {};
    }
    if (command == "wait") {
        char* end = nullptr;
        double seconds = std::strtod(rest.c_str(), &end);
        if (rest.empty() || *end || !std::isfinite(seconds) || seconds < 0 || seconds > 3600)
            return { "usage: wait SECONDS (0 to 3600)" };
        app.runFor(std::chrono::nanoseconds(static_cast<std::int64_t>(seconds * 1e9)));
        return {};
    }
    return { "unknown command \"" + command + "\"; " + settingsCommandHelp() };
}

}

std::string settingsCommandHelp()
{
    std::string help = "commands:";
    for (auto& [verb, arguments] : kSettingsCommandVerbs)
        help += std::string(help.ends_with(":") ? " " : " | ") + verb + (*arguments ? " " : "") + arguments;
    return help
        + "\n  X, Y and DY are points on the phone's screen (375 x 667 on an iPhone 6s); ROW is a row's text or SECTION:ROW; BUTTON is a button's title or "
          "index";
}

ExitStatus runSettings(const SettingsOptions& options)
{
    // Time passes only when a command says so, so every run is the same; and
    // what it shows are still pictures, so nothing animates.
    CFRunLoop::main().useManualClock();
    UIViewAnimation::setAnimationsEnabled(false);
    auto& app = SettingsApp::launch();
    if (auto opened = app.openEntry("MenutoneSettings"); !opened) {
        std::cerr << "menutone: settings: " << opened.error().message << "\n";
        return ExitStatus::Failure;
    }

    bool hasFailed = false;
    auto handle = [&](const std::string& line) {
        auto outcome = runCommand(app, line, options);
        if (!outcome.error.empty()) {
            std::cerr << "menutone: settings: " << line << ": " << outcome.error << std::endl;
            hasFailed = true;
        }
        return outcome;
    };
    if (!options.commands.empty()) {
        for (auto& line : options.commands) {
            auto outcome = handle(line);
            if (outcome.isQuit || !outcome.error.empty())
                break;
        }
    } else {
        if (::isatty(STDIN_FILENO))
            std::cout << settingsCommandHelp() << std::endl;
        for (std::string line; std::getline(std::cin, line);) {
            if (handle(line).isQuit)
                break;
        }
    }
    return hasFailed ? ExitStatus::Failure : ExitStatus::Success;
}
