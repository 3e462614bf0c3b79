#pragma once

// What `menutone plist` and `menutone defaults` share for editing property
// lists: key paths, values from the command line, JSON in both directions.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <base/Expected.h>
#include <foundation/PropertyListValue.h>

#include <common/JSON.h>

// "a.b.0": dictionary keys and array indexes, dots in a key escaped as "\.".
std::vector<std::string> splitKeyPath(std::string_view);

// The value at the key path, or none.
const PropertyListValue* valueAtKeyPath(const PropertyListValue& root, const std::vector<std::string>& path);

enum class KeyPathEdit { Insert, Replace, Remove, Append };
// Changes the tree in place; the error says why not (and nothing changed).
std::optional<std::string> editAtKeyPath(PropertyListValue& root, const std::vector<std::string>& path, KeyPathEdit, std::optional<PropertyListValue>);

// Scalars as both tools take them: a boolean as YES/NO, true/false or 1/0 in
// any case, a whole 64-bit integer, a finite real.
std::optional<PropertyListValue> parseBoolean(std::string_view);
std::optional<PropertyListValue> parseInteger(std::string_view);
std::optional<PropertyListValue> parseReal(std::string_view);

// Dates as people write them: "2024-05-06T07:08:09Z", "2024-05-06 07:08:09 +0200", "2024-05-06".
std::optional<double> parseDate(std::string_view);

// A value from JSON text; none for null, which property lists lack, or bad JSON.
Expected<PropertyListValue> propertyListFromJSON(const JSON&);
Expected<PropertyListValue> propertyListFromJSONText(std::string_view);
// JSON of a property list for -convert json: none when it holds data, dates
// or numbers JSON lacks, as plutil refuses them.
std::optional<JSON> strictJSONOfPropertyList(const PropertyListValue&);
