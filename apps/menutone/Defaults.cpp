#include "Defaults.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>

#include <corefoundation/CFNotificationCenter.h>
#include <corefoundation/CFRunLoop.h>
#include <device/DeviceRoot.h>
#include <foundation/NSDictionary.h>
#include <foundation/NSKeyedArchiver.h>
#include <foundation/PropertyListSerialization.h>
#include <shared/SettingsStore.h>
#include <uikit/UIColor.h>

#include "PropertyListText.h"

namespace {

void printError(const std::string& message)
{
    std::cerr << "menutone: " << message << "\n";
}

std::optional<std::string> devicePathOfDomain(const std::string& domain)
{
    // The global domain, as the defaults tool spells it: every app reads it (the device's languages).
    if (domain == "-g" || domain == "-globalDomain" || domain == "NSGlobalDomain")
        return "/var/mobile/Library/Preferences/.GlobalPreferences.plist";
    if (domain.empty() || domain == "." || domain == ".." || domain.find('/') != std::string::npos || domain.find('\0') != std::string::npos) {
        printError("\"" + domain + "\" is not a domain name");
        return std::nullopt;
    }
    return "/var/mobile/Library/Preferences/" + domain + ".plist";
}

enum class LoadState { Loaded, Missing, Unreadable };

struct LoadedDomain {
    LoadState state;
    NSMutableDictionary dictionary;
    std::string hostPath;
};

// The domain's dictionary; a file that exists but is not one is reported.
LoadedDomain loadDomain(const std::string& devicePath)
{
    DeviceRoot root = DeviceRoot::current();
    std::string shownPath = (root.hostFolder() / devicePath.substr(1)).string();
    if (auto link = root.linkLeavingRoot(devicePath)) {
        printError(devicePath + " leads out of the device root through the link " + *link + "; left as it is");
        return { LoadState::Unreadable, {}, shownPath };
    }
    device::ReadFailure failure = device::ReadFailure::Unreadable;
    auto contents = root.readFile(devicePath, &failure);
    if (!contents && !root.fileExists(devicePath) && errno == ENOENT)
        return { LoadState::Missing, {}, shownPath };
    if (!contents) {
        printError(
            shownPath + (failure == device::ReadFailure::TooLarge ? " is too large to be a store (over 64 MiB)" : " cannot be read") + "; left as it is");
        return { LoadState::Unreadable, {}, shownPath };
    }
    auto result = PropertyListSerialization::read(*contents);
    if (!result.value || !result.value->asDictionary()) {
        std::string reason = result.value ? std::string("a ") + PropertyListValue::typeName(result.value->type()) + ", not a dictionary" : result.error;
        printError(shownPath + " is not a property-list dictionary (" + reason + "); left as it is");
        return { LoadState::Unreadable, {}, shownPath };
    }
    return { LoadState::Loaded, NSMutableDictionary(NSDictionary(*result.value->asDictionary())), shownPath };
}

void notifyIfMenutone(const std::string& domain, const DefaultsOptions& options)
{
    if (options.shouldNotify && domain == kMenutoneDomain)
        postNotification(kMenutoneSettingsChangedNotification);
}

std::string describeColor(const NSObject* object)
{
    auto* color = objc_dynamicCast<UIColor>(const_cast<NSObject*>(object));
    double red, green, blue, alpha;
    if (!color || !color->getRed(&red, &green, &blue, &alpha))
        return "none";
    char text[96];
    std::snprintf(text, sizeof text, "rgba(%.6g, %.6g, %.6g, %.6g)", red, green, blue, alpha);
    return text;
}

// The eighteen keys as the tweak's readers see them, defaults filled in.
ExitStatus printResolved(const NSDictionary* dictionary, const DefaultsOptions& options)
{
    JSON json = JSON::object();
    for (auto& key : kMenutoneSettingsKeys) {
        bool isPresent = dictionary && dictionary->objectForKey(key.name);
        std::string text;
        switch (key.type) {
        case SettingsValueType::Boolean: {
            bool value = boolPref(dictionary, key.name, key.defaultValue);
            text = value ? "true" : "false";
            json[key.name] = value;
            break;
        }
        case SettingsValueType::Integer: {
            auto value = intPref(dictionary, key.name, key.defaultValue);
            text = std::to_string(value);
            json[key.name] = value;
            break;
        }
        case SettingsValueType::String: {
            auto value = stringPref(dictionary, key.name, "");
            text = "\"" + value + "\"";
            json[key.name] = value;
            break;
        }
        case SettingsValueType::ArchivedColor: {
            auto color = objectPref(dictionary, key.name);
            text = describeColor(color.get());
            json[key.name] = colorJSON(objc_dynamicCast<UIColor>(color.get()));
            break;
        }
        }
        if (!options.isJSON)
            std::cout << key.name << " = " << text << (isPresent ? "" : " (default)") << "\n";
    }
    if (options.isJSON)
        std::cout << jsonText(json) << "\n";
    return ExitStatus::Success;
}

std::optional<PropertyListValue> parseBoolean(const std::string& text)
{
    std::string lower;
    for (char c : text)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "yes" || lower == "true" || lower == "1")
        return PropertyListValue::boolean(true);
    if (lower == "no" || lower == "false" || lower == "0")
        return PropertyListValue::boolean(false);
    return std::nullopt;
}

