#pragma once

// Fonts from what fontconfig finds installed, named by PostScript name as the
// device names them.

#include <string>
#include <vector>

#include <objc/NSObject.h>

#include "CGGeometry.h"

class UIFont : public NSObject {
public:
    UIFont() = default;
    static Class objcClass();

    // None for a name that no installed font has.
    static RefPtr<UIFont> fontWithName(const std::string& postScriptName, CGFloat size);
    static Ref<UIFont> systemFontOfSize(CGFloat size);
    static Ref<UIFont> boldSystemFontOfSize(CGFloat size);
    static std::vector<std::string> familyNames();
    static std::vector<std::string> fontNamesForFamilyName(const std::string& family);

    // An installed face, as fontconfig lists it; read once per process.
    struct Face {
        std::string postScriptName, family, style;
        int weight, slant;
    };

    const std::string& fontName() const { return m_face->postScriptName; }
    const std::string& familyName() const { return m_face->family; }
    // The style as fontconfig names it ("Bold", "Oblique").
    const std::string& styleName() const { return m_face->style; }
    CGFloat pointSize() const { return m_pointSize; }
    int weight() const { return m_face->weight; }
    int slant() const { return m_face->slant; }

private:
    static Ref<UIFont> create(const Face&, CGFloat size);

    const Face* m_face { &unknownFace };
    CGFloat m_pointSize { 0 };
    static const Face unknownFace;
};
