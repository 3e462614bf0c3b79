#include "PhoneProtocol.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <utility>

#include <corefoundation/CFRunLoop.h>
#include <foundation/PropertyListSerialization.h>
#include <uikit/UIViewRendering.h>
#include <uikit/UIWindow.h>

#include <common/JSON.h>

namespace {

// What a frame's picture is encoded at: a screen reads well and encodes fast.
constexpr double jpegQuality = 0.85;

// A termination request, carried from the signal handler to the run loop.
int terminationPipe[2] = { -1, -1 };

void requestTermination(int)
{
    char byte = 1;
    [[maybe_unused]] auto written = ::write(terminationPipe[1], &byte, 1);
}

}

std::string frameLine(UIWindow& window, const std::vector<AccessibleElement>& elements)
{
    auto picture = imageOfViewHierarchy(window);
    return frameLine(window, picture.get(), elements);
}

std::string frameLine(UIWindow& window, const UIImage* picture, const std::vector<AccessibleElement>& elements)
{
    std::string image = picture ? "data:image/jpeg;base64," + foundation::base64Encode(UIImageJPEGRepresentation(*picture, jpegQuality)) : "";
    JSON list = JSON::array();
    for (auto& element : elements) {
        JSON item { { "id", element.id }, { "name", element.name }, { "role", element.role }, { "frame", frameJSON(element.frame) },
            { "enabled", element.isEnabled } };
        if (element.isChecked)
            item["checked"] = *element.isChecked;
        list.push_back(std::move(item));
    }
    CGSize size = window.bounds().size;
    return jsonText({ { "frame", { { "image", image }, { "width", size.width }, { "height", size.height }, { "elements", std::move(list) } } } });
}

std::string eventLine(const std::string& event)
{
    return jsonText({ { "event", event } });
}

std::string errorLine(const std::string& message)
{
    return jsonText({ { "error", message } });
}

std::string replyLine(const std::string& command, const std::optional<std::string>& error)
{
    JSON reply { { "to", command } };
    if (error)
        reply["error"] = *error;
    return jsonText({ { "reply", reply } });
}

Expected<PhoneMessage> readPhoneMessage(const std::string& line)
{
    // A frame is large and relayed whole: its key is all that is read.
    static constexpr std::pair<std::string_view, PhoneMessage::Kind> kinds[] = { { "{\"frame\":", PhoneMessage::Kind::Frame },
        { "{\"event\":", PhoneMessage::Kind::Event }, { "{\"error\":", PhoneMessage::Kind::Error }, { "{\"reply\":", PhoneMessage::Kind::Reply } };
    for (auto& [prefix, kind] : kinds) {
        if (!line.starts_with(prefix) || !line.ends_with("}"))
            continue;
        PhoneMessage message { kind, line, {}, {} };
        if (kind == PhoneMessage::Kind::Reply) {
            auto json = nlohmann::json::parse(line, nullptr, false);
            auto* reply = json.is_object() && json.contains("reply") ? &json["reply"] : nullptr;
            if (!reply || !reply->is_object() || !reply->contains("to") || !(*reply)["to"].is_string())
                return makeError(ErrorKind::Malformed, "a reply that answers nothing: " + line.substr(0, 80));
            message.replyTo = (*reply)["to"].get<std::string>();
            if (reply->contains("error"))
                message.replyError = (*reply)["error"].is_string() ? (*reply)["error"].get<std::string>() : (*reply)["error"].dump();
        }
        return message;
    }
    return makeError(ErrorKind::Malformed, "not a phone's message: " + line.substr(0, 80));
}

Expected<PhoneCommand> parsePhoneCommand(const std::string& line)
{
    std::istringstream words(line);
    PhoneCommand command;
    words >> command.verb;
    std::getline(words >> std::ws, command.argument);
    struct Shape {
        const char* verb;
        std::size_t numbers;
    };
    static constexpr Shape shapes[]
        = { { "down", 2 }, { "move", 3 }, { "up", 3 }, { "scroll", 1 }, { "home", 0 }, { "frame", 0 }, { "match", 0 }, { "quit", 0 } };
    for (auto& shape : shapes) {
        if (command.verb != shape.verb)
            continue;
        std::istringstream numbers(command.argument);
        for (std::string word; numbers >> word;) {
            char* end = nullptr;
            double value = std::strtod(word.c_str(), &end);
            if (*end || !std::isfinite(value) || std::fabs(value) > 1e6)
                return makeError(ErrorKind::Malformed, "not a number: " + word);
            command.numbers.push_back(value);
        }
        if (command.numbers.size() != shape.numbers)
            return makeError(ErrorKind::Malformed, command.verb + " takes " + std::to_string(shape.numbers) + " numbers");
        return command;
    }
    static constexpr std::string_view verbsWithArgument[] = { "activate", "press", "import", "wallpaper" };
    if (std::ranges::find(verbsWithArgument, command.verb) != std::end(verbsWithArgument) && !command.argument.empty())
        return command;
    return makeError(ErrorKind::Malformed, "unknown command \"" + command.verb + "\"");
}

