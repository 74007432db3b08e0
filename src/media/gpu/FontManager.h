#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/MenuDefineBase.h"

namespace Platform::draw2d {
class Font;
class FontCollection;
}  // namespace Platform::draw2d

namespace Media {

// One registered font as a menu entry ("Font.<name>" in the main settings):
// its name is the entry's text, the registration counter its default order,
// and it starts hidden unless its family has a name in the user's locale.
class FontDefine : public Menu::MenuDefineBase {
public:
    FontDefine(std::wstring name, int32_t order, bool hidden, std::shared_ptr<Platform::draw2d::Font> font)
        : MenuDefineBase(kKind, name, order, L"", !hidden),
          fontName(std::move(name)),
          defaultOrder(order),
          font(std::move(font)) {}
    std::wstring getName() const override { return fontName; }
    std::wstring getDisplayName() const override { return fontName; }

    static constexpr const char* kKind = "Font";
    std::wstring fontName;
    int32_t defaultOrder;
    std::shared_ptr<Platform::draw2d::Font> font;
};

// The installed fonts by name, registered once at start-up.
class FontManager {
public:
    // Registers the upright faces of every family under their older family
    // names (the first face of a name wins) and logs each one.
    void registerFont(const Platform::draw2d::FontCollection& collection);

    // The entries by menu order, and by name in natural order.
    std::vector<const FontDefine*> getFontList() const;
    std::vector<const FontDefine*> getFontListByName() const;
    // A face for the name: the registered one (a sibling for bold or italic),
    // else the default family's. Never null; throws when no font exists at all.
    std::shared_ptr<Platform::draw2d::Font> getFont(const std::wstring& name, bool bold, bool italic) const;
    // The weight asked for a registered face of `weight` with bold on or off.
    static int32_t requestedWeight(int32_t weight, bool bold);
    // The user's locale as a lower-case tag ("ja-jp"); empty when none is set.
    static std::string userLocaleName();

    // The names of getFontList in its order, and the default family's name
    // (the style's [Font] "DefaultFamily"), for the font items' option list.
    void familyNames(std::vector<std::wstring>& names, std::wstring& defaultName) const;
    static std::wstring defaultFamilyName();

    size_t size() const { return fonts_.size(); }
    const FontDefine* find(const std::wstring& name) const;

private:
    std::unordered_map<std::wstring, std::unique_ptr<FontDefine>> fonts_;
    int32_t counter_ = 0;
};

}  // namespace Media
