#pragma once

// The JSON every command prints goes through here: nlohmann's writer, keys in
// the order they were added, ill-formed UTF-8 replaced with U+FFFD rather than
// passed through, and a colour always {"r","g","b","a"}.

#include <string>

#include <nlohmann/json.hpp>

#include <uikit/CGGeometry.h>

class UIColor;
class UIFont;

using JSON = nlohmann::ordered_json;

// A number as people read it: 100 rather than 100.0, null for infinities and
// NaN, which JSON lacks.
JSON jsonNumber(double);

// {"r","g","b","a"}, components 0...1; null when there is no colour or it has
// no RGB form.
JSON colorJSON(const UIColor*);
JSON colorJSON(double red, double green, double blue, double alpha);

// {"name","size"}; null when there is no font.
JSON fontJSON(const UIFont*);

// {"x","y","width","height"}.
JSON frameJSON(CGRect);

// One line of compact JSON, never throwing on bad UTF-8.
std::string jsonText(const JSON&);

std::string shortestDecimal(double);
