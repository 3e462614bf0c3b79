#include "SBIconFiles.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <string_view>
#include <tuple>

#include <device/DeviceRoot.h>
#include <uikit/UIGraphics.h>

namespace {

// Decoded icons by what was decoded: the file's bytes (by their hash and
// size), its name (which carries a scale) and the drawn size.
using IconKey = std::tuple<std::size_t, std::size_t, std::string, unsigned>;

struct IconCache {
    std::mutex lock;
    std::map<IconKey, RefPtr<UIImage>> icons;
};

IconCache& iconCache()
{
    static IconCache* cache = new IconCache; // lives as long as the process; icons are small
    return *cache;
}

// Icons kept at most; a host that reads many apps' icons starts afresh past it.
constexpr std::size_t maximumCachedIcons = 512;

CGFloat scaleOfFileName(const std::string& fileName)
{
    std::string_view stem(fileName);
    if (auto dot = stem.rfind('.'); dot != std::string_view::npos)
        stem = stem.substr(0, dot);
    return stem.ends_with("@3x") ? 3 : stem.ends_with("@2x") ? 2 : 1;
}

}

RefPtr<UIImage> iconFileImage(const std::string& bundleFolder, const std::string& fileName, CGFloat drawnPoints, const std::string& identifier)
{
    auto bytes = DeviceRoot::current().readFileInFolder(bundleFolder, fileName);
    if (!bytes)
        return nullptr;
    auto drawnPixels = static_cast<unsigned>(std::ceil(drawnPoints * UIScreen::mainScreen().scale()));
    IconKey key { std::hash<std::string_view>()({ reinterpret_cast<const char*>(bytes->data()), bytes->size() }), bytes->size(), fileName, drawnPixels };
    auto& cache = iconCache();
    {
        std::lock_guard guard(cache.lock);
        if (auto found = cache.icons.find(key); found != cache.icons.end())
            return found->second;
    }
    // A refusal is kept too, so it is said once.
    RefPtr<UIImage> image;
    auto declared = UIImage::declaredPixelSizeOfData(*bytes);
    if (declared
        && (declared->width > maximumIconFileSide || declared->height > maximumIconFileSide || declared->width * declared->height > maximumIconFilePixelCount))
        std::fprintf(stderr, "SpringBoard: %s: icon file %s declares %.0f x %.0f pixels, far beyond any icon (%u a side, %.0f megapixels at most); left out\n",
            identifier.c_str(), fileName.c_str(), declared->width, declared->height, maximumIconFileSide, maximumIconFilePixelCount / 1e6);
    else if (declared)
        image = UIImage::thumbnailWithData(*bytes, scaleOfFileName(fileName), drawnPixels);
    std::lock_guard guard(cache.lock);
    if (cache.icons.size() >= maximumCachedIcons)
        cache.icons.clear();
    cache.icons.emplace(std::move(key), image);
    return image;
}
