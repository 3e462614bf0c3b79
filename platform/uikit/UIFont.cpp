#include "UIFont.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <unordered_map>

#include <objc/ClassBuilder.h>

namespace {

std::mutex fontconfigLock;

using InstalledFont = UIFont::Face;

// Every installed face, read once.
const std::vector<InstalledFont>& installedFonts()
{
    static const auto fonts = [] {
        std::lock_guard guard(fontconfigLock);
        std::vector<InstalledFont> list;
        FcInit();
        std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(FcPatternCreate(), &FcPatternDestroy);
        std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> objects(
            FcObjectSetBuild(FC_POSTSCRIPT_NAME, FC_FAMILY, FC_STYLE, FC_WEIGHT, FC_SLANT, nullptr), &FcObjectSetDestroy);
        std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> set(FcFontList(nullptr, pattern.get(), objects.get()), &FcFontSetDestroy);
        for (int i = 0; set && i < set->nfont; ++i) {
            FcChar8 *name = nullptr, *family = nullptr, *style = nullptr;
            int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
            if (FcPatternGetString(set->fonts[i], FC_POSTSCRIPT_NAME, 0, &name) != FcResultMatch
                || FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch)
                continue;
            FcPatternGetString(set->fonts[i], FC_STYLE, 0, &style);
            FcPatternGetInteger(set->fonts[i], FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(set->fonts[i], FC_SLANT, 0, &slant);
            list.push_back({ reinterpret_cast<char*>(name), reinterpret_cast<char*>(family), style ? reinterpret_cast<char*>(style) : "", weight, slant });
        }
        std::sort(list.begin(), list.end(), [](auto& a, auto& b) { return a.postScriptName < b.postScriptName; });
        return list;
    }();
    return fonts;
}

}

Class UIFont::objcClass()
{
    static Class cls = ClassBuilder<UIFont>("UIFont", NSObject::objcClass()).registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredUIFont = UIFont::objcClass();

const UIFont::Face UIFont::unknownFace { {}, {}, {}, FC_WEIGHT_REGULAR, FC_SLANT_ROMAN };

Ref<UIFont> UIFont::create(const Face& face, CGFloat size)
{
    auto font = adoptRef(*new UIFont);
    font->m_face = &face;
    font->m_pointSize = size;
    return font;
}

RefPtr<UIFont> UIFont::fontWithName(const std::string& postScriptName, CGFloat size)
{
    static const auto byName = [] {
        std::unordered_map<std::string_view, const Face*> map;
        for (auto& font : installedFonts())
            map.emplace(font.postScriptName, &font);
        return map;
    }();
    auto found = byName.find(postScriptName);
    if (found == byName.end())
        return nullptr;
    // Fonts never change, so one object serves every request for a face at a size, as UIKit caches them.
    static std::mutex cacheLock;
    static auto* cache = new std::map<std::pair<const Face*, CGFloat>, Ref<UIFont>>;
    std::lock_guard guard(cacheLock);
    auto cached = cache->find({ found->second, size });
    if (cached == cache->end())
        cached = cache->emplace(std::make_pair(found->second, size), create(*found->second, size)).first;
    return cached->second.ptr();
}

namespace {

enum class SystemWeight { Regular, Semibold };

// The system font. Inter stands in for San Francisco, drawn to the same
// metrics and shapes; from 20 points its display cut, as iOS 9 switches to
// SF UI Display there. iOS 9's bold system font is the semibold. DejaVu Sans
// where Inter is not installed.
Ref<UIFont> systemFont(CGFloat size, SystemWeight weight)
{
    bool isDisplay = size >= 20, isSemibold = weight == SystemWeight::Semibold;
    const char* inter = isDisplay ? (isSemibold ? "InterDisplay-SemiBold" : "InterDisplay-Regular") : (isSemibold ? "Inter-SemiBold" : "Inter-Regular");
    for (const char* name : { inter, isSemibold ? "DejaVuSans-Bold" : "DejaVuSans" })
        if (auto font = UIFont::fontWithName(name, size))
            return font.releaseNonNull();
    auto& fonts = installedFonts();
    OBJC_ASSERT(!fonts.empty(), "no fonts are installed");
    return UIFont::fontWithName(fonts.front().postScriptName, size).releaseNonNull();
}

}

Ref<UIFont> UIFont::systemFontOfSize(CGFloat size)
{
    return systemFont(size, SystemWeight::Regular);
}

Ref<UIFont> UIFont::boldSystemFontOfSize(CGFloat size)
{
    return systemFont(size, SystemWeight::Semibold);
}

std::vector<std::string> UIFont::familyNames()
{
    std::set<std::string> families;
    for (auto& font : installedFonts())
        families.insert(font.family);
    return { families.begin(), families.end() };
}

std::vector<std::string> UIFont::fontNamesForFamilyName(const std::string& family)
{
    std::vector<std::string> names;
    for (auto& font : installedFonts()) {
        if (font.family == family)
            names.push_back(font.postScriptName);
    }
    return names;
}