void runLineLoop(const std::function<void(const std::string&)>& handle)
{
    auto& loop = CFRunLoop::main();
    // Ctrl-C reaches the whole process group; the simulator that started this
    // phone hears it and tells the phone to quit. Asked to terminate (or
    // interrupted when a person types the commands), the phone ends as
    // "quit" would, giving back what it holds in the root.
    bool isTyped = ::isatty(STDIN_FILENO);
    if (!isTyped)
        ::signal(SIGINT, SIG_IGN);
    std::optional<CFRunLoop::SourceID> terminationSource;
    if (::pipe2(terminationPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        struct sigaction action { };
        action.sa_handler = requestTermination;
        ::sigaction(SIGTERM, &action, nullptr);
        ::sigaction(SIGHUP, &action, nullptr);
        if (isTyped)
            ::sigaction(SIGINT, &action, nullptr);
        terminationSource = loop.addFileDescriptorSource(terminationPipe[0], [&] { loop.stop(); });
    }
    std::string pending;
    std::optional<CFRunLoop::SourceID> source;
    source = loop.addFileDescriptorSource(STDIN_FILENO, [&] {
        char buffer[65536];
        ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            return;
        if (count <= 0) {
            // The end of input stays readable: no pass may hear it again.
            loop.removeSource(*std::exchange(source, std::nullopt));
            if (!pending.empty())
                handle(std::exchange(pending, {}));
            loop.stop();
            return;
        }
        pending.append(buffer, static_cast<std::size_t>(count));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (line == "quit") {
                loop.stop();
                return;
            }
            handle(line);
        }
    });
    loop.run();
    if (source)
        loop.removeSource(*source);
    if (terminationSource) {
        loop.removeSource(*terminationSource);
        ::signal(SIGTERM, SIG_DFL);
        ::signal(SIGHUP, SIG_DFL);
        ::signal(SIGINT, SIG_DFL);
        ::close(terminationPipe[0]);
        ::close(terminationPipe[1]);
        terminationPipe[0] = terminationPipe[1] = -1;
    }
}

void runPhoneCommands(const PhoneHandlers& phone)
{
    phone.sendFrame();
    runLineLoop([&](const std::string& line) {
        auto command = parsePhoneCommand(line);
        Expected<void> done;
        if (!command)
            done = makeUnexpected(command.error());
        else {
            auto& numbers = command->numbers;
            CGPoint point = numbers.size() >= 2 ? CGPoint { numbers[0], numbers[1] } : CGPoint {};
            if (command->verb == "down")
                phone.touchDown(point);
            else if (command->verb == "move")
                phone.touchMoved(point, UITouch::Seconds(numbers[2]));
            else if (command->verb == "up")
                phone.touchUp(point, UITouch::Seconds(numbers[2]));
            else if (command->verb == "scroll")
                done = phone.scroll(numbers[0]);
            else if (command->verb == "activate")
                done = phone.activate(command->argument);
            else if (command->verb == "press")
                done = phone.press ? phone.press(command->argument) : makeError(ErrorKind::Refused, "this phone has nothing to press");
            else if (command->verb == "import")
                done = phone.import ? phone.import(command->argument) : makeError(ErrorKind::Refused, "this phone takes no store");
            else if (command->verb == "wallpaper")
                done = phone.wallpaper ? phone.wallpaper(command->argument) : makeError(ErrorKind::Refused, "this phone sets no wallpaper");
            else if (command->verb == "home")
                phone.home();
            else if (command->verb == "frame")
                phone.sendFrame();
            else if (command->verb == "match")
                done = phone.matchWallpaper ? phone.matchWallpaper() : makeError(ErrorKind::Refused, "this phone does not match colours to the wallpaper");
        }
        if (!done)
            std::cout << errorLine(done.error().message) << std::endl;
    });
}
