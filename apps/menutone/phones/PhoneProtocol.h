#pragma once

// How the simulator talks to the two phones it runs (the Settings app and
// the home screen, each its own process on the root): line commands in,
// one JSON object per line out.
//
// In:  down X Y | move X Y HELD | up X Y HELD | activate ID | press ID |
//      scroll DY | home | frame | import FILE | wallpaper FILE|NAME | match | quit
//      (points; HELD in seconds)
// Out: {"frame":{"image":"data:image/jpeg;base64,...","width":W,"height":H,"elements":[...]}}
//      {"event":"..."}   {"error":"..."}
//      {"reply":{"to":"import","error":"..."}}   (no "error": done; also "wallpaper")
//
// An element is what a screen reader finds over the picture: an id to
// activate it by, its visible name, its role, and its frame on the screen.

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <base/Expected.h>
#include <uikit/CGGeometry.h>
#include <uikit/UITouch.h>

class UIImage;

class UIWindow;

struct AccessibleElement {
    AccessibleElement(std::string id, std::string name, std::string role, CGRect frame, bool isEnabled = true)
        : id(std::move(id))
        , name(std::move(name))
        , role(std::move(role))
        , frame(frame)
        , isEnabled(isEnabled)
    {
    }

    std::string id;
    std::string name;
    std::string role; // "button", "switch", "radio"
    CGRect frame;
    bool isEnabled { true };
    std::optional<bool> isChecked;
};

// The window drawn for the browser (JPEG: quick to make and to decode) with
// its elements, as one line.
std::string frameLine(UIWindow&, const std::vector<AccessibleElement>&);
// The same with the window's picture already drawn (none: no picture).
std::string frameLine(UIWindow&, const UIImage* picture, const std::vector<AccessibleElement>&);
std::string eventLine(const std::string& event);
std::string errorLine(const std::string& message);
// The answer to a command that waits for one (import): none for done.
std::string replyLine(const std::string& command, const std::optional<std::string>& error);

// A line a phone wrote, read once: its kind from the object's one key, the
// line itself to relay as it stands, and for a reply what it answers.
struct PhoneMessage {
    enum class Kind { Frame, Event, Error, Reply };
    Kind kind;
    std::string object;
    std::string replyTo;
    std::optional<std::string> replyError;
};
// Malformed for a line that is none of the four.
Expected<PhoneMessage> readPhoneMessage(const std::string& line);

// A phone's command, parsed: the verb, the numbers after it, the rest.
struct PhoneCommand {
    std::string verb;
    std::vector<double> numbers;
    std::string argument;
};
// The command; Malformed for a line that is not one this protocol knows.
Expected<PhoneCommand> parsePhoneCommand(const std::string& line);

// Reads stdin line by line on the main run loop until "quit" or the end of
// input, handing each line over; runs the loop meanwhile.
void runLineLoop(const std::function<void(const std::string&)>&);

// What a phone does with each command; those answering an Expected say why
// they could not. A phone without one of them refuses its command.
struct PhoneHandlers {
    std::function<void(CGPoint)> touchDown;
    std::function<void(CGPoint, UITouch::Seconds heldFor)> touchMoved;
    std::function<void(CGPoint, UITouch::Seconds heldFor)> touchUp;
    std::function<Expected<void>(CGFloat dy)> scroll;
    std::function<Expected<void>(const std::string& id)> activate;
    // A full press on the element, as the keyboard's menu key gives.
    std::function<Expected<void>(const std::string& id)> press;
    std::function<Expected<void>(const std::string& hostPath)> import;
    // A photo at a host path, or a built-in wallpaper by name.
    std::function<Expected<void>(const std::string& fileOrName)> wallpaper;
    // The menu's colours chosen to pass on its plate and echo the wallpaper, and written to the store.
    std::function<Expected<void>()> matchWallpaper;
    // The home button.
    std::function<void()> home;
    std::function<void()> sendFrame;
};
// Runs the line loop, handing each command to its handler and writing the
// errors, until "quit" or the end of input.
void runPhoneCommands(const PhoneHandlers&);
