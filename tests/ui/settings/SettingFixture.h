#pragma once
// Effect blocks and rows of the object settings panel in a main window, with
// the undo and edit services, driven through the input router.
#include <gtest/gtest.h>

#include <memory>

#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "ui/controls/ControlContainer.h"
#include "ui/panels/PanelFixture.h"
#include "ui/settings/EffectSetting.h"
#include "ui/settings/SettingPanelState.h"

// An effect with a number and a check; counts the item events it gets.
class ItemsEffect : public Effect::EffectBase {
public:
    explicit ItemsEffect(const wchar_t* effectName = L"テスト効果", uint8_t effectRole = kFilter) {
        name = effectName;
        role = effectRole;
        media = kVideo;
        placement = kVideo;
        check.notify = 1;
    }
    std::shared_ptr<EffectBase> createInstance() const override {
        return std::make_shared<ItemsEffect>(name, role);
    }
    bool itemEvent(const Effect::ItemEvent& event) override {
        events.push_back(event.kind);
        lastItem = event.item;
        lastScopeOpen = event.scope != nullptr && event.scope->holdsLock();
        return true;
    }

    Effect::EffectItemNumber number{&items, L"数値", 100, -1000, 1000, 0.01};
    Effect::EffectItemCheck check{&items, L"チェック"};
    std::vector<int32_t> events;
    const Effect::EffectItem* lastItem = nullptr;
    bool lastScopeOpen = false;
};

class SettingWindow : public PanelWindow {
protected:
    void SetUp() override {
        PanelWindow::SetUp();
        if (IsSkipped()) return;
        scene = Edit::EditService::instance()->currentScene();
    }
    void TearDown() override {
        blocks.clear();
        PanelWindow::TearDown();
    }

    std::shared_ptr<Edit::Object> addObject(int32_t layer, int32_t start, int32_t end,
                                            const wchar_t* name = L"テスト効果") {
        auto object = scene->createObject(layer, start, end);
        object->effects.push_back(std::make_shared<ItemsEffect>(name));
        scene->update();
        return object;
    }
    // A block of the object's first effect at the top of a 300 x 600 area.
    Component::EffectSetting& showBlock(const std::shared_ptr<Edit::Object>& object) {
        state.object = object;
        state.calcSectionIndex(scene->cursorFrame);
        blocks.push_back(std::make_unique<Component::EffectSetting>(container, state, object->effects.front()));
        Component::EffectSetting& block = *blocks.back();
        block.layoutRows();
        container.updateChildLayout();
        return block;
    }
    ItemsEffect& effectOf(const std::shared_ptr<Edit::Object>& object) {
        return static_cast<ItemsEffect&>(*object->effects.front());
    }

    std::shared_ptr<Edit::Scene> scene;
    Component::SettingPanelState state;
    Window::MouseRect area{0, 0, 300, 600};
    Window::ControlContainer container{100, &area, &area};
    std::vector<std::unique_ptr<Component::EffectSetting>> blocks;
};
