#pragma once

// Property lists as text for people (the old-style format the `defaults`
// tool prints) and for scripts (JSON).

#include <string>

#include <foundation/PropertyListValue.h>

#include "../common/JSON.h"

std::string openStepText(const PropertyListValue&);
// A top-level string prints bare, as `defaults read DOMAIN KEY` does.
std::string openStepTextOfValue(const PropertyListValue&);
JSON propertyListJSON(const PropertyListValue&);
