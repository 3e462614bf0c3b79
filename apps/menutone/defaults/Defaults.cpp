#include "Defaults.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>

#include <device/DeviceRoot.h>
#include <foundation/NSDictionary.h>
#include <foundation/NSKeyedArchiver.h>
#include <foundation/PreferencesWriteLock.h>
#include <foundation/PropertyListSerialization.h>
#include <store/PaletteIndex.h>
#include <store/SettingsStore.h>
#include <uikit/UIColor.h>

#include "PrintError.h"
#include "notify/Notify.h"
#include "plist/PropertyListEditing.h"
#include "plist/PropertyListText.h"
#include <common/ColorText.h>
#include <common/FileArgument.h>
#include <common/TextCase.h>

namespace {

constexpr const char* kPreferencesFolder = "/var/mobile/Library/Preferences";

// A domain name, or a property-list path as Apple's tool also takes: absolute
// within the root (".plist" may be left off), or a file name ending in .plist
// in the preferences folder.
std::optional<std::string> devicePathOfDomain(const std::string& domain)
{
    // The global domain, as the defaults tool spells it: every app reads it (the device's languages).
    if (domain == "-g" || domain == "-globalDomain" || domain == "NSGlobalDomain")
        return std::string(kPreferencesFolder) + "/.GlobalPreferences.plist";
    bool isBad = domain.empty() || domain == "." || domain == ".." || domain.find('\0') != std::string::npos;
    if (!isBad && domain.starts_with("/")) {
        for (std::size_t start = 1; start <= domain.size();) {
            std::size_t end = std::min(domain.find('/', start), domain.size());
            auto component = std::string_view(domain).substr(start, end - start);
            if (component == "." || component == ".." || component.empty())
                isBad = true;
            start = end + 1;
        }
        if (!isBad)
            return domain.ends_with(".plist") ? domain : domain + ".plist";
    }
    if (isBad || domain.find('/') != std::string::npos)
        return std::nullopt;
    return std::string(kPreferencesFolder) + "/" + domain + (domain.ends_with(".plist") ? "" : ".plist");
}

// The same, saying why not.
std::optional<std::string> resolveDomain(const std::string& domain)
{
    auto path = devicePathOfDomain(domain);
    if (!path)
        printError("\"" + domain + "\" is not a domain name, or a property-list path within the root");
    return path;
}

constexpr const char* kUnchanged = "; defaults have not been changed";

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
    auto contents = root.readFile(devicePath);
    if (!contents && contents.error().kind == ErrorKind::NotFound)
        return { LoadState::Missing, {}, shownPath };
    if (!contents) {
        printError(
            shownPath + (contents.error().kind == ErrorKind::TooLarge ? " is too large to be a store (over 64 MiB)" : " cannot be read") + "; left as it is");
        return { LoadState::Unreadable, {}, shownPath };
    }
    auto result = PropertyListSerialization::read(*contents);
    if (!result || !result->value.asDictionary()) {
        std::string reason = result ? std::string("a ") + PropertyListValue::typeName(result->value.type()) + ", not a dictionary" : result.error().message;
        printError(shownPath + " is not a property-list dictionary (" + reason + "); left as it is");
        return { LoadState::Unreadable, {}, shownPath };
    }
    return { LoadState::Loaded, NSMutableDictionary(NSDictionary(*result->value.asDictionary())), shownPath };
}

// Whether the domain, however it was named, is Menutone's store.
bool isMenutoneDomain(const std::string& domain)
{
    return devicePathOfDomain(domain) == kMenutoneSettingsPath;
}

