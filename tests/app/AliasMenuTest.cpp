// Aliases in the running program: an object saved as an alias from the
// timeline's object menu, and one of its effects saved as an effect alias,
// are listed at once under the label given in the alias dialog, and choosing
// them in the timeline's menu makes equal objects. The menus are opened
// through the input router and answered by the window layer's menu hook;
// the program's alias dialog is answered through the dialogs' hook.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ProgramMenuFixture.h"
#include "app/Application.h"
#include "core/FileName.h"
#include "core/TextConvert.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/ObjectCreateCommands.h"
#include "edit/ObjectEffectCommands.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/EffectItem.h"
#include "platform/window/Menu.h"
#include "platform/window/TopLevel.h"
#include "support/ScriptedBoxes.h"
#include "support/ScriptedDialogs.h"
#include "ui/dialogs/DialogTemplate.h"
#include "ui/framework/ToolTips.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"
#include "ui/panels/EditComponent.h"
#include "ui/panels/EditLayerObjectControl.h"
#include "ui/panels/timeline/ObjectAliasSave.h"

namespace fs = std::filesystem;
namespace W = Platform::window;

namespace {

class AliasMenu : public ProgramMenuFixture {
protected:
    AliasMenu() : ProgramMenuFixture("aliasmenu") {}
};

// The id of the item at the path of texts (submenus first), or 0.
uint32_t idAt(W::MenuHandle menu, const std::vector<std::string>& path, size_t depth = 0) {
    for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
        std::string text;
        W::getMenuStringAt(menu, i, text);
        if (text != path[depth]) continue;
        if (depth + 1 == path.size()) return static_cast<uint32_t>(W::getMenuItemId(menu, i));
        if (W::MenuHandle sub = W::getSubMenu(menu, i)) return idAt(sub, path, depth + 1);
    }
    return 0;
}

// A right-click on the timeline at a frame and layer (the view's first row
// and frame shown, zoom 10000: a pixel a frame); the item at the path is
// chosen. Returns the submenu at the path's first step as shown.
std::string rightClick(int32_t frame, int32_t layer, const std::vector<std::string>& path) {
    Component::EditComponent* timeline = Component::EditComponent::get();
    Window::WindowMouseService* router = Window::WindowMouseService::get();
    const auto& area = timeline->objectArea->fullRect;
    const int32_t x = area.x + frame - timeline->view.displayFrame;
    const int32_t y = area.y + layer * timeline->view.metrics.layerHeight + timeline->view.metrics.layerHeight / 2;
    router->dispatch(router->window, W::kWmMouseMove, 0, W::makeLParam(x, y));
    W::Point p{x, y};
    W::clientToScreen(Window::WindowService::get()->window, p);
    std::string shown;
    W::setMenuAnswerHook([&](W::MenuHandle menu, const W::Point&) -> uint32_t {
        for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
            std::string text;
            W::getMenuStringAt(menu, i, text);
            if (text == path.front())
                if (W::MenuHandle sub = W::getSubMenu(menu, i)) shown = shape(sub);
        }
        return idAt(menu, path);
    });
    router->dispatch(router->window, W::kWmContextMenu, 0, W::makeLParam(p.x, p.y));
    W::setMenuAnswerHook({});
    return shown;
}

// An object's place and chain with every item's text.
std::string describe(const Edit::Object& o, int32_t startAt) {
    std::string out = std::to_string(o.end - o.start) + " frames from " + std::to_string(o.start - startAt) +
                      (o.clipping ? " clip" : "") + "\n";
    for (const auto& e : o.effects) {
        out += System::wideToUtf8(e->name) + ":";
        for (const auto* item : e->items) out += " " + item->toString();
        out += "\n";
    }
    return out;
}

TEST_F(AliasMenu, SavedAliasesAreListedUnderTheirLabelAndMakeEqualObjects) {
    namespace Cmd = Edit::EditCommand;
    ScriptedBoxes boxes;
    // The program's own alias dialog, answered as a user would: a name with a
    // full stop is refused and the dialog stays open for another.
    ScriptedDialogs dialogs;
    std::string refusedTip;
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        d.setText(ScriptedDialogs::field(d, "エイリアス名"), "bad.name");
        d.setText(ScriptedDialogs::field(d, "ラベル"), "保存");
        d.press(Dialog::DialogTemplate::kOkButtonId);
        if (d.ended()) return;
        refusedTip = System::wideToUtf8(Window::ToolTips::text);
        d.setText(ScriptedDialogs::field(d, "エイリアス名"), "ring");
        d.press(Dialog::DialogTemplate::kOkButtonId);
    });
    std::vector<std::string> labels;  // offered by the second dialog
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        labels = d.choices(ScriptedDialogs::field(d, "ラベル"));
        d.setText(ScriptedDialogs::field(d, "エイリアス名"), "soft");
        d.setText(ScriptedDialogs::field(d, "ラベル"), "保存効果");
        d.press(Dialog::DialogTemplate::kOkButtonId);
    });
    std::string objectMenu, filterMenu, original, loaded, effectObject;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        Component::EditComponent* timeline = Component::EditComponent::get();
        ASSERT_NE(timeline, nullptr);
        auto made = Cmd::createObject(L"図形", 0, 10);
        made->clipping = true;
        Cmd::setEffect(made, L"ぼかし", nullptr, false);
        made->effects[2]->items[0]->fromString("12");  // a value of its own, not the default
        Edit::Scene& scene = *Edit::EditService::instance()->currentScene();
        scene.update();
        timeline->showScene(Edit::EditService::instance()->currentScene());
        original = describe(*made, made->start);

        // The object from the timeline: a name with a full stop is asked again.
        rightClick(made->start + 5, 0, {"エイリアスを作成"});
        scene.selection.clear();
        objectMenu = rightClick(200, 1, {"オブジェクトを追加", "保存", "ring"});
        if (!scene.getLayer(1).objects.empty()) loaded = describe(*scene.getLayer(1).objects.front(), 200);

        // One effect of it as an effect alias, then a filter object made of it.
        Component::saveEffectAlias(made, *made->effects[2]);
        scene.selection.clear();
        filterMenu = rightClick(200, 2, {"フィルタ効果を追加", "保存効果", "soft"});
        if (!scene.getLayer(2).objects.empty()) effectObject = describe(*scene.getLayer(2).objects.front(), 200);
    };
    EXPECT_EQ(App::run(steps), 0);
    std::vector<std::string> captions;
    for (const auto& shown : dialogs.shown) captions.push_back(shown.caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"エイリアスを作成 - オブジェクト", "エイリアスを作成 - ぼかし"}));
    EXPECT_NE(std::find(labels.begin(), labels.end(), "保存"), labels.end()) << "the first alias's label is offered";
    EXPECT_EQ(refusedTip.rfind("使用できない文字が含まれています", 0), 0u) << refusedTip;
    EXPECT_NE(objectMenu.find("保存[ring]"), std::string::npos) << objectMenu;
    EXPECT_NE(filterMenu.find("保存効果[soft]"), std::string::npos) << filterMenu;
    EXPECT_EQ(filterMenu.find("ring"), std::string::npos) << "an object alias is no filter: " << filterMenu;
    EXPECT_NE(original.find("ぼかし: 12 "), std::string::npos) << original;
    EXPECT_EQ(loaded, original);
    ASSERT_FALSE(effectObject.empty());
    EXPECT_EQ(effectObject.substr(effectObject.find('\n') + 1), original.substr(original.find("ぼかし:")));
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;
}

}  // namespace
