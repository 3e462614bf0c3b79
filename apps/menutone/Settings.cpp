#include "Settings.h"

#include <unistd.h>

#include <cmath>
#include <iostream>
#include <sstream>

#include <corefoundation/CFRunLoop.h>
#include <settingsapp/ScreenSnapshot.h>
#include <settingsapp/SettingsApp.h>

#include "../common/JSON.h"

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

std::string colorJSON(const UIColor* color)
{
    std::string text = colorText(color);
    return text == "none" ? "null" : jsonString(text);
}

std::string frameJSON(CGRect frame)
{
    return "{\"x\":" + jsonNumber(frame.origin.x) + ",\"y\":" + jsonNumber(frame.origin.y) + ",\"width\":" + jsonNumber(frame.size.width)
        + ",\"height\":" + jsonNumber(frame.size.height) + "}";
}

std::string accessoryJSON(const AccessorySnapshot& accessory)
{
    static const char* kinds[] = { "none", "switch", "swatch", "label", "segments", "checkmark", "disclosure", "view" };
    std::string json = "{\"kind\":" + jsonString(kinds[static_cast<int>(accessory.kind)]);
    switch (accessory.kind) {
    case AccessorySnapshot::Kind::Switch:
        json += std::string(",\"on\":") + (accessory.isOn ? "true" : "false") + ",\"onTint\":" + colorJSON(accessory.color.get());
        break;
    case AccessorySnapshot::Kind::Swatch:
        json += ",\"color\":" + colorJSON(accessory.color.get());
        break;
    case AccessorySnapshot::Kind::Label:
        json += ",\"text\":" + jsonString(accessory.text) + ",\"width\":" + jsonNumber(accessory.width);
        break;
    case AccessorySnapshot::Kind::Segments: {
        json += ",\"segments\":[";
        for (std::size_t i = 0; i < accessory.segments.size(); ++i)
            json += (i ? "," : "") + jsonString(accessory.segments[i]);
        json += "],\"selected\":" + std::to_string(accessory.selectedSegment);
        break;
    }
    default:
        break;
    }
    if (accessory.frame.size.width > 0)
        json += ",\"frame\":" + frameJSON(accessory.frame);
    return json + "}";
}

std::string imageJSON(const std::optional<ImageSnapshot>& image)
{
    if (!image)
        return "null";
    return "{\"name\":" + jsonString(image->name) + ",\"template\":" + (image->isTemplate ? "true" : "false") + "}";
}

std::string optionalJSON(const std::optional<std::string>& text)
{
    return text ? jsonString(*text) : "null";
}

std::string barButtonJSON(const std::optional<BarButtonSnapshot>& button)
{
    if (!button)
        return "null";
    return "{\"title\":" + jsonString(button->title) + ",\"image\":" + imageJSON(button->image)
        + ",\"view\":" + (button->customView ? accessoryJSON(*button->customView) : "null") + ",\"tint\":" + colorJSON(button->tint.get())
        + ",\"frame\":" + frameJSON(button->frame) + "}";
}

