// The scene list in a main window, driven through the input router: its rows
// follow the project's scenes, a click makes a scene current, a drag moves a
// scene in the user's order (never past the root scene), and the panel's and
// rows' menus create, rename and delete scenes through the edit service.
#include "ui/panels/SceneListComponent.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/TextConvert.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "platform/window/Menu.h"
#include "support/RouterDriver.h"
#include "PanelFixture.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/panels/SceneButtonControl.h"

namespace {

namespace W = Platform::window;
using TestSupport::Input;

class SceneList : public PanelWindow {
protected:
    void SetUp() override {
        dialogs = std::make_shared<Edit::HeadlessDialogs>();
        previousDialogs = Edit::EditService::setDialogs(dialogs);
        PanelWindow::SetUp();
        if (IsSkipped()) return;
        panel = std::make_unique<Component::SceneListComponent>();
        service->updateLayout();
        ASSERT_GT(panel->clientRect.h, 0);
    }
    void TearDown() override {
        W::setMenuAnswerHook({});
        panel.reset();
        PanelWindow::TearDown();
        Edit::EditService::setDialogs(previousDialogs);
    }

    Edit::EditService& editService() { return *Edit::EditService::instance(); }
    // Makes a scene through the edit service's dialog, answered with the name.
    void addScene(const std::wstring& name) {
        Edit::SceneValues values;
        values.name = name;
        dialogs->sceneAnswers.push_back(values);
        ASSERT_TRUE(editService().newScene());
    }
    std::vector<std::wstring> rowNames() {
        std::vector<std::wstring> names;
        for (const auto& item : panel->list().items)
            names.push_back(static_cast<Component::SceneButtonControl*>(item->control)->scene->name);
        return names;
    }
    Component::SceneButtonControl& row(size_t i) {
        return *static_cast<Component::SceneButtonControl*>(panel->list().items.at(i)->control);
    }
    // The middle of a row's left part, in client pixels.
    int32_t rowX(size_t i) { return row(i).fullRect.x + 40; }
    int32_t rowY(size_t i) { return row(i).fullRect.y + row(i).fullRect.h / 2; }
    void click(size_t i) {
        const int32_t x = rowX(i), y = rowY(i);
        driver.run({{Input::Move, x, y}, {Input::Press, x, y}, {Input::Release, x, y}});
    }
    // Presses on the row and moves by each offset from the press in turn.
    void drag(size_t i, const std::vector<int32_t>& offsets) {
        const int32_t x = rowX(i), y = rowY(i);
        driver.run({{Input::Move, x, y}, {Input::Press, x, y}});
        for (const int32_t dy : offsets) driver.send({Input::Move, x, y + dy});
        driver.send({Input::Release, x, y + offsets.back()});
    }
    // A right click at the point through the router, choosing the menu item
    // with the label (none: the menu closes unchosen); the labels shown are kept.
    void contextMenu(int32_t x, int32_t y, const std::string& choose) {
        shownLabels = TestSupport::RouterDriver::contextMenu(x, y, choose);
    }

    std::shared_ptr<Edit::HeadlessDialogs> dialogs;
    std::shared_ptr<Edit::EditDialogs> previousDialogs;
    std::unique_ptr<Component::SceneListComponent> panel;
    std::vector<std::string> shownLabels;
};

TEST_F(SceneList, RowsFollowTheScenesAndAClickMakesASceneCurrent) {
    EXPECT_EQ(panel->sectionName(), "Window.scene.list");
    ASSERT_EQ(rowNames().size(), 1u) << "the root scene alone";
    EXPECT_EQ(row(0).fullRect.h, Window::ListItemHeight + 2);

    addScene(L"Second");
    addScene(L"Third");
    ASSERT_EQ(rowNames(), (std::vector<std::wstring>{editService().getSceneName(0), L"Second", L"Third"}));
    EXPECT_EQ(editService().currentScene()->name, L"Third") << "a new scene becomes current";

    click(1);
    EXPECT_EQ(editService().currentScene()->name, L"Second");
    click(0);
    EXPECT_EQ(editService().currentScene()->id, 0);
    // The root row cannot move: a drag of it changes nothing and selects nothing.
    click(1);
    drag(0, {60});
    EXPECT_EQ(editService().currentScene()->name, L"Second") << "a drag is no click";
    EXPECT_EQ(rowNames()[0], editService().getSceneName(0));
}

TEST_F(SceneList, DraggingARowMovesItsSceneButNeverPastTheRoot) {
    addScene(L"A");
    addScene(L"B");
    addScene(L"C");
    const int32_t h = Window::ListItemHeight + 2;
    const std::wstring root = editService().getSceneName(0);
    const struct {
        const char* what;
        size_t row;
        std::vector<int32_t> moves;
        std::vector<std::wstring> after;
    } cases[] = {
        {"the second row 5 up stays below the root", 1, {-5}, {root, L"A", L"B", L"C"}},
        {"the third row 4 up stays", 2, {-4}, {root, L"A", L"B", L"C"}},
        {"the third row 5 up swaps with the second", 2, {-5}, {root, L"B", L"A", L"C"}},
        {"a row one height and 4 down stays", 1, {h + 4}, {root, L"B", L"A", L"C"}},
        {"a row one height and 5 down swaps", 1, {h + 5}, {root, L"A", L"B", L"C"}},
        {"a long drag down moves to the end and stops", 1, {h + 5, 2 * h + 10, 10 * h}, {root, L"B", L"C", L"A"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const int32_t before = editService().currentScene()->id;
        drag(c.row, c.moves);
        EXPECT_EQ(rowNames(), c.after);
        EXPECT_EQ(editService().currentScene()->id, before) << "a drag is no click";
    }
    // The order is the scenes' own: the next rebuild keeps it.
    panel->rebuild();
    EXPECT_EQ(rowNames(), (std::vector<std::wstring>{root, L"B", L"C", L"A"}));
}

TEST_F(SceneList, MenusCreateRenameAndDeleteScenes) {
    // Below the rows: the panel's own menu.
    const int32_t belowX = panel->clientRect.x + 40, belowY = panel->clientRect.y + panel->clientRect.h - 5;
    Edit::SceneValues values;
    values.name = L"Made";
    dialogs->sceneAnswers.push_back(values);
    contextMenu(belowX, belowY, "シーンを新規作成");
    ASSERT_FALSE(shownLabels.empty());
    EXPECT_EQ(shownLabels.front(), "シーンを新規作成");
    ASSERT_EQ(rowNames().size(), 2u);
    EXPECT_EQ(rowNames()[1], L"Made");

    // A row's menu is its scene's: rename, then delete.
    std::string rename, remove;
    contextMenu(rowX(1), rowY(1), "");
    for (const std::string& label : shownLabels) {
        if (label == "シーン名を変更") rename = label;
        if (label == "シーンを削除") remove = label;
    }
    ASSERT_FALSE(rename.empty()) << "no rename item among " << testing::PrintToString(shownLabels);
    ASSERT_FALSE(remove.empty()) << "no delete item";
    EXPECT_FALSE(row(1).menuOpen) << "the closed menu clears the row's look";
    dialogs->nameAnswers.push_back(L"Renamed");
    contextMenu(rowX(1), rowY(1), rename);
    EXPECT_EQ(rowNames()[1], L"Renamed");

    contextMenu(rowX(1), rowY(1), remove);
    EXPECT_EQ(rowNames().size(), 1u);
}

}  // namespace