// The whole text as one number, or none.
template <typename Number> std::optional<Number> parseWhole(std::string_view text)
{
    Number value;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<PropertyListValue> parseInteger(const std::string& text)
{
    auto value = parseWhole<std::int64_t>(text);
    return value ? std::optional(PropertyListValue::integer(*value)) : std::nullopt;
}

std::optional<PropertyListValue> parseReal(const std::string& text)
{
    auto value = parseWhole<double>(text);
    return value && std::isfinite(*value) ? std::optional(PropertyListValue::real(*value)) : std::nullopt;
}

std::optional<NSData> parseHex(std::string_view text)
{
    if (text.starts_with("0x") || text.starts_with("<"))
        text.remove_prefix(text.starts_with("0x") ? 2 : 1);
    if (text.ends_with(">"))
        text.remove_suffix(1);
    NSData bytes;
    std::string digits;
    for (char c : text) {
        if (c != ' ')
            digits += c;
    }
    if (digits.size() % 2)
        return std::nullopt;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        unsigned value;
        auto [end, error] = std::from_chars(digits.data() + i, digits.data() + i + 2, value, 16);
        if (error != std::errc() || end != digits.data() + i + 2)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

// "#RRGGBB", "#RRGGBBAA" or "r,g,b[,a]" with components in 0..1.
std::optional<PropertyListValue> parseColor(const std::string& text)
{
    std::vector<double> components;
    if (text.starts_with("#")) {
        auto bytes = parseHex(std::string_view(text).substr(1));
        if (!bytes || (bytes->size() != 3 && bytes->size() != 4))
            return std::nullopt;
        for (auto byte : *bytes)
            components.push_back(byte / 255.0);
    } else {
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = text.find(',', start);
            if (end == std::string::npos)
                end = text.size();
            auto component = parseReal(text.substr(start, end - start));
            if (!component || *component->asReal() < 0 || *component->asReal() > 1)
                return std::nullopt;
            components.push_back(*component->asReal());
            start = end + 1;
        }
    }
    if (components.size() != 3 && components.size() != 4)
        return std::nullopt;
    auto color = UIColor::colorWithRed(components[0], components[1], components[2], components.size() == 4 ? components[3] : 1);
    return PropertyListValue::data(NSKeyedArchiver::archivedDataWithRootObject(color.ptr()));
}

void warnAboutMenutoneKey(const std::string& key, const PropertyListValue& value)
{
    auto* known = settingsKeyNamed(key);
    if (!known) {
        printError("note: " + key + " is not one of Menutone's keys; the tweak will not read it");
        return;
    }
    bool isExpected = false;
    switch (known->type) {
    case SettingsValueType::Boolean:
        isExpected = value.type() == PropertyListValue::Type::Boolean;
        break;
    case SettingsValueType::Integer:
        isExpected = value.type() == PropertyListValue::Type::Integer;
        break;
    case SettingsValueType::String:
        isExpected = value.type() == PropertyListValue::Type::String;
        break;
    case SettingsValueType::ArchivedColor:
        isExpected = value.type() == PropertyListValue::Type::Data;
        break;
    }
    if (!isExpected)
        printError("note: Menutone stores " + key + " as " + (known->type == SettingsValueType::ArchivedColor ? "an archived colour (-color)" : "another type")
            + "; see `menutone defaults read " + kMenutoneDomain + " --resolved` for how it reads");
}

}