void printJSON(const ScreenSnapshot& screen)
{
    std::string json = "{\"screen\":" + jsonString(screen.controllerClass) + ",\"depth\":" + std::to_string(screen.depth)
        + ",\"title\":" + jsonString(screen.title) + ",\"titleImage\":" + imageJSON(screen.titleImage) + ",\"barTint\":" + colorJSON(screen.barTint.get())
        + ",\"viewTint\":" + colorJSON(screen.viewTint.get()) + ",\"left\":" + barButtonJSON(screen.leftBarButton)
        + ",\"right\":" + barButtonJSON(screen.rightBarButton) + ",\"back\":" + barButtonJSON(screen.backButton)
        + ",\"contentOffset\":{\"x\":" + jsonNumber(screen.contentOffset.x) + ",\"y\":" + jsonNumber(screen.contentOffset.y)
        + "},\"contentSize\":{\"width\":" + jsonNumber(screen.contentSize.width) + ",\"height\":" + jsonNumber(screen.contentSize.height) + "},\"sections\":[";
    for (std::size_t s = 0; s < screen.sections.size(); ++s) {
        auto& section = screen.sections[s];
        json += (s ? "," : "") + std::string("{\"header\":") + optionalJSON(section.header)
            + ",\"headerAlignment\":" + jsonString(alignmentName(section.headerAlignment)) + ",\"footer\":" + optionalJSON(section.footer)
            + ",\"footerAlignment\":" + jsonString(alignmentName(section.footerAlignment))
            + ",\"headerControl\":" + (section.headerControl ? accessoryJSON(*section.headerControl) : "null") + ",\"rows\":[";
        for (std::size_t r = 0; r < section.rows.size(); ++r) {
            auto& row = section.rows[r];
            json += (r ? "," : "") + std::string("{\"text\":") + jsonString(row.text)
                + ",\"font\":" + (row.font ? "{\"name\":" + jsonString(row.font->fontName()) + ",\"size\":" + jsonNumber(row.font->pointSize()) + "}" : "null")
                + ",\"image\":" + imageJSON(row.image) + ",\"accessory\":" + accessoryJSON(row.accessory) + ",\"alpha\":" + jsonNumber(row.alpha)
                + ",\"touches\":" + (row.takesTouches ? "true" : "false") + ",\"height\":" + jsonNumber(row.height) + ",\"frame\":" + frameJSON(row.frame)
                + "}";
        }
        json += "]}";
    }
    json += "],\"alert\":";
    if (screen.alert) {
        json += "{\"title\":" + jsonString(screen.alert->title) + ",\"message\":" + jsonString(screen.alert->message)
            + ",\"tag\":" + std::to_string(screen.alert->tag) + ",\"cancelButtonIndex\":" + std::to_string(screen.alert->cancelButtonIndex) + ",\"buttons\":[";
        for (std::size_t i = 0; i < screen.alert->buttons.size(); ++i)
            json += (i ? "," : "") + jsonString(screen.alert->buttons[i]);
        json += "],\"buttonFrames\":[";
        for (std::size_t i = 0; i < screen.alert->buttonFrames.size(); ++i)
            json += (i ? "," : "") + frameJSON(screen.alert->buttonFrames[i]);
        json += "]}";
    } else
        json += "null";
    json += ",\"sheet\":";
    if (screen.sheet) {
        json += "{\"kind\":" + jsonString(screen.sheet->kind) + ",\"left\":" + barButtonJSON(screen.sheet->leftBarButton)
            + ",\"right\":" + barButtonJSON(screen.sheet->rightBarButton) + ",\"fields\":[";
        for (std::size_t i = 0; i < screen.sheet->fields.size(); ++i)
            json += (i ? "," : "") + std::string("[") + jsonString(screen.sheet->fields[i].first) + "," + jsonString(screen.sheet->fields[i].second) + "]";
        json += "]}";
    } else
        json += "null";
    json += ",\"opened\":[";
    for (std::size_t i = 0; i < screen.openedURLs.size(); ++i)
        json += (i ? "," : "") + std::string("{\"url\":") + jsonString(screen.openedURLs[i].first)
            + ",\"app\":" + (screen.openedURLs[i].second.empty() ? "null" : jsonString(screen.openedURLs[i].second)) + "}";
    json += "],\"sentMail\":[";
    for (std::size_t i = 0; i < screen.sentMail.size(); ++i)
        json += (i ? "," : "") + jsonString(screen.sentMail[i]);
    json += "]";
    std::cout << json << "}" << std::endl;
}

struct Outcome {
    std::string error;
    bool isQuit { false };
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
            return { values.size() == 2 ? app.touch({ values[0], values[1] }) : "usage: touch X Y (points)" };
        return { values.size() == 1 ? app.scroll(values[0]) : "usage: scroll DY (points)" };
    }
    if (command == "tap")
        return { rest.empty() ? "usage: tap ROW" : app.tapRow(rest) };
    if (command == "switch") {
        auto space = rest.rfind(' ');
        std::string state = space == std::string::npos ? "" : rest.substr(space + 1);
        if (state != "on" && state != "off")
            return { "usage: switch ROW on|off" };
        return { app.setSwitch(rest.substr(0, space), state == "on") };
    }
    if (command == "segment") {
        char* end = nullptr;
        long index = std::strtol(rest.c_str(), &end, 10);
        if (rest.empty() || *end)
            return { "usage: segment INDEX" };
        return { app.selectSegment(index) };
    }
    if (command == "bar") {
        if (rest != "left" && rest != "right")
            return { "usage: bar left|right" };
        return { app.tapBarButton(rest == "left" ? SettingsApp::BarSide::Left : SettingsApp::BarSide::Right) };
    }
    if (command == "alert")
        return { rest.empty() ? "usage: alert BUTTON" : app.tapAlertButton(rest) };
    if (command == "back")
        return { app.goBack() };
    if (command == "wait") {
        char* end = nullptr;
        double seconds = std::strtod(rest.c_str(), &end);
        if (rest.empty() || *end || !std::isfinite(seconds) || seconds < 0 || seconds > 3600)
            return { "usage: wait SECONDS (0 to 3600)" };
        app.runFor(std::chrono::nanoseconds(static_cast<std::int64_t>(seconds * 1e9)));
        return {};
    }
    return { "unknown command \"" + command + "\"; " + kSettingsCommandHelp };
}

}

ExitStatus runSettings(const SettingsOptions& options)
{
    // Time passes only when a command says so, so every run is the same.
    CFRunLoop::main().useManualClock();
    auto& app = SettingsApp::launch();
    if (auto error = app.openEntry("MenutoneSettings"); !error.empty()) {
        std::cerr << "menutone: settings: " << error << "\n";
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
            std::cout << kSettingsCommandHelp << std::endl;
        for (std::string line; std::getline(std::cin, line);) {
            if (handle(line).isQuit)
                break;
        }
    }
    return hasFailed ? ExitStatus::Failure : ExitStatus::Success;
}
