#include "NSStringDrawing.h"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>

#include "TextLayout.h"

namespace {

// The text engine library beside this one, loaded once and kept; none if it
// cannot be loaded (said once on stderr), and then text takes no room and
// is not drawn.
const uikit::TextEngine* textEngine()
{
    static const uikit::TextEngine* engine = []() -> const uikit::TextEngine* {
        Dl_info self {};
        if (!::dladdr(reinterpret_cast<void*>(&textEngine), &self) || !self.dli_fname) {
            std::fputs("UIKit: cannot find its own library, so not the text engine; text is not drawn\n", stderr);
            return nullptr;
        }
        auto path = std::filesystem::path(self.dli_fname).parent_path() / MENUTONE_TEXT_ENGINE_LIBRARY;
        void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        auto* entry = library ? reinterpret_cast<const uikit::TextEngine* (*)()>(::dlsym(library, "menutoneTextEngine")) : nullptr;
        if (!entry) {
            std::fprintf(stderr, "UIKit: cannot load the text engine (%s); text is not drawn\n", ::dlerror());
            return nullptr;
        }
        return entry();
    }();
    return engine;
}

}

CGSize sizeWithAttributes(std::string_view text, const NSStringAttributes& attributes)
{
    auto* engine = textEngine();
    return engine ? engine->size(text, attributes) : CGSize {};
}

CGSize sizeWithAttributes(std::string_view text, const NSStringAttributes& attributes, CGFloat wrapWidth)
{
    auto* engine = textEngine();
    return engine ? engine->wrappedSize(text, attributes, wrapWidth) : CGSize {};
}

void drawTextInRect(cairo_t* cr, std::string_view text, CGRect rect, const NSStringAttributes& attributes, const UIColor* color, NSTextAlignment alignment,
    NSLineBreakMode mode)
{
    if (auto* engine = textEngine())
        engine->draw(cr, text, rect, attributes, color, alignment, mode);
}