ExitStatus defaultsRead(const std::string& domain, const std::string* key, const DefaultsOptions& options)
{
    auto devicePath = devicePathOfDomain(domain);
    if (!devicePath)
        return ExitStatus::Usage;
    auto loaded = loadDomain(*devicePath);
    if (options.isResolved) {
        if (domain != kMenutoneDomain) {
            printError("--resolved reads only the " + std::string(kMenutoneDomain) + " domain");
            return ExitStatus::Usage;
        }
        return printResolved(loaded.state == LoadState::Loaded ? &loaded.dictionary : nullptr, options);
    }
    if (loaded.state == LoadState::Unreadable)
        return ExitStatus::Failure;
    if (loaded.state == LoadState::Missing) {
        printError("Domain " + domain + " does not exist");
        return ExitStatus::Failure;
    }
    if (!key) {
        const PropertyListValue& whole = loaded.dictionary.propertyList();
        std::cout << (options.isJSON ? jsonText(propertyListJSON(whole)) : openStepText(whole)) << "\n";
        return ExitStatus::Success;
    }
    auto* value = loaded.dictionary.objectForKey(*key);
    if (!value) {
        printError("The domain/default pair of (" + domain + ", " + *key + ") does not exist");
        return ExitStatus::Failure;
    }
    std::cout << (options.isJSON ? jsonText(propertyListJSON(*value)) : openStepTextOfValue(*value)) << "\n";
    return ExitStatus::Success;
}

namespace {

// The store's write protocol: read the whole file, change one key, write it back atomically.
ExitStatus writeValue(const std::string& domain, const std::string& devicePath, const std::string& key, PropertyListValue value, const DefaultsOptions& options)
{
    if (domain == kMenutoneDomain)
        warnAboutMenutoneKey(key, value);
    auto loaded = loadDomain(devicePath);
    if (loaded.state == LoadState::Unreadable)
        return ExitStatus::Failure;
    loaded.dictionary.setObject(std::move(value), key);
    NSFileManager::defaultManager().createDirectoryAtPath("/var/mobile/Library/Preferences");
    if (!loaded.dictionary.writeToFile(devicePath, Atomically::Yes)) {
        printError("could not write " + loaded.hostPath);
        return ExitStatus::Failure;
    }
    notifyIfMenutone(domain, options);
    return ExitStatus::Success;
}

}

ExitStatus defaultsWrite(const std::string& domain, const std::vector<std::string>& arguments, const DefaultsOptions& options)
{
    auto devicePath = devicePathOfDomain(domain);
    if (!devicePath)
        return ExitStatus::Usage;
    bool isArray = arguments.size() >= 2 && arguments[1] == "-array";
    if (!isArray && arguments.size() != 2 && arguments.size() != 3) {
        printError("usage: menutone defaults write DOMAIN KEY [-bool|-int|-float|-string|-data|-color] VALUE, or KEY -array VALUE...");
        return ExitStatus::Usage;
    }
    const std::string& key = arguments[0];
    if (isArray) {
        // -array VALUE...: an array of the strings given, none for an empty one.
        PropertyListValue::Array values;
        for (std::size_t i = 2; i < arguments.size(); ++i)
            values.push_back(PropertyListValue::string(arguments[i]));
        return writeValue(domain, *devicePath, key, PropertyListValue::array(std::move(values)), options);
    }
    static const char* const typeFlags[] = { "-bool", "-boolean", "-int", "-integer", "-float", "-string", "-data", "-color" };
    if (arguments.size() == 2 && std::find(std::begin(typeFlags), std::end(typeFlags), arguments[1]) != std::end(typeFlags)) {
        printError("no value after " + arguments[1] + "; usage: menutone defaults write DOMAIN KEY [-bool|-int|-float|-string|-data|-color] VALUE");
        return ExitStatus::Usage;
    }
    std::string type = arguments.size() == 3 ? arguments[1] : "-string";
    const std::string& text = arguments.back();
    std::optional<PropertyListValue> value;
    if (type == "-bool" || type == "-boolean")
        value = parseBoolean(text);
    else if (type == "-int" || type == "-integer")
        value = parseInteger(text);
    else if (type == "-float")
        value = parseReal(text);
    else if (type == "-string")
        value = PropertyListValue::string(text);
    else if (type == "-data") {
        if (auto bytes = parseHex(text))
            value = PropertyListValue::data(std::move(*bytes));
    } else if (type == "-color")
        value = parseColor(text);
    else {
        printError("unknown value type " + type + " (use -bool, -int, -float, -string, -data or -color)");
        return ExitStatus::Usage;
    }
    if (!value) {
        printError("\"" + text + "\" is not a valid " + type.substr(1) + " value");
        return ExitStatus::Usage;
    }
    return writeValue(domain, *devicePath, key, std::move(*value), options);
}

