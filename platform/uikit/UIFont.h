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

    const std::string& fontName() const { return m_fontName; }
    const std::string& familyName() const { return m_familyName; }
    // The style as fontconfig names it ("Bold", "Oblique").
    const std::string& styleName() const { return m_styleName; }
    CGFloat pointSize() const { return m_pointSize; }
    int weight() const { return m_weight; }
    int slant() const { return m_slant; }

private:
    static Ref<UIFont> create(std::string name, std::string family, std::string style, CGFloat size, int weight, int slant);

    std::string m_fontName;
    std::string m_familyName;
    std::string m_styleName;
    CGFloat m_pointSize { 0 };
    int m_weight { 80 };
    int m_slant { 0 };
};
