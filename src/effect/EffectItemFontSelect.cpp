#include "effect/EffectItemFontSelect.h"

#include "effect/ModelQueries.h"

namespace Effect {

namespace {

struct FontList {
    EffectItemSelect::SharedList list;
    int32_t defaultIndex = 0;

    FontList() {
        std::vector<std::wstring> names;
        std::wstring defaultName;
        modelQueries().fontFamilies(names, defaultName);
        for (size_t i = 0; i < names.size(); ++i) {
            list.add(static_cast<int32_t>(i), names[i]);
            if (names[i] == defaultName && defaultIndex == 0) defaultIndex = static_cast<int32_t>(i);
        }
    }
};

const FontList& fontList() {
    static const FontList* list = new FontList;  // lives until the process ends
    return *list;
}

}  // namespace

const EffectItemSelect::SharedList& EffectItemFontSelect::getFontList() { return fontList().list; }

int32_t EffectItemFontSelect::getDefaultIndex() { return fontList().defaultIndex; }

EffectItemFontSelect::EffectItemFontSelect(ItemList* list, std::wstring name, const wchar_t* family)
    : EffectItemSelect(list, std::move(name), family ? getFontList().indexOf(family) : getDefaultIndex(),
                       &getFontList(), kFont) {}

}  // namespace Effect
