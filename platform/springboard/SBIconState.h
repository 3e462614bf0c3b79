#pragma once

// Where SpringBoard keeps the home screen's layout ("IconState.plist": the
// dock's apps under "buttonBar", each page's under "iconLists"), and how the
// installed apps are placed on it: apps the layout names where it names them,
// the rest in the next free cells, on new pages when a page is full.

#include <optional>
#include <string>
#include <vector>

#include <foundation/PropertyListValue.h>

inline constexpr const char* kIconStatePath = "/var/mobile/Library/SpringBoard/IconState.plist";

struct SBIconState {
    std::vector<std::string> buttonBar;
    std::vector<std::vector<std::string>> iconLists;

    PropertyListValue propertyList() const;
    // None for a missing or malformed file; entries that are not bundle
    // identifiers (folders, say) are left out.
    static std::optional<SBIconState> read();
    // What SpringBoard lays out on a device that has no file yet: iOS 9's
    // stock apps on the first page, and its dock.
    static const SBIconState& defaultState();
};

struct SBIconPlacement {
    std::vector<std::string> dock;
    std::vector<std::vector<std::string>> pages; // never empty: a home screen has a first page
};

// The installed apps (bundle identifiers, in the order found) placed as the
// state says; an app the state names twice is placed once, and one it names
// that is not installed is left out. Each page holds iconsPerPage, the dock dockSize.
SBIconPlacement placeIcons(const std::optional<SBIconState>&, const std::vector<std::string>& installed, std::size_t iconsPerPage, std::size_t dockSize);
