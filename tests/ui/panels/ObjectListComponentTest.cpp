// The object list in a main window: it lists the object under the cursor on
// each layer, filtered by its switches, follows the cursor, and a click on a
// row through the input router makes that object the focus object; the
// row's buttons hide and lock its object, and a right click on a row opens
// the edit menu for that object alone.
#include "ui/panels/ObjectListComponent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/EventService.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "effect/EffectBase.h"
#include "platform/window/Menu.h"
#include "platform/window/TopLevel.h"
#include "support/RouterDriver.h"
#include "PanelFixture.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/panels/ObjectButtonControl.h"

namespace {

using TestSupport::Input;
using Icons = Window::StyleBitmapList;

class TopEffect : public Effect::EffectBase {
public:
    TopEffect(const wchar_t* effectName, uint8_t effectRole, uint8_t effectMedia) {
        name = effectName;
        role = effectRole;
        media = effectMedia;
    }
    std::shared_ptr<EffectBase> createInstance() const override {
        return std::make_shared<TopEffect>(name, role, media);
    }
};

class ObjectList : public PanelWindow {
protected:
    void SetUp() override {
        PanelWindow::SetUp();
        if (IsSkipped()) return;
        Edit::Scene& scene = *Edit::EditService::instance()->currentScene();
        video = add(scene, 0, 0, 10, L"動画ファイル", Effect::EffectBase::kInput, Effect::EffectBase::kVideoAudio);
        filter = add(scene, 1, 5, 8, L"ぼかし", Effect::EffectBase::kFilter, Effect::EffectBase::kVideo);
        audio = add(scene, 3, 0, 20, L"音声ファイル", Effect::EffectBase::kInput, Effect::EffectBase::kAudio);
        camera = add(scene, 4, 15, 30, L"カメラ制御", Effect::EffectBase::kControl, Effect::EffectBase::kCamera);
        scene.update();
        panel = std::make_unique<Component::ObjectListComponent>();
        service->updateLayout();
        ASSERT_GT(panel->clientRect.h, 0);
    }
    void TearDown() override {
        Platform::window::setMenuAnswerHook({});
        panel.reset();
        PanelWindow::TearDown();
    }

    static std::shared_ptr<Edit::Object> add(Edit::Scene& scene, int32_t layer, int32_t start, int32_t end,
                                             const wchar_t* name, uint8_t role, uint8_t media) {
        auto object = scene.createObject(layer, start, end);
        object->effects.push_back(std::make_shared<TopEffect>(name, role, media));
        return object;
    }
    std::vector<std::shared_ptr<Edit::Object>> rows() {
        std::vector<std::shared_ptr<Edit::Object>> shown;
        for (const auto& item : panel->list().items)
            shown.push_back(static_cast<Component::ObjectButtonControl*>(item->control)->object);
        return shown;
    }

    Component::ObjectButtonControl& row(size_t i) {
        return *static_cast<Component::ObjectButtonControl*>(panel->list().items.at(i)->control);
    }
    void click(const Window::WindowControl& control) {
        const int32_t x = control.visibleRect.x + control.visibleRect.w / 2;
        const int32_t y = control.visibleRect.y + control.visibleRect.h / 2;
        driver.run({{Input::Move, x, y}, {Input::Press, x, y}, {Input::Release, x, y}});
    }
    // A right click at the point, choosing the item with the label (none:
    // the menu closes unchosen); the labels shown are kept.
    void contextMenu(int32_t x, int32_t y, const std::string& choose) {
        shownLabels = TestSupport::RouterDriver::contextMenu(x, y, choose);
    }

