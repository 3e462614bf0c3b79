#include "NSLocale.h"

#include "NSDictionary.h"

std::vector<std::string> NSLocale::preferredLanguages()
{
    std::vector<std::string> languages;
    if (auto global = NSDictionary::dictionaryWithContentsOfFile("/var/mobile/Library/Preferences/.GlobalPreferences.plist")) {
        if (auto* list = global->objectForKey("AppleLanguages"); list && list->asArray()) {
            for (auto& language : *list->asArray()) {
                if (auto* name = language.asString(); name && !name->empty())
                    languages.push_back(*name);
            }
        }
    }
    if (languages.empty())
        languages.push_back("en");
    return languages;
}
