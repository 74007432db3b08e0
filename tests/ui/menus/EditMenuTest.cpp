// The Edit popup of the main window's bar: its entries and keys, the cursor
// moves held to the scene, and undo / redo greyed at the ends of the history.
#include <utility>

#include "edit/Layer.h"
#include "edit/UpdateSection.h"
#include "ui/menus/MenuFixture.h"

namespace {

using namespace MenuTest;
namespace W = Platform::window;

class EditMenuTest : public MenuFixture {
protected:
    W::MenuHandle editMenu() { return popup(WindowMenu::Edit); }
    W::MenuHandle moves() { return W::getSubMenu(editMenu(), 0); }
    uint32_t idAt(int32_t position) { return static_cast<uint32_t>(W::getMenuItemId(editMenu(), position)); }
    // One recorded edit of the current scene: the name of its first layer.
    void renameLayer(const std::wstring& name) {
        auto scope = service().openSection();
        undoService->get()->openRecord(*scope);
        scope->layerChanged = true;
        auto layer = service().currentScene()->getLayer(0).layer;
        ASSERT_NE(layer, nullptr);
        undoService->get()->addLayerUndoUpdate(layer);
        layer->name = name;
    }
    std::wstring layerName() { return service().currentScene()->getLayer(0).layer->name; }
};

TEST_F(EditMenuTest, EntriesStandInOrderWithTheirKeys) {
    struct Row {
        bool inMoves;  // else in the popup itself
        int32_t position;
        const char* text;
        int32_t key;  // -1: a separator
    } rows[] = {
        {true, 0, "次のフレームに移動", 0x27},
        {true, 1, "前のフレームに移動", 0x25},
        {true, 2, "先頭のフレームに移動", 0x24},
        {true, 3, "最後のフレームに移動", 0x23},
        {false, 1, "", -1},
        {false, 2, "オブジェクトを切り取り", 0x4058},
        {false, 3, "オブジェクトをコピー", 0x4043},
        {false, 4, "オブジェクトを貼り付け", 0x4056},
        {false, 5, "オブジェクトを削除", 0x2E},
        {false, 6, "", -1},
        {false, 7, "オブジェクトを分割", 0x53},
        {false, 8, "オブジェクトを複製", 0x4044},
        {false, 9, "", -1},
        {false, 10, "元に戻す", 0x405A},
        {false, 11, "やり直し", 0x605A},
    };
    ASSERT_EQ(textAt(editMenu(), 0), "移動");
    ASSERT_EQ(W::getMenuItemCount(moves()), 4);
    ASSERT_EQ(W::getMenuItemCount(editMenu()), 12);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const W::MenuHandle menu = row.inMoves ? moves() : editMenu();
        if (row.key < 0) {
            EXPECT_EQ(W::getMenuItemId(menu, row.position), 0);
            EXPECT_EQ(W::getSubMenu(menu, row.position), nullptr);
            continue;
        }
        EXPECT_EQ(textAt(menu, row.position), row.text);
        // The submenu's entries are named after the top popup.
        const Window::Shortcut* shortcut = registered(std::string("編集:") + row.text);
        ASSERT_NE(shortcut, nullptr);
        EXPECT_EQ(shortcut->defaultCode, row.key);
    }
}

TEST_F(EditMenuTest, CursorMovesStayInTheSceneAndAlwaysTellTheListeners) {
    std::vector<int32_t> told;
    events->get()->cursorFrameListeners.add([&](int32_t frame) { told.push_back(frame); });
    struct Case {
        int32_t length, from, entry, to;
    } cases[] = {
        {30, 0, 0, 1}, {30, 30, 0, 30}, {30, 5, 1, 4}, {30, 0, 1, 0}, {30, 17, 2, 0}, {30, 3, 3, 30}, {-1, 3, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " entry " << c.entry);
        service().currentScene()->length = c.length;
        service().currentScene()->cursorFrame = c.from;
        told.clear();
        ASSERT_TRUE(bar->runCommand(W::getMenuItemId(moves(), c.entry)));
        EXPECT_EQ(service().currentScene()->cursorFrame, c.to);
        EXPECT_EQ(told, std::vector<int32_t>{c.to});
    }
}

TEST_F(EditMenuTest, UndoAndRedoAreGreyedAtTheEndsAndDoNothingThere) {
    constexpr int32_t kUndo = 10, kRedo = 11;
    auto enabled = [&](int32_t position) {
        bar->refresh();
        return W::isMenuItemEnabled(editMenu(), idAt(position));
    };
    EXPECT_FALSE(enabled(kUndo));
    EXPECT_FALSE(enabled(kRedo));
    const std::wstring original = layerName();
    renameLayer(L"一");
    renameLayer(L"二");
    EXPECT_TRUE(enabled(kUndo));
    EXPECT_FALSE(enabled(kRedo));

    ASSERT_TRUE(bar->runCommand(static_cast<int32_t>(idAt(kUndo))));
    EXPECT_EQ(layerName(), L"一");
    EXPECT_TRUE(enabled(kUndo));
    EXPECT_TRUE(enabled(kRedo));
    ASSERT_TRUE(bar->runCommand(static_cast<int32_t>(idAt(kUndo))));
    EXPECT_EQ(layerName(), original);
    EXPECT_FALSE(enabled(kUndo));
    // As a key would: the greyed command runs and changes nothing.
    ASSERT_TRUE(bar->runCommand(static_cast<int32_t>(idAt(kUndo))));
    EXPECT_EQ(layerName(), original);

    // Redo brings back the most recently undone record first.
    ASSERT_TRUE(bar->runCommand(static_cast<int32_t>(idAt(kRedo))));
    EXPECT_EQ(layerName(), L"一");
    ASSERT_TRUE(bar->runCommand(static_cast<int32_t>(idAt(kRedo))));
    EXPECT_EQ(layerName(), L"二");
    EXPECT_FALSE(enabled(kRedo));
    ASSERT_TRUE(bar->runCommand(static_cast<int32_t>(idAt(kRedo))));
    EXPECT_EQ(layerName(), L"二");
}

}  // namespace