void notifyIfMenutone(const std::string& domain, const DefaultsOptions& options)
{
    if (options.shouldNotify && isMenutoneDomain(domain))
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

// The eighteen keys, or the one named, as the tweak's readers see them,
// defaults filled in.
ExitStatus printResolved(const NSDictionary* dictionary, const std::string* onlyKey, const DefaultsOptions& options)
{
    if (onlyKey && !settingsKeyNamed(*onlyKey)) {
        printError(*onlyKey + " is not one of " + std::string(kMenutoneDomain) + "'s keys");
        return ExitStatus::Failure;
    }
    JSON json = JSON::object();
    for (auto& key : kMenutoneSettingsKeys) {
        if (onlyKey && key.name != *onlyKey)
            continue;
        bool isPresent = dictionary && dictionary->objectForKey(key.name);
        std::string text;
        switch (key.type) {
        case SettingsValueType::Boolean: {
            bool value = boolPref(dictionary, key.name, key.defaultValue);
            text = value ? "true" : "false";
            json[key.name] = value;
            break;
        }
        case SettingsValueType::Integer:
        case SettingsValueType::ColorIndex: {
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

// Any colour tincture takes ("#f00", "rgb(255 0 0)", "hsl(...)", "r,g,b[,a]", CSS and palette names), archived as UIColor.
std::optional<PropertyListValue> parseColor(const std::string& text, std::string& error)
{
    auto color = parseColorText(text);
    if (!color) {
        error = color.error().message;
        return std::nullopt;
    }
    return PropertyListValue::data(NSKeyedArchiver::archivedDataWithRootObject(color->ptr()));
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
    case SettingsValueType::ColorIndex:
        isExpected = value.type() == PropertyListValue::Type::Integer;
        break;
    case SettingsValueType::String:
        isExpected = value.type() == PropertyListValue::Type::String;
        break;
    case SettingsValueType::ArchivedColor:
        isExpected = value.type() == PropertyListValue::Type::Data;
        break;
    }
    // Written as asked, as Apple's tool does; the tweak reads such an index as no colour.
    auto lastIndex = static_cast<std::int64_t>(kColorNames.size()) - 1;
    if (isExpected && known->type == SettingsValueType::ColorIndex && value.asInteger() && (*value.asInteger() < 0 || *value.asInteger() > lastIndex))
        printError(
            "warning: " + std::to_string(*value.asInteger()) + " is not a colour index (0–" + std::to_string(lastIndex) + "); " + key + " will show no colour");
    if (!isExpected)
        printError("note: Menutone stores " + key + " as " + (known->type == SettingsValueType::ArchivedColor ? "an archived colour (-color)" : "another type")
            + "; see `menutone defaults read " + kMenutoneDomain + " --resolved` for how it reads");
}

}

ExitStatus defaultsRead(const std::string& domain, const std::string* key, const DefaultsOptions& options)
{
    auto devicePath = resolveDomain(domain);
    if (!devicePath)
        return ExitStatus::Usage;
    auto loaded = loadDomain(*devicePath);
    if (options.isResolved) {
        if (!isMenutoneDomain(domain)) {
            printError("--resolved reads only the " + std::string(kMenutoneDomain) + " domain");
            return ExitStatus::Usage;
        }
        return printResolved(loaded.state == LoadState::Loaded ? &loaded.dictionary : nullptr, key, options);
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

// What a change does to a domain with no file: creates it, or stops with the message.
struct MissingDomain {
    std::optional<std::string> refusal;
    static MissingDomain create() { return {}; }
    static MissingDomain refuse(std::string message) { return { std::move(message) }; }
};

// The store's write protocol: read the whole file, change it, write it back
// atomically. A change that answers an error leaves the file as it was.
ExitStatus changeDomain(const std::string& domain, const std::string& devicePath, const DefaultsOptions& options,
    const std::function<std::optional<std::string>(NSMutableDictionary&)>& change, const MissingDomain& missing = MissingDomain::create())
{
    PreferencesWriteLock lock;
    auto loaded = loadDomain(devicePath);
    if (loaded.state == LoadState::Unreadable)
        return ExitStatus::Failure;
    if (loaded.state == LoadState::Missing && missing.refusal) {
        printError(*missing.refusal);
        return ExitStatus::Failure;
    }
    if (auto error = change(loaded.dictionary)) {
        printError(*error);
        return ExitStatus::Failure;
    }
    DeviceRoot::current().createFolders(std::filesystem::path(devicePath).parent_path().string());
    if (!loaded.dictionary.writeToFile(devicePath, Atomically::Yes)) {
        printError("could not write " + loaded.hostPath);
        return ExitStatus::Failure;
    }
    notifyIfMenutone(domain, options);
    return ExitStatus::Success;
}

ExitStatus writeValue(const std::string& domain, const std::string& devicePath, const std::string& key, PropertyListValue value, const DefaultsOptions& options)
{
    if (isMenutoneDomain(domain))
        warnAboutMenutoneKey(key, value);
    return changeDomain(domain, devicePath, options, [&](NSMutableDictionary& dictionary) -> std::optional<std::string> {
        dictionary.setObject(std::move(value), key);
        return std::nullopt;
    });
}

constexpr const char* kWriteUsage = "usage: menutone defaults write DOMAIN KEY [-bool|-int|-float|-string|-data|-date|-color] VALUE, "
                                    "KEY -array|-array-add [VALUE...], or KEY -dict|-dict-add [KEY VALUE...]";

// One value: "-TYPE VALUE" or a bare VALUE, a string. Moves index past it;
// none (said on stderr) for a value that is not of its type, a usage error.
std::optional<PropertyListValue> typedValue(const std::vector<std::string>& arguments, std::size_t& index)
{
    static const char* const typeFlags[] = { "-bool", "-boolean", "-int", "-integer", "-float", "-string", "-data", "-date", "-color" };
    std::string type = "-string";
    if (std::find(std::begin(typeFlags), std::end(typeFlags), arguments[index]) != std::end(typeFlags)) {
        type = arguments[index++];
        if (index == arguments.size()) {
            printError(std::string("no value after ") + type + "; " + kWriteUsage);
            return std::nullopt;
        }
    } else if (arguments[index].starts_with("-") && arguments[index].size() > 1 && std::isalpha(static_cast<unsigned char>(arguments[index][1]))) {
        printError("unknown value type " + arguments[index] + " (use -bool, -int, -float, -string, -data, -date or -color)");
        return std::nullopt;
    }
    const std::string& text = arguments[index++];
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
    } else if (type == "-date") {
        if (auto seconds = parseDate(text))
            value = PropertyListValue::date(*seconds);
    } else {
        std::string error;
        value = parseColor(text, error);
        if (!value) {
            printError(error);
            return std::nullopt;
        }
    }
    if (!value)
        printError("\"" + text + "\" is not a valid " + type.substr(1) + " value");
    return value;
}

}

ExitStatus defaultsWrite(const std::string& domain, const std::vector<std::string>& arguments, const DefaultsOptions& options)
{
    auto devicePath = resolveDomain(domain);
    if (!devicePath)
        return ExitStatus::Usage;
    if (arguments.size() < 2) {
        printError(kWriteUsage);
        return ExitStatus::Usage;
    }
    const std::string& key = arguments[0];
    const std::string& kind = arguments[1];
    if (kind == "-array" || kind == "-array-add") {
        PropertyListValue::Array values;
        for (std::size_t i = 2; i < arguments.size();) {
            auto value = typedValue(arguments, i);
            if (!value)
                return ExitStatus::Usage;
            values.push_back(std::move(*value));
        }
        if (kind == "-array")
            return writeValue(domain, *devicePath, key, PropertyListValue::array(std::move(values)), options);
        return changeDomain(domain, *devicePath, options, [&](NSMutableDictionary& dictionary) -> std::optional<std::string> {
            auto* existing = dictionary.objectForKey(key);
            if (existing && !existing->asArray())
                return "the value of " + key + " is a " + PropertyListValue::typeName(existing->type()) + ", not an array; -array-add adds only to an array"
                    + kUnchanged;
            PropertyListValue::Array combined = existing ? *existing->asArray() : PropertyListValue::Array {};
            combined.insert(combined.end(), values.begin(), values.end());
            dictionary.setObject(PropertyListValue::array(std::move(combined)), key);
            return std::nullopt;
        });
    }
    if (kind == "-dict" || kind == "-dict-add") {
        PropertyListValue::Dictionary entries;
        for (std::size_t i = 2; i < arguments.size();) {
            std::string entryKey = arguments[i++];
            if (i == arguments.size()) {
                printError("the key " + entryKey + " has no value; " + kWriteUsage);
                return ExitStatus::Usage;
            }
            auto value = typedValue(arguments, i);
            if (!value)
                return ExitStatus::Usage;
            entries.insert_or_assign(std::move(entryKey), std::move(*value));
        }
        if (kind == "-dict")
            return writeValue(domain, *devicePath, key, PropertyListValue::dictionary(std::move(entries)), options);
        return changeDomain(domain, *devicePath, options, [&](NSMutableDictionary& dictionary) -> std::optional<std::string> {
            auto* existing = dictionary.objectForKey(key);
            if (existing && !existing->asDictionary())
                return "the value of " + key + " is a " + PropertyListValue::typeName(existing->type())
                    + ", not a dictionary; -dict-add adds only to a dictionary" + kUnchanged;
            PropertyListValue::Dictionary combined = existing ? *existing->asDictionary() : PropertyListValue::Dictionary {};
            for (auto& [entryKey, value] : entries)
                combined.insert_or_assign(entryKey, value);
            dictionary.setObject(PropertyListValue::dictionary(std::move(combined)), key);
            return std::nullopt;
        });
    }
    std::size_t index = 1;
    auto value = typedValue(arguments, index);
    if (!value)
        return ExitStatus::Usage;
    if (index != arguments.size()) {
        printError("more than one value given; " + std::string(kWriteUsage));
        return ExitStatus::Usage;
    }
    return writeValue(domain, *devicePath, key, std::move(*value), options);
}

ExitStatus defaultsDelete(const std::string& domain, const std::string* key, const DefaultsOptions& options)
{
    auto devicePath = resolveDomain(domain);
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
    return changeDomain(
        domain, *devicePath, options,
        [&](NSMutableDictionary& dictionary) -> std::optional<std::string> {
            if (!dictionary.objectForKey(*key))
                return "Domain (" + domain + ") not found.\nDefaults have not been changed.";
            dictionary.removeObjectForKey(*key);
            return std::nullopt;
        },
        MissingDomain::refuse("Domain (" + domain + ") not found."));
}

namespace {

// The domains of the root's preferences folder, sorted; the global one is -g.
std::vector<std::string> domainNames()
{
    std::vector<std::string> names;
    for (auto& name : DeviceRoot::current().namesWithExtension(kPreferencesFolder, ".plist"))
        if (!name.starts_with("."))
            names.push_back(name);
    return names;
}

// Whether the word is in the value's keys or strings, at any depth, ignoring case.
bool contains(const PropertyListValue& value, const std::string& lowerWord)
{
    if (auto* text = value.asString())
        return lowercased(*text).find(lowerWord) != std::string::npos;
    if (auto* array = value.asArray())
        return std::any_of(array->begin(), array->end(), [&](auto& item) { return contains(item, lowerWord); });
    if (auto* dictionary = value.asDictionary())
        return std::any_of(dictionary->begin(), dictionary->end(),
            [&](auto& entry) { return lowercased(entry.first).find(lowerWord) != std::string::npos || contains(entry.second, lowerWord); });
    return false;
}

// The domain's dictionary, saying so when it is missing.
std::optional<LoadedDomain> existingDomain(const std::string& domain)
{
    auto devicePath = resolveDomain(domain);
    if (!devicePath)
        return std::nullopt;
    auto loaded = loadDomain(*devicePath);
    if (loaded.state == LoadState::Missing)
        printError("Domain " + domain + " does not exist");
    if (loaded.state != LoadState::Loaded)
        return std::nullopt;
    return loaded;
}

}

ExitStatus defaultsReadAll(const DefaultsOptions& options)
{
    PropertyListValue::Dictionary all;
    for (auto& name : domainNames()) {
        auto loaded = loadDomain(std::string(kPreferencesFolder) + "/" + name + ".plist");
        if (loaded.state == LoadState::Loaded)
            all.insert_or_assign(name, loaded.dictionary.propertyList());
    }
    auto whole = PropertyListValue::dictionary(std::move(all));
    std::cout << (options.isJSON ? jsonText(propertyListJSON(whole)) : openStepText(whole)) << "\n";
    return ExitStatus::Success;
}

ExitStatus defaultsDomains()
{
    std::string list;
    for (auto& name : domainNames())
        list += (list.empty() ? "" : ", ") + name;
    std::cout << list << "\n";
    return ExitStatus::Success;
}

std::vector<std::string> defaultsDomainNames()
{
    // Menutone's domain is offered before it has a file: a first write makes it.
    auto names = domainNames();
    if (std::find(names.begin(), names.end(), kMenutoneDomain) == names.end())
        names.push_back(kMenutoneDomain);
    names.push_back("-g");
    return names;
}

std::vector<std::string> defaultsKeyNames(const std::string& domain)
{
    std::vector<std::string> names;
    if (isMenutoneDomain(domain))
        for (auto& key : kMenutoneSettingsKeys)
            names.push_back(key.name);
    auto devicePath = devicePathOfDomain(domain);
    if (!devicePath || DeviceRoot::current().linkLeavingRoot(*devicePath))
        return names;
    auto contents = DeviceRoot::current().readFile(*devicePath);
    if (!contents)
        return names;
    auto document = PropertyListSerialization::read(*contents);
    if (document && document->value.asDictionary())
        for (auto& [key, value] : *document->value.asDictionary())
            if (std::find(names.begin(), names.end(), key) == names.end())
                names.push_back(key);
    return names;
}

ExitStatus defaultsFind(const std::string& word)
{
    std::string lowerWord = lowercased(word);
    for (auto& name : domainNames()) {
        auto loaded = loadDomain(std::string(kPreferencesFolder) + "/" + name + ".plist");
        if (loaded.state != LoadState::Loaded)
            continue;
        PropertyListValue::Dictionary found;
        for (auto& [key, value] : *loaded.dictionary.propertyList().asDictionary())
            if (lowercased(key).find(lowerWord) != std::string::npos || contains(value, lowerWord))
                found.insert_or_assign(key, value);
        if (!found.empty())
            std::cout << "Found " << found.size() << " keys in domain '" << name << "': " << openStepText(PropertyListValue::dictionary(std::move(found)))
                      << "\n";
    }
    return ExitStatus::Success;
}

ExitStatus defaultsExport(const std::string& domain, const std::string& destination)
{
    auto loaded = existingDomain(domain);
    if (!loaded)
        return ExitStatus::Failure;
    auto data = PropertyListSerialization::dataWithPropertyList(loaded->dictionary.propertyList(), PropertyListFormat::XML);
    if (!data) {
        printError("the domain " + domain + " is nested too deeply to write");
        return ExitStatus::Failure;
    }
    if (!writeFileArgument(destination, *data)) {
        printError("could not write " + destination);
        return ExitStatus::Failure;
    }
    return ExitStatus::Success;
}

ExitStatus defaultsImport(const std::string& domain, const std::string& source, const DefaultsOptions& options)
{
    auto devicePath = resolveDomain(domain);
    if (!devicePath)
        return ExitStatus::Usage;
    auto bytes = readFileArgument(source);
    if (!bytes) {
        printError((source == "-" ? std::string("standard input") : source) + " " + bytes.error().message);
        return ExitStatus::Failure;
    }
    auto result = PropertyListSerialization::read(*bytes);
    if (!result || !result->value.asDictionary()) {
        printError((source == "-" ? std::string("standard input") : source) + " is not a property-list dictionary ("
            + (result ? std::string("a ") + PropertyListValue::typeName(result->value.type()) : result.error().message) + "); defaults have not been changed");
        return ExitStatus::Failure;
    }
    // The file is replaced whole, readable before or not, as Apple's tool does.
    auto dictionary = NSMutableDictionary(NSDictionary(*result->value.asDictionary()));
    PreferencesWriteLock lock;
    DeviceRoot::current().createFolders(std::filesystem::path(*devicePath).parent_path().string());
    if (!dictionary.writeToFile(*devicePath, Atomically::Yes)) {
        // Nothing is written that a reader would then refuse.
        printError("could not write the domain " + domain + ": a store is at most " + std::to_string(device::maximumReadSize >> 20)
            + " MiB once written, and the root must be writable; defaults have not been changed");
        return ExitStatus::Failure;
    }
    notifyIfMenutone(domain, options);
    return ExitStatus::Success;
}

ExitStatus defaultsReadType(const std::string& domain, const std::string& key)
{
    auto loaded = existingDomain(domain);
    if (!loaded)
        return ExitStatus::Failure;
    auto* value = loaded->dictionary.objectForKey(key);
    if (!value) {
        printError("The domain/default pair of (" + domain + ", " + key + ") does not exist");
        return ExitStatus::Failure;
    }
    static const char* const typeNames[] = { "boolean", "integer", "float", "string", "data", "date", "array", "dictionary", "uid" };
    std::cout << "Type is " << typeNames[static_cast<int>(value->type())] << "\n";
    return ExitStatus::Success;
}

ExitStatus defaultsRename(const std::string& domain, const std::string& oldKey, const std::string& newKey, const DefaultsOptions& options)
{
    auto devicePath = resolveDomain(domain);
    if (!devicePath)
        return ExitStatus::Usage;
    return changeDomain(
        domain, *devicePath, options,
        [&](NSMutableDictionary& dictionary) -> std::optional<std::string> {
            auto* value = dictionary.objectForKey(oldKey);
            if (!value)
                return "Key " + oldKey + " does not exist in domain " + domain + kUnchanged;
            PropertyListValue moved = *value;
            dictionary.removeObjectForKey(oldKey);
            dictionary.setObject(std::move(moved), newKey);
            return std::nullopt;
        },
        MissingDomain::refuse("Domain " + domain + " does not exist"));
}
