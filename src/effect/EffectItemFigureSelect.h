#pragma once
#include "effect/EffectItemComboFile.h"

namespace Effect {

// A figure: a built-in figure or a figure file (13), or the same declared by
// a script (17). Snapshots clone to the file-list item.
class EffectItemFigureSelect : public EffectItemComboFile {
public:
    static bool hasType(uint8_t code) { return code == kFigure || code == kScriptFigure; }

    // Selects the named figure, or "円" (index 1) when no name, or a name the
    // list lacks, is given.
    EffectItemFigureSelect(ItemList* list, std::wstring name, const wchar_t* figure = nullptr, uint8_t type = kFigure);

    // The names of the figure list, built on first use.
    static const SharedList& getFigureList();
};

}  // namespace Effect
