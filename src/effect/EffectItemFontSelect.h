#pragma once
#include "effect/EffectItemSelect.h"

namespace Effect {

// A font family out of the process-wide font list; snapshots clone to a
// select item.
class EffectItemFontSelect : public EffectItemSelect {
public:
    static bool hasType(uint8_t code) { return code == kFont; }

    // The family's index (out_of_range for a family the list lacks), or the
    // default family's index when no family is given.
    EffectItemFontSelect(ItemList* list, std::wstring name, const wchar_t* family = nullptr);

    // Built on first use from the installed fonts; lives until the process ends.
    static const SharedList& getFontList();
    // The index of the default family, 0 when it is not installed.
    static int32_t getDefaultIndex();
};

}  // namespace Effect
