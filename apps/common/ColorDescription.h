#pragma once

// A colour as both commands print it: for people, a swatch (in a terminal),
// the hex value, the components and the palette name when it is one; for
// scripts, its JSON with that name.

#include <string>

#include <uikit/UIColor.h>

#include "JSON.h"
#include "Swatch.h"

std::string colorDescription(const UIColor*, SwatchDepth);
JSON namedColorJSON(const UIColor*);