    std::vector<std::string> shownLabels;
    std::unique_ptr<Component::ObjectListComponent> panel;
    std::shared_ptr<Edit::Object> video, filter, audio, camera;
};

TEST_F(ObjectList, ListsTheObjectsUnderTheCursorThroughTheSwitches) {
    using Objects = std::vector<std::shared_ptr<Edit::Object>>;
    EXPECT_EQ(panel->sectionName(), "Window.object.list");
    const struct {
        const char* what;
        int32_t frame;
        Component::ObjectListComponent::Switches switches;
        Objects shown;
    } cases[] = {
        {"the first frame, layers from the top", 0, {}, {video, audio}},
        {"a filter in its range", 6, {}, {video, filter, audio}},
        {"the end frame still lists the object", 10, {}, {video, audio}},
        {"one frame later it is gone", 11, {}, {audio}},
        {"camera media counts as audio", 16, {}, {audio, camera}},
        {"audio switched off", 16, {1, 0, 1, 1, 1}, {}},
        {"sources switched off", 6, {1, 1, 1, 1, 0}, {filter}},
        {"filters switched off", 6, {1, 1, 1, 0, 1}, {video, audio}},
        {"video switched off", 6, {0, 1, 1, 1, 1}, {audio}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        panel->switches = c.switches;
        Edit::EditService::instance()->setCursorFrame(c.frame);
        panel->rebuild();
        EXPECT_EQ(rows(), c.shown);
    }
}

TEST_F(ObjectList, RowsFollowTheCursorAndKeepTheirControlsWhileTheCountStays) {
    Edit::EditService::instance()->setCursorFrame(0);
    ASSERT_EQ(rows(), (std::vector<std::shared_ptr<Edit::Object>>{video, audio}));
    const Window::WindowControl* first = panel->list().items[0]->control;
    Edit::EditService::instance()->setCursorFrame(16);
    ASSERT_EQ(rows(), (std::vector<std::shared_ptr<Edit::Object>>{audio, camera})) << "the cursor event rebuilt";
    EXPECT_EQ(panel->list().items[0]->control, first) << "the row stays and takes the new object";
    EXPECT_EQ(static_cast<Component::ObjectButtonControl*>(panel->list().items[1]->control)->icon, Icons::Camera);
    Edit::EditService::instance()->setCursorFrame(25);
    EXPECT_EQ(rows().size(), 1u);
}

TEST_F(ObjectList, AClickOnARowFocusesItsObject) {
    Event::EventService* events = Event::EventService::get();
    std::vector<std::shared_ptr<Edit::Object>> focused;
    events->focusObjectListeners.add([&](const Event::EventService::ObjectRef& object) { focused.push_back(object); });
    Edit::EditService::instance()->setCursorFrame(6);
    ASSERT_EQ(rows().size(), 3u);
    const Window::WindowControl& row = *panel->list().items[2]->control;
    const int32_t x = row.fullRect.x + 30, y = row.fullRect.y + row.fullRect.h / 2;
    driver.run({{Input::Move, x, y}, {Input::Press, x, y}, {Input::Release, x, y}});
    EXPECT_EQ(Edit::EditService::instance()->currentScene()->focusObject, audio);
    EXPECT_EQ(focused, (std::vector<std::shared_ptr<Edit::Object>>{audio}));
    EXPECT_TRUE(Edit::EditService::instance()->currentScene()->selection.objects.empty()) << "no Ctrl: no selection";
    // A second click on the same row changes nothing.
    driver.run({{Input::Move, x, y}, {Input::Press, x, y}, {Input::Release, x, y}});
    EXPECT_EQ(focused.size(), 1u);
}

TEST_F(ObjectList, TheRowButtonsHideAndLockTheirObject) {
    Edit::EditService::instance()->setCursorFrame(6);
    ASSERT_EQ(rows(), (std::vector<std::shared_ptr<Edit::Object>>{video, filter, audio}));
    EXPECT_TRUE(row(0).lockButton.visible);
    EXPECT_FALSE(row(2).lockButton.visible) << "an audio object has no lock";
    EXPECT_EQ(row(0).enableButton.toolTipText, L"オブジェクトの表示・非表示");
    EXPECT_EQ(row(1).enableButton.toolTipText, L"フィルタ効果の有効・無効");
    EXPECT_TRUE(row(0).enableButton.checkState);
    EXPECT_FALSE(row(0).lockButton.checkState);

    click(row(0).enableButton);
    EXPECT_NE(video->effects.front()->disabled, 0) << "switched off";
    ASSERT_EQ(rows().size(), 3u);
    EXPECT_FALSE(row(0).enableButton.checkState);
    click(row(0).lockButton);
    EXPECT_NE(video->effects.front()->locked, 0);
    EXPECT_TRUE(row(0).lockButton.checkState);
    EXPECT_EQ(filter->effects.front()->locked, 0) << "only the row's object";

    // The rows keep their buttons for the objects at the next frame; the states follow them.
    video->effects.front()->locked = 0;
    Edit::EditService::instance()->setCursorFrame(7);
    EXPECT_FALSE(row(0).lockButton.checkState);
    EXPECT_TRUE(row(1).enableButton.checkState);
}

TEST_F(ObjectList, ARowMenuActsOnItsObjectAndLeavesNoSelection) {
    // As the program does: a closed menu lets go of a key hold whose key is up.
    const auto previous = Window::PopupMenu::setKeyHoldReleaser([] {
        if (Window::WindowMouseService* mouse = Window::WindowMouseService::get()) mouse->releaseKeyHold();
    });
    struct Restore {
        Window::PopupMenu::KeyHoldReleaser previous;
        ~Restore() { Window::PopupMenu::setKeyHoldReleaser(previous); }
    } restore{previous};
    Edit::Scene& scene = *Edit::EditService::instance()->currentScene();
    Edit::EditService::instance()->setCursorFrame(6);
    ASSERT_EQ(rows().size(), 3u);
    const Window::WindowControl& second = row(1);
    const int32_t x = second.fullRect.x + 30, y = second.fullRect.y + second.fullRect.h / 2;
    contextMenu(x, y, "");
    EXPECT_EQ(shownLabels.front(), "切り取り") << "the edit menu of the selected object";
    EXPECT_NE(std::find(shownLabels.begin(), shownLabels.end(), "対象レイヤー範囲を調整"), shownLabels.end());
    EXPECT_TRUE(scene.selection.objects.empty()) << "the menu's selection goes when it closes";

    contextMenu(x, y, "削除");
    EXPECT_TRUE(scene.selection.objects.empty());
    EXPECT_EQ(rows(), (std::vector<std::shared_ptr<Edit::Object>>{video, audio})) << "the filter was deleted";

    // Outside the rows, with nothing selected: paste alone, then the options.
    const Window::MouseRect& list = panel->list().visibleRect;
    contextMenu(list.x + 10, list.y + list.h - 5, "");
    ASSERT_FALSE(shownLabels.empty());
    EXPECT_EQ(shownLabels.front(), "貼り付け");
    EXPECT_NE(std::find(shownLabels.begin(), shownLabels.end(), "オプション"), shownLabels.end());
}

}  // namespace
