#include "PreferenceLoader.h"

#include <device/DeviceRoot.h>
#include <foundation/NSDictionary.h>

std::string PreferenceEntry::path() const
{
    return std::string(kPreferenceEntriesFolder) + "/" + name + ".plist";
}

std::optional<std::string> PreferenceEntry::bundlePath() const
{
    if (bundleName.empty())
        return std::nullopt;
    return std::string(kPreferenceBundlesFolder) + "/" + bundleName + ".bundle";
}

std::optional<std::string> PreferenceEntry::iconPath() const
{
    auto bundle = bundlePath();
    if (!bundle || iconName.empty())
        return std::nullopt;
    return *bundle + "/" + iconName;
}

bool isPlainFileName(std::string_view name)
{
    return !name.empty() && name.find('/') == std::string_view::npos && name != "." && name != "..";
}

Expected<PreferenceEntry> readPreferenceEntry(const std::string& name)
{
    if (!isPlainFileName(name))
        return makeError(ErrorKind::NotFound, "no preference entry named \"" + name + "\"");
    PreferenceEntry entry { name, name, {}, {} };
    auto plist = NSDictionary::dictionaryWithContentsOfFile(entry.path());
    if (!plist)
        return makeError(ErrorKind::Unreadable, "cannot read the preference entry " + entry.path());
    auto* dictionary = plist->objectForKey("entry");
    if (!dictionary || !dictionary->asDictionary())
        return makeError(ErrorKind::Malformed, "the preference entry " + entry.path() + " has no entry dictionary");
    auto text = [&](std::string_view key) {
        auto* value = dictionary->objectForKey(key);
        return value && value->asString() ? *value->asString() : std::string();
    };
    if (auto label = text("label"); !label.empty())
        entry.label = label;
    if (auto bundle = text("bundle"); isPlainFileName(bundle))
        entry.bundleName = bundle;
    if (auto icon = text("icon"); isPlainFileName(icon))
        entry.iconName = icon;
    return entry;
}

std::vector<PreferenceEntry> readPreferenceEntries()
{
    std::vector<PreferenceEntry> entries;
    for (auto& name : DeviceRoot::current().namesWithExtension(kPreferenceEntriesFolder, ".plist")) {
        if (auto entry = readPreferenceEntry(name))
            entries.push_back(std::move(*entry));
    }
    return entries;
}
