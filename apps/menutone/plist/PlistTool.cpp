#include "PlistTool.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <iostream>
#include <iterator>
#include <optional>

#include <foundation/PropertyListSerialization.h>

#include "plist/PropertyListEditing.h"
#include "plist/PropertyListText.h"
#include <common/FileArgument.h>

const char* const kPlistHelp = "usage: menutone plist COMMAND [OPTIONS] FILE...   (FILE - is standard input)\n"
                               "  -p                          print the property list readably\n"
                               "  -lint                       check each file: FILE: OK, or why not (exit 1)\n"
                               "  -convert FORMAT             rewrite in xml1, binary1 or json (in place, or -o)\n"
                               "  -extract KEYPATH FORMAT     print the value at KEYPATH as xml1, binary1, json or raw\n"
                               "  -insert KEYPATH TYPE VALUE  add a value (-append: at the end of the array at KEYPATH)\n"
                               "  -replace KEYPATH TYPE VALUE set a value, adding it if missing\n"
                               "  -remove KEYPATH             remove a value\n"
                               "TYPE: -bool YES|NO, -integer N, -float N, -string S, -date ISO8601, -data BASE64, -xml PLIST, -json JSON,\n"
                               "      -array or -dictionary (empty ones)\n"
                               "OPTIONS: -o FILE (- for standard output), -r (readable JSON), -s (lint: silent when OK)\n"
                               "KEYPATH: keys and array indexes joined by dots (a.b.0); \\. is a dot in a key";