ExitStatus defaultsDelete(const std::string& domain, const std::string* key, const DefaultsOptions& options)
{
    auto devicePath = devicePathOfDomain(domain);
    if (!devicePath)
        return ExitStatus::Usage;
    if (!key) {
        // The whole domain goes, readable or not, as the about screen's reset deletes the store.
        if (!NSFileManager::defaultManager().fileExistsAtPath(*devicePath)) {
            printError("Domain (" + domain + ") not found.");
            return ExitStatus::Failure;
        }
        if (!NSFileManager::defaultManager().removeItemAtPath(*devicePath)) {
            printError("could not delete the file of " + domain);
            return ExitStatus::Failure;
        }
        notifyIfMenutone(domain, options);
        return ExitStatus::Success;
    }
    auto loaded = loadDomain(*devicePath);
    if (loaded.state == LoadState::Missing) {
        printError("Domain (" + domain + ") not found.");
        return ExitStatus::Failure;
    }
    if (loaded.state == LoadState::Unreadable)
        return ExitStatus::Failure;
    if (!loaded.dictionary.objectForKey(*key)) {
        printError("Domain (" + domain + ") not found.\nDefaults have not been changed.");
        return ExitStatus::Failure;
    }
    loaded.dictionary.removeObjectForKey(*key);
    if (!loaded.dictionary.writeToFile(*devicePath, Atomically::Yes)) {
        printError("could not write " + loaded.hostPath);
        return ExitStatus::Failure;
    }
    notifyIfMenutone(domain, options);
    return ExitStatus::Success;
}

ExitStatus postNotification(const std::string& name)
{
    if (name.empty()) {
        printError("a notification needs a name");
        return ExitStatus::Usage;
    }
    CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), CFStringMakeConstantString(name.c_str()), nullptr, nullptr, true);
    return ExitStatus::Success;
}

namespace {
unsigned deliveredCount = 0;
unsigned wantedCount = 0;
}

ExitStatus waitForNotification(const std::string& name, unsigned count, double timeoutSeconds)
{
    if (name.empty()) {
        printError("a notification needs a name");
        return ExitStatus::Usage;
    }
    wantedCount = count;
    CFNotificationCenterAddObserver(
        CFNotificationCenterGetDarwinNotifyCenter(), nullptr,
        [](CFNotificationCenterRef, void*, CFStringRef delivered, const void*, CFDictionaryRef) {
            std::cout << "received " << CFStringGetCStringPtr(delivered) << std::endl;
            if (++deliveredCount == wantedCount)
                CFRunLoop::main().stop();
        },
        CFStringMakeConstantString(name.c_str()), nullptr, CFNotificationSuspensionBehaviorCoalesce);
    std::cout << "waiting for " << name << std::endl;
    bool isTimedOut = false;
    if (timeoutSeconds > 0) {
        auto timeout = std::chrono::duration_cast<Nanoseconds>(std::chrono::duration<double>(timeoutSeconds));
        CFRunLoop::main().addTimer(CFRunLoop::main().now() + timeout, [&] {
            isTimedOut = true;
            CFRunLoop::main().stop();
        });
    }
    CFRunLoop::main().run();
    if (isTimedOut) {
        printError("no " + name + " within " + std::to_string(timeoutSeconds) + " seconds");
        return ExitStatus::Failure;
    }
    return ExitStatus::Success;
}
