// The table from item kind to control: every kind an item class takes has
// exactly one row, and no row names a kind no item takes.
#include "ui/settings/ItemControlTable.h"

#include <gtest/gtest.h>

#include <set>

#include "effect/EffectItemButton.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemCheckButton.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemComboFile.h"
#include "effect/EffectItemFigureSelect.h"
#include "effect/EffectItemFile.h"
#include "effect/EffectItemFontSelect.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemLayerRange.h"
#include "effect/EffectItemMaskSelect.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemScene.h"
#include "effect/EffectItemSelect.h"
#include "effect/EffectItemSelectButton.h"
#include "effect/EffectItemString.h"
#include "effect/EffectItemText.h"

namespace {

// Whether some item class holds items of this type code.
bool someItemTakes(uint8_t code) {
    using namespace Effect;
    return EffectItemButton::hasType(code) || EffectItemCheck::hasType(code) ||
           EffectItemCheckButton::hasType(code) || EffectItemColor::hasType(code) ||
           EffectItemComboFile::hasType(code) || EffectItemFigureSelect::hasType(code) ||
           EffectItemFile::hasType(code) || EffectItemFontSelect::hasType(code) ||
           EffectItemInteger::hasType(code) || EffectItemLayerRange::hasType(code) ||
           EffectItemMaskSelect::hasType(code) || EffectItemNumber::hasType(code) ||
           EffectItemScene::hasType(code) || EffectItemSelect::hasType(code) ||
           EffectItemSelectButton::hasType(code) || EffectItemString::hasType(code) ||
           EffectItemText::hasType(code);
}

TEST(ItemControlTable, HasOneRowPerItemKindAndNoOther) {
    std::set<int> rows;
    for (const Component::ItemControlRow& row : Component::itemControlTable()) {
        EXPECT_TRUE(rows.insert(row.type).second) << "two rows for type " << int(row.type);
        EXPECT_NE(row.create, nullptr) << "type " << int(row.type);
    }
    for (int code = 0; code < 256; ++code) {
        const bool taken = someItemTakes(uint8_t(code));
        EXPECT_EQ(rows.count(code) == 1, taken) << "type " << code;
        const Component::ItemControlRow* row = Component::findItemControlRow(uint8_t(code));
        EXPECT_EQ(row != nullptr, taken) << "type " << code;
        if (row) EXPECT_EQ(row->type, code);
    }
}

}  // namespace
