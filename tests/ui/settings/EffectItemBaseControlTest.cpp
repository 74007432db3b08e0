// The row base of the object settings panel: where a row sits, what a press
// on it does, which effects of other selected objects it edits along, and
// that its edits are undo steps that reach the effect's item event.
#include "ui/settings/EffectItemBaseControl.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "SettingFixture.h"
#include "edit/UndoService.h"
#include "effect/EffectItemFile.h"
#include "ui/settings/EffectItemControl.h"

namespace {

using TestSupport::Input;

// A row of the check item, half a line wide by default.
class CheckRow : public Component::EffectItemControl<Effect::EffectItemCheck> {
public:
    CheckRow(Component::EffectSetting& block, Effect::EffectItemCheck& check)
        : EffectItemControl(block.children, block, block.effect, check, 22) {}
};

class ItemRow : public SettingWindow {
protected:
    CheckRow& addRow(Component::EffectSetting& block, float left, float right) {
        auto row = std::make_shared<CheckRow>(block, effectOf(state.object).check);
        row->shareLeft = left;
        row->shareRight = right;
        block.rows.push_back(row);
        block.layoutRows();
        container.updateChildLayout();
        return *row;
    }
};

TEST_F(ItemRow, RowsShareALineUntilOneEndsAtTheRightEdge) {
    auto object = addObject(0, 0, 99);
    Component::EffectSetting& block = showBlock(object);
    block.rows.clear();  // the rows the table made; these tests place their own
    const int32_t header = block.layoutRows();
    EXPECT_EQ(header, block.headerHeight());
    CheckRow& left = addRow(block, 0.0f, 0.5f);
    CheckRow& right = addRow(block, 0.5f, 1.0f);
    CheckRow& below = addRow(block, 0.0f, 1.0f);
    EXPECT_EQ(block.layoutRows(), header + 2 * 22) << "the first two rows share a line";
    container.updateChildLayout();
    EXPECT_EQ(left.fullRect.y, right.fullRect.y);
    EXPECT_EQ(below.fullRect.y, left.fullRect.y + 22);
    EXPECT_EQ(left.fullRect.x, 0);
    EXPECT_EQ(right.fullRect.x, 150);
    EXPECT_EQ(left.fullRect.w, 150);
    EXPECT_EQ(below.fullRect.w, 300);

    // A 301-pixel box: the second half starts at 150 (the product truncated).
    area.w = 301;
    container.updateChildLayout();
    EXPECT_EQ(right.fullRect.x, 150);
    EXPECT_EQ(right.fullRect.w, 151);

    // Folded, the block is its header alone.
    effectOf(object).hidden = 1;
    block.createItemControl();
    EXPECT_TRUE(block.rows.empty());
    EXPECT_EQ(block.layoutRows(), header);
}

TEST_F(ItemRow, APressRunsTheClickActionOnlyWhenOneIsSet) {
    auto object = addObject(0, 0, 99);
    Component::EffectSetting& block = showBlock(object);
    CheckRow& row = addRow(block, 0.0f, 1.0f);
    const int32_t x = row.fullRect.x + row.fullRect.w - 10, y = row.fullRect.y + row.fullRect.h / 2;
    int32_t clicks = 0;
    driver.run({{Input::Move, x, y}, {Input::Press, x, y}, {Input::Release, x, y}});
    EXPECT_FALSE(row.dragging) << "no action: the press does not hold the row";
    row.clickAction = [&] { ++clicks; };
    driver.run({{Input::Move, x, y}, {Input::Press, x, y}});
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(row.dragging) << "the row keeps the mouse until the release";
    driver.run({{Input::Release, x, y}});
    EXPECT_FALSE(row.dragging);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ItemRow, TwinEffectsAreTheSameEffectAtTheSameIndexOfTheOtherSelectedObjects) {
    auto shown = addObject(0, 0, 99);
    auto twin = addObject(1, 0, 99);
    auto otherName = addObject(2, 0, 99, L"別の効果");
    auto shorter = scene->createObject(3, 0, 99);
    auto second = addObject(4, 0, 99);
    second->effects.insert(second->effects.begin(), std::make_shared<ItemsEffect>(L"前の効果"));
    Component::EffectSetting& block = showBlock(shown);
    CheckRow& row = addRow(block, 0.0f, 1.0f);

    EXPECT_TRUE(row.getTwinEffects().empty()) << "nothing selected";
    for (const auto& o : {shown, twin, otherName, shorter, second}) scene->selection.objects.push_back(o);
    EXPECT_EQ(row.getTwinEffects(), (std::vector<std::shared_ptr<Effect::EffectBase>>{twin->effects.front()}))
        << "another name, a chain too short and another effect at the index are skipped";

    state.object = otherName;  // the row's effect is not in the shown object's chain
    EXPECT_TRUE(row.getTwinEffects().empty());
}

TEST_F(ItemRow, AClickChangeIsOneUndoStepAndReachesTheEffect) {
    auto object = addObject(0, 0, 99);
    Component::EffectSetting& block = showBlock(object);
    CheckRow& row = addRow(block, 0.0f, 1.0f);
    ItemsEffect& effect = effectOf(object);
    Undo::UndoService& undo = *Undo::UndoService::get();

    row.commitChange([&](Edit::UpdateSection&) { effect.check.value = 1; });
    EXPECT_EQ(effect.events, std::vector<int32_t>{Effect::ItemEvent::kItemChanged});
    EXPECT_EQ(effect.lastItem, &effect.check);
    EXPECT_TRUE(effect.lastScopeOpen) << "the event comes inside the edit scope";
    ASSERT_TRUE(undo.canUndo());
    EXPECT_TRUE(undo.undo());
    EXPECT_EQ(effectOf(object).check.value, 0);
    EXPECT_FALSE(undo.canUndo()) << "one step";
}

TEST_F(ItemRow, AGestureOfManyStepsIsOneUndoStepOverTheTwins) {
    auto object = addObject(0, 0, 99);
    auto twin = addObject(1, 0, 99);
    scene->selection.objects = {object, twin};
    Component::EffectSetting& block = showBlock(object);
    CheckRow& row = addRow(block, 0.0f, 1.0f);
    Undo::UndoService& undo = *Undo::UndoService::get();

    row.beginGesture(true);
    for (int32_t v : {200, 300, 400}) {
        row.applyStep([&](Edit::UpdateSection&) {
            effectOf(object).number.values[0] = v;
            effectOf(twin).number.values[0] = v;
        });
        EXPECT_FALSE(undo.canUndo()) << "the record stays open while the gesture runs";
    }
    row.endGesture();
    EXPECT_EQ(effectOf(object).events.size(), 3u) << "each step tells the effect";
    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(effectOf(object).number.values[0], 10000);
    EXPECT_EQ(effectOf(twin).number.values[0], 10000) << "the twin's value is in the same step";
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(ItemRow, AFileOnARowWithoutFilesIsAProgrammingError) {
    auto object = addObject(0, 0, 99);
    Component::EffectSetting& block = showBlock(object);
    CheckRow& row = addRow(block, 0.0f, 1.0f);
    try {
        row.updateFile(L"/tmp/a.png");
        FAIL() << "no throw";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("not implement."), std::string::npos) << e.what();
    }
}

}  // namespace