namespace {

enum class OutputFormat { XML, Binary, JSON, Raw };

std::optional<OutputFormat> outputFormatNamed(const std::string& name, bool allowsRaw)
{
    if (name == "xml1")
        return OutputFormat::XML;
    if (name == "binary1")
        return OutputFormat::Binary;
    if (name == "json")
        return OutputFormat::JSON;
    if (name == "raw" && allowsRaw)
        return OutputFormat::Raw;
    return std::nullopt;
}

void printPlistError(const std::string& message)
{
    std::cerr << "menutone: plist: " << message << "\n";
}

struct LoadedList {
    PropertyListValue value;
    OutputFormat format;
};

// XML, binary, or JSON as plutil also reads.
Expected<LoadedList> parsePropertyList(const std::vector<std::uint8_t>& bytes)
{
    auto result = PropertyListSerialization::read(bytes);
    if (result)
        return LoadedList { std::move(result->value), result->format == PropertyListFormat::Binary ? OutputFormat::Binary : OutputFormat::XML };
    std::size_t first = 0;
    while (first < bytes.size() && std::isspace(bytes[first]))
        ++first;
    if (first < bytes.size() && (bytes[first] == '{' || bytes[first] == '[')) {
        auto value = propertyListFromJSONText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        if (!value)
            return makeError(ErrorKind::Malformed, "JSON: " + value.error().message);
        return LoadedList { std::move(*value), OutputFormat::JSON };
    }
    return makeUnexpected(result.error());
}

Expected<LoadedList> readPropertyList(const std::string& path)
{
    auto bytes = readFileArgument(path);
    if (!bytes)
        return makeUnexpected(bytes.error());
    return parsePropertyList(*bytes);
}

std::optional<std::string> rawText(const PropertyListValue& value)
{
    switch (value.type()) {
    case PropertyListValue::Type::Boolean:
        return *value.asBoolean() ? "true" : "false";
    case PropertyListValue::Type::Integer:
        return integerText(value);
    case PropertyListValue::Type::Real:
        return shortestDecimal(*value.asReal());
    case PropertyListValue::Type::String:
        return *value.asString();
    case PropertyListValue::Type::Data:
        return foundation::base64Encode(*value.asData());
    case PropertyListValue::Type::Date:
        return foundation::iso8601FromReferenceDate(*value.asDate());
    default:
        return std::nullopt;
    }
}

std::optional<std::vector<std::uint8_t>> encode(const PropertyListValue& value, OutputFormat format, bool isReadable, std::string& error)
{
    switch (format) {
    case OutputFormat::XML:
    case OutputFormat::Binary: {
        auto data = PropertyListSerialization::dataWithPropertyList(value, format == OutputFormat::XML ? PropertyListFormat::XML : PropertyListFormat::Binary);
        if (!data)
            error = "nested too deeply to write";
        return data;
    }
    case OutputFormat::JSON: {
        auto json = strictJSONOfPropertyList(value);
        if (!json) {
            error = "invalid object in plist for destination format (JSON has no data, dates or non-finite numbers)";
            return std::nullopt;
        }
        std::string text = isReadable ? json->dump(2, ' ', false, nlohmann::json::error_handler_t::replace) : jsonText(*json);
        return std::vector<std::uint8_t>(text.begin(), text.end());
    }
    case OutputFormat::Raw: {
        auto text = rawText(value);
        if (!text) {
            error = "raw takes a string, number, boolean, data or date, not " + std::string(PropertyListValue::typeName(value.type()));
            return std::nullopt;
        }
        *text += "\n";
        return std::vector<std::uint8_t>(text->begin(), text->end());
    }
    }
    return std::nullopt;
}

// TYPE VALUE from the arguments at index (moved past them), as plutil spells them.
std::optional<PropertyListValue> typedValue(const std::vector<std::string>& arguments, std::size_t& index, std::string& error)
{
    if (index >= arguments.size()) {
        error = "a TYPE and VALUE are needed (-bool, -integer, -float, -string, -date, -data, -xml, -json, -array, -dictionary)";
        return std::nullopt;
    }
    std::string type = arguments[index++];
    if (type == "-array")
        return PropertyListValue::array({});
    if (type == "-dictionary")
        return PropertyListValue::dictionary({});
    if (index >= arguments.size()) {
        error = "no value after " + type;
        return std::nullopt;
    }
    const std::string& text = arguments[index++];
    std::optional<PropertyListValue> value;
    if (type == "-bool")
        value = parseBoolean(text);
    else if (type == "-integer")
        value = parseInteger(text);
    else if (type == "-float")
        value = parseReal(text);
    else if (type == "-string")
        value = PropertyListValue::string(text);
    else if (type == "-date") {
        if (auto seconds = parseDate(text))
            value = PropertyListValue::date(*seconds);
    } else if (type == "-data") {
        if (auto bytes = foundation::base64Decode(text))
            value = PropertyListValue::data(std::move(*bytes));
    } else if (type == "-xml") {
        auto result = PropertyListSerialization::read(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        if (!result && text.find("<plist") == std::string::npos) {
            // A fragment such as <string>a</string>, as plutil takes it.
            std::string wrapped = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\">" + text + "</plist>";
            result = PropertyListSerialization::read(std::span(reinterpret_cast<const std::uint8_t*>(wrapped.data()), wrapped.size()));
        }
        if (result)
            value = std::move(result->value);
    } else if (type == "-json") {
        if (auto json = propertyListFromJSONText(text))
            value = std::move(*json);
    } else {
        error = "unknown type " + type;
        return std::nullopt;
    }
    if (!value)
        error = "\"" + text + "\" is not a valid " + type.substr(1) + " value";
    return value;
}

struct Invocation {
    std::string verb;
    std::vector<std::string> verbArguments;
    OutputFormat format { OutputFormat::XML }; // -convert's and -extract's
    std::optional<PropertyListValue> value;
    std::optional<std::string> output;
    bool isReadable { false };
    bool isSilent { false };
    bool isAppend { false };
    std::vector<std::string> files;
};

std::optional<Invocation> parseInvocation(const std::vector<std::string>& arguments, std::string& error)
{
    Invocation invocation;
    std::size_t index = 0;
    bool isAfterDashes = false;
    while (index < arguments.size()) {
        const std::string& word = arguments[index++];
        if (isAfterDashes || word == "-" || !word.starts_with("-")) {
            invocation.files.push_back(word);
            continue;
        }
        if (word == "--") {
            isAfterDashes = true;
            continue;
        }
        if (word == "-o") {
            if (index >= arguments.size()) {
                error = "-o needs a file (or - for standard output)";
                return std::nullopt;
            }
            invocation.output = arguments[index++];
            continue;
        }
        if (word == "-r" || word == "-s" || word == "-append") {
            (word == "-r" ? invocation.isReadable : word == "-s" ? invocation.isSilent : invocation.isAppend) = true;
            continue;
        }
        static const std::pair<const char*, std::size_t> verbs[]
            = { { "-p", 0 }, { "-lint", 0 }, { "-convert", 1 }, { "-extract", 2 }, { "-insert", 1 }, { "-replace", 1 }, { "-remove", 1 } };
        auto found = std::find_if(std::begin(verbs), std::end(verbs), [&](auto& verb) { return word == verb.first; });
        if (found == std::end(verbs)) {
            error = word == "-e" ? "-e (plutil's output extension) is not taken here; name the output with -o FILE" : "unknown option " + word;
            return std::nullopt;
        }
        if (!invocation.verb.empty()) {
            error = "one command at a time: " + invocation.verb + " and " + word;
            return std::nullopt;
        }
        invocation.verb = word;
        for (std::size_t i = 0; i < found->second; ++i) {
            if (index >= arguments.size()) {
                error = word + " needs " + (found->second == 1 ? "an argument" : std::to_string(found->second) + " arguments");
                return std::nullopt;
            }
            invocation.verbArguments.push_back(arguments[index++]);
        }
        if (word == "-convert" || word == "-extract") {
            bool isExtract = word == "-extract";
            auto& name = invocation.verbArguments.back();
            auto format = outputFormatNamed(name, isExtract);
            if (!format) {
                error = "unknown format " + name + (isExtract ? " (xml1, binary1, json or raw)" : " (xml1, binary1 or json)");
                return std::nullopt;
            }
            invocation.format = *format;
        }
        if (word == "-insert" || word == "-replace") {
            invocation.value = typedValue(arguments, index, error);
            if (!invocation.value)
                return std::nullopt;
        }
    }
    if (invocation.verb.empty()) {
        error = "no command given";
        return std::nullopt;
    }
    if (invocation.files.empty()) {
        error = "no file given";
        return std::nullopt;
    }
    if (invocation.output && invocation.files.size() > 1) {
        error = "-o takes one input file";
        return std::nullopt;
    }
    if (invocation.isAppend && invocation.verb != "-insert") {
        error = "-append goes with -insert";
        return std::nullopt;
    }
    return invocation;
}

ExitStatus run(const Invocation& invocation)
{
    bool isEveryFileDone = true;
    for (auto& file : invocation.files) {
        auto loaded = readPropertyList(file);
        auto* value = loaded ? &loaded->value : nullptr;
        std::string error = loaded ? std::string() : loaded.error().message;
        if (invocation.verb == "-lint") {
            if (!value) {
                std::cerr << file << ": " << error << "\n";
                isEveryFileDone = false;
            } else if (!invocation.isSilent)
                std::cout << file << ": OK\n";
            continue;
        }
        if (!value) {
            printPlistError(file + ": " + error);
            isEveryFileDone = false;
            continue;
        }
        if (invocation.verb == "-p") {
            std::cout << readableText(*value);
            continue;
        }
        std::optional<std::vector<std::uint8_t>> bytes;
        std::string destination = invocation.output.value_or(file); // standard input's goes to standard output
        if (invocation.verb == "-convert")
            bytes = encode(*value, invocation.format, invocation.isReadable, error);
        else if (invocation.verb == "-extract") {
            auto* found = valueAtKeyPath(*value, splitKeyPath(invocation.verbArguments[0]));
            if (!found)
                error = "No value at that key path or invalid key path: " + invocation.verbArguments[0];
            else
                bytes = encode(*found, invocation.format, invocation.isReadable, error);
            // Unlike plutil, never over the file it came from: that would lose the rest of it.
            destination = invocation.output.value_or("-");
        } else {
            KeyPathEdit edit = invocation.verb == "-remove" ? KeyPathEdit::Remove
                : invocation.verb == "-replace"             ? KeyPathEdit::Replace
                : invocation.isAppend                       ? KeyPathEdit::Append
                                                            : KeyPathEdit::Insert;
            auto path = splitKeyPath(invocation.verbArguments[0]);
            if (auto editError = editAtKeyPath(*value, path, edit, invocation.value))
                error = "Could not modify plist, error: " + *editError;
            else
                bytes = encode(*value, loaded->format, false, error); // an edit keeps the file's own format
        }
        // Text on a terminal ends its line; a file gets the bytes as they are.
        bool isText = invocation.format == OutputFormat::JSON || invocation.format == OutputFormat::Raw;
        if (bytes && destination == "-" && invocation.verb == "-extract" && isText && !bytes->empty() && bytes->back() != '\n')
            bytes->push_back('\n');
        if (!bytes || !writeFileArgument(destination, *bytes)) {
            printPlistError(file + ": " + (bytes ? "cannot write " + destination : error));
            isEveryFileDone = false;
        }
    }
    return isEveryFileDone ? ExitStatus::Success : ExitStatus::Failure;
}

}

ExitStatus plistCommand(const std::vector<std::string>& arguments)
{
    // plutil's -help, and the --help every other subcommand takes.
    if (arguments.empty() || arguments[0] == "-help" || arguments[0] == "-h" || arguments[0] == "--help") {
        (arguments.empty() ? std::cerr : std::cout) << kPlistHelp << "\n";
        return arguments.empty() ? ExitStatus::Usage : ExitStatus::Success;
    }
    std::string error;
    auto invocation = parseInvocation(arguments, error);
    if (!invocation) {
        printPlistError(error + " (menutone plist -help)");
        return ExitStatus::Usage;
    }
    return run(*invocation);
}
