#include "SBIconState.h"

#include <algorithm>
#include <set>

#include <foundation/NSDictionary.h>

namespace {

std::vector<std::string> identifiersIn(const PropertyListValue* value)
{
    std::vector<std::string> identifiers;
    if (value && value->asArray()) {
        for (auto& element : *value->asArray()) {
            if (auto* text = element.asString(); text && !text->empty())
                identifiers.push_back(*text);
        }
    }
    return identifiers;
}

PropertyListValue arrayOf(const std::vector<std::string>& identifiers)
{
    PropertyListValue::Array array;
    for (auto& identifier : identifiers)
        array.push_back(PropertyListValue::string(identifier));
    return PropertyListValue::array(std::move(array));
}

}

PropertyListValue SBIconState::propertyList() const
{
    PropertyListValue::Array pages;
    for (auto& page : iconLists)
        pages.push_back(arrayOf(page));
    return PropertyListValue::dictionary({ { "buttonBar", arrayOf(buttonBar) }, { "iconLists", PropertyListValue::array(std::move(pages)) } });
}

const SBIconState& SBIconState::defaultState()
{
    static const SBIconState state { { "com.apple.mobilephone", "com.apple.mobilemail", "com.apple.mobilesafari", "com.apple.Music" },
        { { "com.apple.MobileSMS", "com.apple.mobilecal", "com.apple.mobileslideshow", "com.apple.camera", "com.apple.weather", "com.apple.mobiletimer",
            "com.apple.Maps", "com.apple.videos", "com.apple.mobilenotes", "com.apple.reminders", "com.apple.stocks", "com.apple.gamecenter",
            "com.apple.Newsstand", "com.apple.MobileStore", "com.apple.AppStore", "com.apple.iBooks", "com.apple.Health", "com.apple.Passbook",
            "com.apple.Preferences" } } };
    return state;
}

std::optional<SBIconState> SBIconState::read()
{
    auto file = NSDictionary::dictionaryWithContentsOfFile(kIconStatePath);
    if (!file)
        return std::nullopt;
    SBIconState state;
    state.buttonBar = identifiersIn(file->objectForKey("buttonBar"));
    if (auto* pages = file->objectForKey("iconLists"); pages && pages->asArray()) {
        for (auto& page : *pages->asArray())
            state.iconLists.push_back(identifiersIn(&page));
    }
    return state;
}

SBIconPlacement placeIcons(const std::optional<SBIconState>& state, const std::vector<std::string>& installed, std::size_t iconsPerPage, std::size_t dockSize)
{
    SBIconPlacement placement;
    std::set<std::string> placed;
    auto take = [&](const std::string& identifier) {
        return std::find(installed.begin(), installed.end(), identifier) != installed.end() && placed.insert(identifier).second;
    };
    if (state) {
        for (auto& identifier : state->buttonBar) {
            if (placement.dock.size() < dockSize && take(identifier))
                placement.dock.push_back(identifier);
        }
        for (auto& statePage : state->iconLists) {
            std::vector<std::string> page;
            for (auto& identifier : statePage) {
                if (page.size() < iconsPerPage && take(identifier))
                    page.push_back(identifier);
            }
            if (!page.empty())
                placement.pages.push_back(std::move(page));
        }
    }
    if (placement.pages.empty())
        placement.pages.emplace_back();
    // The rest, in the next free cells: after the last page's last app.
    for (auto& identifier : installed) {
        if (!take(identifier))
            continue;
        if (placement.pages.back().size() >= iconsPerPage)
            placement.pages.emplace_back();
        placement.pages.back().push_back(identifier);
    }
    return placement;
}
