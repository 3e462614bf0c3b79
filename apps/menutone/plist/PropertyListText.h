#pragma once

// Property lists as text for people (the old-style format the `defaults`
// tool prints, and plutil's -p) and for scripts (JSON).

#include <string>

#include <foundation/PropertyListValue.h>

#include <common/JSON.h>

std::string openStepText(const PropertyListValue&);
// A top-level string prints bare, as `defaults read DOMAIN KEY` does.
std::string openStepTextOfValue(const PropertyListValue&);
JSON propertyListJSON(const PropertyListValue&);
// plutil -p: a readable dump that no tool parses.
std::string readableText(const PropertyListValue&);
// An integer as stored: unsigned above INT64_MAX.
std::string integerText(const PropertyListValue&);
