// The group, flag, camera and clipping, layer-range and display-switch
// commands, and the context-menu entries of the edit service, on a real edit
// service: tables of cases against the scene's state text with undo and redo
// after each command.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/Clipboard.h"
#include "core/TextConvert.h"
#include "edit/EditCommandTargets.h"
#include "edit/Layer.h"
#include "edit/ObjectClipboard.h"
#include "edit/ObjectCreateCommands.h"
#include "edit/ObjectFlagCommands.h"
#include "edit/ObjectSplitCommands.h"
#include "edit/PopupMenu.h"
#include "edit/support/CommandFixture.h"
#include "effect/EffectItemInteger.h"

namespace {

using namespace EditTest;
namespace Cmd = Edit::EditCommand;
using ObjectPtr = std::shared_ptr<Edit::Object>;

class FlagCommandTest : public CommandFixture {
public:
    // Each object's chain with its flags, and its camera and clipping flags:
    // "L0: 画像ファイル!off 標準描画 [clip]".
    std::string flags() {
        std::string out;
        for (int32_t i = 0; i < scene().layerCount(); ++i)
            for (const auto& o : scene().getLayer(i).objects) {
                out += (out.empty() ? "" : "; ") + std::string("L") + std::to_string(i) + ":";
                for (const auto& e : o->effects)
                    out += " " + System::wideToUtf8(e->name) + (e->disabled ? "!off" : "") + (e->locked ? "!lock" : "");
                out += o->camera ? "" : " [nocamera]";
                out += o->clipping ? " [clip]" : "";
            }
        return out;
    }
    // A video object with two filters behind its output.
    ObjectPtr videoWithFilters(int32_t layer) {
        auto o = add(layer, 0, 10);
        edit([&](auto&) {
            o->addEffect(kBlur);
            o->addEffect(kInvert);
        });
        return o;
    }
    ObjectPtr filterObject(int32_t layer) {
        auto o = add(layer, 0, 10, kBlur);
        edit([&](auto&) { o->addEffect(kInvert); });
        return o;
    }
};
using Case = CommandCase<FlagCommandTest>;

void runFlags(FlagCommandTest& t, const std::vector<Case>& cases) {
    runCases<FlagCommandTest>(t, cases, [](FlagCommandTest& f) { return f.flags(); });
}

TEST_F(FlagCommandTest, GroupingMakesOneNewGroupOfTheSelection) {
    const auto four = [](FlagCommandTest& t) {
        std::vector<ObjectPtr> o;
        for (int32_t l = 0; l < 4; ++l) o.push_back(t.add(l, 0, 10));
        t.group({o[0], o[1], o[3]});
        return o;
    };
    runCases<FlagCommandTest>(
        *this, {
                   {"one selected: nothing", [=](auto& t) { t.select({four(t)[2]}); }, [](auto&) { Cmd::setGroup(); },
                    "L0: 0..10[a]; L1: 0..10[a]; L2: 0..10; L3: 0..10[a]"},
                   {"the focus object does not count",
                    [=](auto& t) {
                        auto o = four(t);
                        t.select({o[2]});
                        t.focus(o[0]);
                    },
                    [](auto&) { Cmd::setGroup(); }, "L0: 0..10[a]; L1: 0..10[a]; L2: 0..10; L3: 0..10[a]"},
                   {"three, two of them from another group: the old group keeps the rest",
                    [=](auto& t) {
                        auto o = four(t);
                        t.select({o[0], o[1], o[2]});
                    },
                    [](auto&) { Cmd::setGroup(); }, "L0: 0..10[a]; L1: 0..10[a]; L2: 0..10[a]; L3: 0..10[b]"},
                   {"a group over a locked layer: the locked member is not selected and stays in the old group",
                    [=](auto& t) {
                        auto o = four(t);
                        t.edit([](Edit::Scene& s) { s.getLayer(3).layer->lock = true; });
                        t.scene().selection.addGroup(o[0], t.scene());
                        t.select({o[2]});
                    },
                    [](auto&) { Cmd::setGroup(); }, "L0: 0..10[a]; L1: 0..10[a]; L2: 0..10[a]; L3: 0..10[b]"},
               });
}

TEST_F(FlagCommandTest, UngroupingTakesTheTargetsOut) {
    runCases<FlagCommandTest>(*this, {
                                         {"the selection",
                                          [](auto& t) {
                                              auto a = t.add(0, 0, 10), b = t.add(1, 0, 10), c = t.add(2, 0, 10);
                                              t.group({a, b, c});
                                              t.select({a, c});
                                          },
                                          [](auto&) { Cmd::clearGroup(); }, "L0: 0..10; L1: 0..10[a]; L2: 0..10"},
                                         {"the focus object",
                                          [](auto& t) {
                                              auto a = t.add(0, 0, 10), b = t.add(1, 0, 10);
                                              t.group({a, b});
                                              t.focus(b);
                                          },
                                          [](auto&) { Cmd::clearGroup(); }, "L0: 0..10[a]; L1: 0..10"},
                                         {"no targets: an empty step is not kept",
                                          [](auto& t) {
                                              t.group({t.add(0, 0, 10), t.add(1, 0, 10)});
                                          },
                                          [](auto&) { Cmd::clearGroup(); }, "L0: 0..10[a]; L1: 0..10[a]"},
                                     });
    LogCapture log;
    Cmd::clearGroup();
    EXPECT_TRUE(logged(log, "clear group object"));
}

TEST_F(FlagCommandTest, EnablingTouchesTheHeadOrEveryFilterOfAFilterObject) {
    runFlags(*this, {
                        {"a video object: the input only", [](auto& t) { t.videoWithFilters(0); },
                         [](auto& t) { Cmd::setEnableObject(t.scene().getLayer(0).objects, false); },
                         "L0: 画像ファイル!off 標準描画 ぼかし 反転"},
                        {"a filter object: every filter", [](auto& t) { t.filterObject(0); },
                         [](auto& t) { Cmd::setEnableObject(t.scene().getLayer(0).objects, false); },
                         "L0: ぼかし!off 反転!off"},
                        {"enabling again",
                         [](auto& t) {
                             auto o = t.filterObject(0);
                             t.edit([&](auto&) {
                                 for (auto& e : o->effects) e->disabled = 1;
                             });
                         },
                         [](auto& t) { Cmd::setEnableObject(t.scene().getLayer(0).objects, true); }, "L0: ぼかし 反転"},
                        {"an empty list: nothing", [](auto& t) { t.videoWithFilters(0); },
                         [](auto&) { Cmd::setEnableObject({}, false); }, "L0: 画像ファイル 標準描画 ぼかし 反転"},
                        {"one effect", [](auto& t) { t.videoWithFilters(0); },
                         [](auto& t) {
                             auto o = t.scene().getLayer(0).objects[0];
                             Cmd::setEnableEffect(o, o->effects[3], false);
                         },
                         "L0: 画像ファイル 標準描画 ぼかし 反転!off"},
                    });
}

TEST_F(FlagCommandTest, CtrlOnASelectedObjectChangesTheWholeSelection) {
    const auto three = [](FlagCommandTest& t) {
        auto a = t.add(0, 0, 10), b = t.add(1, 0, 10), c = t.add(2, 0, 10);
        t.select({a, b});
        return std::vector<ObjectPtr>{a, b, c};
    };
    const auto on = [](int32_t layer, bool control) {
        return [=](FlagCommandTest& t) {
            t.keys->control = control;
            Cmd::setEnableObjectOrSelection(t.scene().getLayer(layer).objects[0], false);
        };
    };
    runFlags(*this, {
                        {"Ctrl on an unselected object: that one", [=](auto& t) { three(t); }, on(2, true),
                         "L0: 画像ファイル 標準描画; L1: 画像ファイル 標準描画; L2: 画像ファイル!off 標準描画"},
                        {"Ctrl on a selected object: the selection", [=](auto& t) { three(t); }, on(0, true),
                         "L0: 画像ファイル!off 標準描画; L1: 画像ファイル!off 標準描画; L2: 画像ファイル 標準描画"},
                        {"no Ctrl on a selected object: that one", [=](auto& t) { three(t); }, on(1, false),
                         "L0: 画像ファイル 標準描画; L1: 画像ファイル!off 標準描画; L2: 画像ファイル 標準描画"},
                    });
    // The lock follows the same rule.
    restart();
    three(*this);
    keys->control = true;
    Cmd::setLockObjectOrSelection(scene().getLayer(1).objects[0], true);
    EXPECT_EQ(flags(),
              "L0: 画像ファイル!lock 標準描画!lock; L1: 画像ファイル!lock 標準描画!lock; L2: 画像ファイル 標準描画");
}

TEST_F(FlagCommandTest, LockingAnInputLocksItsOutput) {
    const auto lockAt = [](size_t position, bool lock) {
        return [=](FlagCommandTest& t) {
            auto o = t.scene().getLayer(0).objects[0];
            Cmd::setLockEffect(o, o->effects[position], lock);
        };
    };
    runFlags(*this, {
                        {"the input", [](auto& t) { t.videoWithFilters(0); }, lockAt(0, true),
                         "L0: 画像ファイル!lock 標準描画!lock ぼかし 反転"},
                        {"a filter", [](auto& t) { t.videoWithFilters(0); }, lockAt(2, true),
                         "L0: 画像ファイル 標準描画 ぼかし!lock 反転"},
                        {"the first filter of a filter object", [](auto& t) { t.filterObject(0); }, lockAt(0, true),
                         "L0: ぼかし!lock 反転"},
                        {"whole objects: every effect", [](auto& t) { t.videoWithFilters(0); },
                         [](auto& t) { Cmd::setLockObject(t.scene().getLayer(0).objects, true); },
                         "L0: 画像ファイル!lock 標準描画!lock ぼかし!lock 反転!lock"},
                    });
}

TEST_F(FlagCommandTest, CameraAndClippingExcludeEachOtherWhenSet) {
    const auto object = [](bool camera, bool clipping) {
        return [=](FlagCommandTest& t) {
            auto o = t.add(0, 0, 10);
            t.edit([&](auto&) {
                o->camera = camera;
                o->clipping = clipping;
            });
        };
    };
    const auto first = [](FlagCommandTest& t) { return t.scene().getLayer(0).objects[0]; };
    runFlags(*this, {
                        {"camera on clears clipping", object(false, true),
                         [=](auto& t) { Cmd::setEnableCameraObject(first(t), true); }, "L0: 画像ファイル 標準描画"},
                        {"camera off leaves clipping", object(true, true),
                         [=](auto& t) { Cmd::setEnableCameraObject(first(t), false); },
                         "L0: 画像ファイル 標準描画 [nocamera] [clip]"},
                        {"clipping on the first layer clears the camera flag", object(true, false),
                         [=](auto& t) { Cmd::setEnableClippingObject(first(t), true); },
                         "L0: 画像ファイル 標準描画 [nocamera] [clip]"},
                        {"clipping off leaves the camera flag", object(false, true),
                         [=](auto& t) { Cmd::setEnableClippingObject(first(t), false); },
                         "L0: 画像ファイル 標準描画 [nocamera]"},
                        {"as it was: no step", object(true, false),
                         [=](auto& t) { Cmd::setEnableCameraObject(first(t), true); }, "L0: 画像ファイル 標準描画"},
                    });
}

TEST_F(FlagCommandTest, LayerRangeControlsReachDownToTheHighestSelectedLayer) {
    const auto range = [](FlagCommandTest& t) {
        std::string out;
        for (int32_t l = 0; l < t.scene().layerCount(); ++l)
            for (const auto& o : t.scene().getLayer(l).objects)
                if (o->layerRangeControl) {
                    out += (out.empty() ? "" : " ") + std::string("L") + std::to_string(l) + "=" +
                           std::to_string(o->effects.front()->getLayerRange()->value);
                    for (const auto& r : t.scene().getLayer(l).controlRanges) out += "/" + std::to_string(r.layerCount);
                }
        return out;
    };
    runCases<FlagCommandTest>(*this,
                              {
                                  {"a control on layer 2 with objects on 3 and 6",
                                   [](auto& t) {
                                       t.select({t.add(2, 0, 10, kGroup), t.add(3, 0, 10), t.add(6, 0, 10)});
                                   },
                                   [](auto&) { Cmd::adjustTargetLayerRange(); }, "L2=4/4"},
                                  {"a control on the highest selected layer is left",
                                   [](auto& t) {
                                       t.select({t.add(2, 0, 10, kCamera), t.add(6, 0, 10, kGroup), t.add(4, 0, 10)});
                                   },
                                   [](auto&) { Cmd::adjustTargetLayerRange(); }, "L2=4/4 L6=0/1000000"},
                                  {"a control alone: nothing", [](auto& t) { t.select({t.add(2, 0, 10, kGroup)}); },
                                   [](auto&) { Cmd::adjustTargetLayerRange(); }, "L2=0/1000000"},
                                  {"no control selected: nothing",
                                   [](auto& t) {
                                       t.add(1, 0, 10, kGroup);
                                       t.select({t.add(2, 0, 10), t.add(3, 0, 10)});
                                   },
                                   [](auto&) { Cmd::adjustTargetLayerRange(); }, "L1=0/1000000"},
                              },
                              std::function<std::string(FlagCommandTest&)>(range));
}

TEST_F(FlagCommandTest, DisplaySwitchesAreStoredWithoutAnUndoStep) {
    std::vector<std::pair<Cmd::ViewSwitch, int32_t>> stored;
    int32_t grid = 1;
    auto previous =
        Cmd::setViewSwitches({[&](Cmd::ViewSwitch which) { return which == Cmd::ViewSwitch::CameraGrid ? grid : 0; },
                              [&](Cmd::ViewSwitch which, int32_t value) {
                                  stored.emplace_back(which, value);
                                  if (which == Cmd::ViewSwitch::CameraGrid) grid = value;
                              }});
    add(0, 0, 10);
    int32_t stops = 0;
    auto previousStop = Edit::UpdateSection::setPlaybackStop([&] { ++stops; });
    int32_t redraws = 0;
    events.get()->objectChangedListeners.add([&](const auto&) { ++redraws; });
    undo().modified = false;
    LogCapture log;
    Cmd::setCameraGrid(false);
    Cmd::setCameraFreeView(true);
    Cmd::setVisibleClippingObjectView(false);
    Edit::UpdateSection::setPlaybackStop(std::move(previousStop));
    Cmd::setViewSwitches(std::move(previous));
    EXPECT_EQ(stored, (std::vector<std::pair<Cmd::ViewSwitch, int32_t>>{{Cmd::ViewSwitch::CameraGrid, 0},
                                                                        {Cmd::ViewSwitch::CameraFreeView, 1},
                                                                        {Cmd::ViewSwitch::VisibleClippingObject, 0}}));
    EXPECT_EQ(grid, 0);
    EXPECT_EQ(stops, 3);
    EXPECT_EQ(redraws, 3);
    EXPECT_TRUE(logged(log, "set camera grid enable=0"));
    EXPECT_TRUE(logged(log, "set camera free view enable=1"));
    EXPECT_TRUE(logged(log, "set visible clipping object enable=0"));
    EXPECT_EQ(records(), 0u);
    EXPECT_FALSE(undo().modified);
    // Without a renderer the defaults are read.
    EXPECT_EQ(Cmd::getViewSwitch(Cmd::ViewSwitch::CameraGrid), 1);
    EXPECT_EQ(Cmd::getViewSwitch(Cmd::ViewSwitch::CameraFreeView), 0);
    EXPECT_EQ(Cmd::getViewSwitch(Cmd::ViewSwitch::VisibleClippingObject), 1);
}

TEST_F(FlagCommandTest, ThePreviewsClippingIconSwitchesTheRenderersSetting) {
    int32_t visible = 1, stores = 0;
    auto previous = Cmd::setViewSwitches({[&](Cmd::ViewSwitch) { return visible; },
                                          [&](Cmd::ViewSwitch which, int32_t value) {
                                              EXPECT_EQ(which, Cmd::ViewSwitch::VisibleClippingObject);
                                              visible = value;
                                              ++stores;
                                          }});
    Effect::AnchorCommands& anchors = service().anchorCommands();
    EXPECT_TRUE(anchors.visibleClippingObject());
    anchors.setVisibleClippingObject(false);
    EXPECT_FALSE(anchors.visibleClippingObject());
    EXPECT_EQ(stores, 1);
    EXPECT_EQ(records(), 0u);
    Cmd::setViewSwitches(std::move(previous));
}

// A popup menu that lists its entries as "label" or "(label)" for a grayed one.
class ListedMenu : public Edit::PopupMenu {
public:
    std::vector<std::string> entries;
    std::vector<std::function<void()>> actions;
    void insertItem(const std::wstring& text, bool enabled, std::function<void()> action) override {
        entries.push_back(enabled ? System::wideToUtf8(text) : "(" + System::wideToUtf8(text) + ")");
        actions.push_back(std::move(action));
    }
    void insertSeparator() override { entries.emplace_back("-"); }
    std::string text() const {
        std::string out;
        for (const auto& e : entries) out += (out.empty() ? "" : " ") + e;
        return out;
    }
};

TEST_F(FlagCommandTest, ContextMenuEntriesAreGrayedWhenTheirCommandHasNothingToDo) {
    struct Row {
        const char* name;
        std::function<void(FlagCommandTest&)> setUp;
        const char* edit;
        const char* group;
    };
    const Row rows[] = {
        {"nothing", [](auto&) {}, "(切り取り) (コピー) (貼り付け) (削除)", "(グループ化) (グループ解除)"},
        {"a focus object on a layer", [](auto& t) { t.focus(t.add(0, 0, 10)); }, "切り取り コピー (貼り付け) 削除",
         "(グループ化) (グループ解除)"},
        {"a deleted focus object",
         [](auto& t) {
             auto o = t.add(0, 0, 10);
             t.focus(o);
             t.select({o});
             Cmd::deleteObject();
             t.focus(o);
         },
         "(切り取り) (コピー) (貼り付け) (削除)", "(グループ化) (グループ解除)"},
        {"after a copy",
         [](auto& t) {
             t.focus(t.add(0, 0, 10));
             Cmd::copyObject();
         },
         "切り取り コピー 貼り付け 削除", "(グループ化) (グループ解除)"},
        {"a grouped focus object",
         [](auto& t) {
             auto a = t.add(0, 0, 10);
             t.group({a, t.add(1, 0, 10)});
             t.focus(a);
         },
         "切り取り コピー (貼り付け) 削除", "(グループ化) グループ解除"},
        {"three grouped objects selected",
         [](auto& t) {
             std::vector<ObjectPtr> o{t.add(0, 0, 10), t.add(1, 0, 10), t.add(2, 0, 10)};
             t.group(o);
             t.select(o);
         },
         "切り取り コピー (貼り付け) 削除", "グループ化 グループ解除"},
        {"and one ungrouped object",
         [](auto& t) {
             std::vector<ObjectPtr> o{t.add(0, 0, 10), t.add(1, 0, 10), t.add(2, 0, 10)};
             t.group(o);
             o.push_back(t.add(3, 0, 10));
             t.select(o);
         },
         "切り取り コピー (貼り付け) 削除", "グループ化 (グループ解除)"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        restart();
        System::Clipboard::setText(L"");
        r.setUp(*this);
        ListedMenu edit, group;
        const std::string before = fullState(scene());
        service().insertEditMenu(edit);
        service().insertGroupMenu(group);
        EXPECT_EQ(edit.text(), r.edit);
        EXPECT_EQ(group.text(), r.group);
        EXPECT_EQ(fullState(scene()), before) << "building the entries changed the model";
    }
    // The entries run their commands.
    restart();
    std::vector<ObjectPtr> o{add(0, 0, 10), add(1, 0, 10)};
    select(o);
    ListedMenu group;
    service().insertGroupMenu(group);
    group.actions[0]();
    EXPECT_EQ(frames(scene()), "L0: 0..10[a]; L1: 0..10[a]");
    group.actions[1]();
    EXPECT_EQ(frames(scene()), "L0: 0..10; L1: 0..10");
    ListedMenu edit;
    service().insertEditMenu(edit);
    edit.actions[3]();
    EXPECT_EQ(frames(scene()), "");
}

}  // namespace
