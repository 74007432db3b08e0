// Feeds arbitrary text to the readers of the effect items' stored forms
// (project-file values and exchange-file values).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "../tests/support/TestModelQueries.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemComboFile.h"
#include "effect/EffectItemFigureSelect.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemMaskSelect.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effect/EffectItemText.h"

namespace {
// Scene names, fonts and figures as the effect tests have them, installed at start-up.
TestModelQueries gModelQueries;
const Effect::ModelQueriesScope gModelQueriesInstalled{gModelQueries};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Effect;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ItemList items;
    EffectItemNumber number(&items, L"n", 100, -1000, 1000, 0.01);
    EffectItemInteger integer(&items, L"i", 0, 0, 10);
    EffectItemText textItem(&items, L"t");
    EffectItemColor color(&items, L"c", 0, 0, 0, EffectItem::kColorUnset);
    auto list = EffectItemSelect::SharedList::create();
    list->add(0, L"a");
    list->add(3, L"b");
    EffectItemSelect select(&items, L"s", 0, list);
    EffectItemFigureSelect figure(&items, L"f");
    EffectItemMaskSelect mask(&items, L"m");
    const char* keys[] = {"text", "color_yc", "no_color", "x"};
    for (EffectItem* item : items) {
        try {
            item->fromString(text);
            item->toString();
        } catch (const std::exception&) {
        }
        for (const char* key : keys) {
            for (bool raw : {false, true}) {
                try {
                    item->fromKtoString(text, key, L"e", raw);
                    item->toString();
                } catch (const std::exception&) {
                }
            }
        }
    }
    return 0;
}