namespace {

// A source with a file item; it records the item events it gets.
class FileSource : public ItemsEffect {
public:
    FileSource() : ItemsEffect(L"ファイルソース", kInput) {}
    Effect::EffectItemFile file{&items, L"ファイル"};
};

class FileRow : public Component::EffectItemControl<Effect::EffectItemFile> {
public:
    FileRow(Component::EffectSetting& block, Effect::EffectItemFile& item)
        : EffectItemControl(block.children, block, block.effect, item, 22) {}
};

TEST_F(ItemRow, AClickOnASourcesFileRowAsksTheSourceAboutItsFile) {
    auto object = scene->createObject(0, 0, 99);
    auto source = std::make_shared<FileSource>();
    object->effects.push_back(source);
    scene->update();
    Component::EffectSetting& block = showBlock(object);
    auto row = std::make_shared<FileRow>(block, source->file);
    auto check = std::make_shared<CheckRow>(block, source->check);
    block.rows = {row, check};
    block.bindInformationActions();
    block.layoutRows();
    container.updateChildLayout();
    EXPECT_FALSE(check->clickAction) << "only the file row asks";

    const int32_t x = row->fullRect.x + row->fullRect.w - 5, y = row->fullRect.y + row->fullRect.h / 2;
    driver.run({{Input::Move, x, y}, {Input::Press, x, y}, {Input::Release, x, y}});
    EXPECT_EQ(source->events, std::vector<int32_t>{Effect::ItemEvent::kFileInformation});
    EXPECT_EQ(source->lastItem, &source->file);
}

}  // namespace
