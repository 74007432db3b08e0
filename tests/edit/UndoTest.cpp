#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "edit/ColorSettingUndoUpdate.h"
#include "edit/EffectUndoUpdate.h"
#include "edit/UndoItemTemplate.h"
#include "edit/support/EditHarness.h"
#include "edit/support/ModelFixture.h"
#include "support/LogCapture.h"

using namespace EditTest;
using Edit::Object;

namespace {

class UndoTest : public testing::Test {
protected:
    EditHarness h;
    Undo::UndoService& undo = h.undo();

    // One editing operation: its own scope, record and flags, as the commands do it.
    template <class F>
    void edit(F&& change) {
        auto scope = h.open();
        undo.openRecord(*scope);
        change(*scope, *scope->scene);
    }
    std::shared_ptr<Object> create(int32_t layer, int32_t start, int32_t end) {
        std::shared_ptr<Object> o;
        edit([&](Edit::UpdateSection& s, Edit::Scene& scene) {
            s.layersChanged = s.objectChanged = true;
            o = scene.createObject(kImage, layer, start, end);
            undo.addObjectUndoCreate(o);
        });
        return o;
    }
    void remove(const std::shared_ptr<Object>& o) {
        edit([&](Edit::UpdateSection& s, Edit::Scene& scene) {
            s.layersChanged = s.objectChanged = true;
            undo.addObjectUndoDelete(o);
            scene.layers[static_cast<size_t>(o->layer)]->needsCompaction = true;
            o->layer = -1;
        });
    }
    std::string state() {
        EXPECT_EQ(checkScene(*h.scene()), "");
        return describe(*h.scene());
    }
    Undo::UndoHistory& history() { return *undo.history(); }
};

TEST_F(UndoTest, EditsUndoAndRedoExactly) {
    std::vector<std::string> states{state()};
    auto a = create(0, 0, 30);
    states.push_back(state());
    edit([&](Edit::UpdateSection& s, Edit::Scene& scene) {  // move to layer 2, frames +5
        s.layersChanged = s.objectChanged = true;
        undo.addObjectUndoUpdate(a);
        a->start += 5;
        a->end += 5;
        scene.moveObjectToLayer(a, 2);
    });
    states.push_back(state());
    edit([&](Edit::UpdateSection& s, Edit::Scene&) {  // midpoints, with their keys
        s.sectionsChanged = s.objectChanged = true;
        undo.addObjectUndoSection(a);
        a->addSection(15);
        a->addSection(25);
    });
    states.push_back(state());
    std::shared_ptr<Object> first, second;
    edit([&](Edit::UpdateSection& s, Edit::Scene& scene) {  // split at 20
        s.layersChanged = s.objectChanged = true;
        first = std::make_shared<Object>(-1, 0, 0);
        second = std::make_shared<Object>(-1, 0, 0);
        ASSERT_TRUE(a->split(20, first, second, scene));
        for (const auto& part : {first, second}) {
            scene.moveObjectToLayer(part, a->layer);
            undo.addObjectUndoCreate(part);
        }
        auto group = std::make_shared<Edit::Group>();
        for (const auto& part : {first, second}) {
            undo.addObjectUndoGroup(part);
            part->setGroup(group);
        }
        undo.addObjectUndoDelete(a);
        scene.layers[2]->needsCompaction = true;
        a->layer = -1;
    });
    states.push_back(state());
    edit([&](Edit::UpdateSection& s, Edit::Scene&) {  // change values and flags
        s.effectStateChanged = s.objectChanged = true;
        undo.addEffectUndoUpdate(second->effects[0]);
        xItem(second->effects[0]).values[0] = 777;
        static_cast<TestEffect&>(*second->effects[0]).text->text = L"こんにちは";
        second->effects[0]->disabled = 1;
        undo.addObjectUndoFlag(second);
        second->clipping = true;
    });
    states.push_back(state());
    remove(first);
    states.push_back(state());
    EXPECT_EQ(history().records.size(), 6u);
    EXPECT_TRUE(undo.modified);
    EXPECT_FALSE(undo.recording);

    for (size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(undo.canUndo());
        undo.undo();
        EXPECT_EQ(state(), states[i - 1]) << "undo to step " << i - 1;
    }
    EXPECT_FALSE(undo.canUndo());
    undo.undo();  // nothing left: no change
    EXPECT_EQ(state(), states[0]);
    for (size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(undo.canRedo());
        undo.redo();
        EXPECT_EQ(state(), states[i]) << "redo to step " << i;
    }
    EXPECT_FALSE(undo.canRedo());
}

TEST_F(UndoTest, EmptyRecordKeepsHistoryAndRedo) {
    auto a = create(0, 0, 9);
    create(1, 0, 9);
    undo.undo();
    undo.modified = false;
    edit([&](Edit::UpdateSection&, Edit::Scene&) {
        undo.addObjectUndoFlag(a);
        a->camera = true;  // already on
        undo.addObjectUndoUpdate(a);
    });
    EXPECT_EQ(history().records.size(), 2u);
    EXPECT_EQ(history().undone, 1u);
    EXPECT_FALSE(undo.modified);
    EXPECT_TRUE(undo.canRedo());
    EXPECT_FALSE(undo.recording);
}

TEST_F(UndoTest, NewEditDiscardsRedo) {
    create(0, 0, 9);
    create(0, 10, 19);
    create(0, 20, 29);
    undo.undo();
    undo.undo();
    create(1, 0, 9);
    EXPECT_EQ(history().records.size(), 2u);
    EXPECT_EQ(history().undone, 0u);
    EXPECT_FALSE(undo.canRedo());
    EXPECT_EQ(h.scene()->getLayer(0).objects.size(), 1u);
}

TEST_F(UndoTest, UndoMaxLimitsTheHistory) {
    for (int32_t max : {1, 0, -3}) {
        undo.setUndoMax(max);
        undo.modified = false;
        create(max + 5, 0, 9);
        create(max + 5, 10, 19);
        EXPECT_EQ(history().records.size(), max > 0 ? 1u : 0u) << max;
        EXPECT_TRUE(undo.modified);
    }
}

TEST_F(UndoTest, ScenesKeepTheirOwnHistories) {
    create(0, 0, 9);
    h.project.getOrCreateScene(1);
    h.setCurrentScene(1);
    EXPECT_FALSE(undo.canUndo());
    create(0, 0, 9);
    create(0, 10, 19);
    undo.undo();
    h.setCurrentScene(0);
    EXPECT_EQ(history().records.size(), 1u);
    EXPECT_EQ(history().undone, 0u);
    h.setCurrentScene(1);
    EXPECT_EQ(history().records.size(), 2u);
    EXPECT_EQ(history().undone, 1u);
}

TEST_F(UndoTest, LayerItemsRestoreNamesMovesInsertsAndDeletes) {
    create(0, 0, 9);
    create(1, 0, 9);
    create(2, 0, 9);
    const std::string start = state();
    edit([&](Edit::UpdateSection& s, Edit::Scene& scene) {
        s.objectChanged = s.layerChanged = true;
        auto layer = scene.getLayer(1).layer;
        undo.addLayerUndoUpdate(layer);
        layer->name = L"背景";
        layer->lock = true;
    });
    const std::string named = state();
    edit([&](Edit::UpdateSection& s, Edit::Scene& scene) {
        s.layersChanged = s.objectChanged = s.layerChanged = true;
        undo.addLayerUndoMove(scene.getLayer(0).layer);
        scene.moveLayer(0, 2);
    });
    const std::string moved = state();
    edit([&](Edit::UpdateSection& s, Edit::Scene& scene) {  // delete layer 1 with its object
        s.layersChanged = s.objectChanged = s.layerChanged = true;
        for (const auto& o : scene.getLayer(1).objects) undo.addObjectUndoDelete(o);
        auto layer = scene.getLayer(1).layer;
        undo.addLayerUndoDelete(layer);
        scene.deleteLayer(1);
    });
    const std::string deleted = state();
    edit([&](Edit::UpdateSection& s, Edit::Scene& scene) {
        s.layersChanged = s.objectChanged = s.layerChanged = true;
        undo.addLayerUndoInsert(scene.insertLayer(0));
    });
    const std::string inserted = state();
    const std::vector<std::string> states{start, named, moved, deleted, inserted};
    for (size_t i = states.size() - 1; i > 0; --i) {
        undo.undo();
        EXPECT_EQ(state(), states[i - 1]) << i - 1;
    }
    for (size_t i = 1; i < states.size(); ++i) {
        undo.redo();
        EXPECT_EQ(state(), states[i]) << i;
    }
}

TEST_F(UndoTest, LayerInsertsAndDeletesAmongNamedEmptyLayers) {
    create(0, 0, 9);
    create(1, 0, 9);
    edit([&](Edit::UpdateSection& s, Edit::Scene& scene) {  // layers 2 and 3 named, still empty
        s.objectChanged = s.layerChanged = true;
        scene.reserveLayer(3);
        for (int32_t i : {2, 3}) {
            auto layer = scene.getLayer(i).layer;
            undo.addLayerUndoUpdate(layer);
            layer->name = i == 2 ? L"背景" : L"前景";
        }
    });
    const std::string named = state();
    const auto deleteLayer = [&](int32_t index) {
        edit([&](Edit::UpdateSection& s, Edit::Scene& scene) {
            s.layersChanged = s.objectChanged = s.layerChanged = true;
            for (const auto& o : scene.getLayer(index).objects) undo.addObjectUndoDelete(o);
            undo.addLayerUndoDelete(scene.getLayer(index).layer);
            scene.deleteLayer(index);
        });
    };
    const auto insertLayer = [&](int32_t index) {
        edit([&](Edit::UpdateSection& s, Edit::Scene& scene) {
            s.layersChanged = s.objectChanged = s.layerChanged = true;
            undo.addLayerUndoInsert(scene.insertLayer(index));
        });
    };
    for (const auto& op :
         std::vector<std::function<void()>>{[&] { deleteLayer(3); }, [&] { deleteLayer(2); }, [&] { deleteLayer(0); },
                                            [&] { insertLayer(0); }, [&] { insertLayer(3); }}) {
        op();
        const std::string changed = state();
        undo.undo();
        EXPECT_EQ(state(), named);
        undo.redo();
        EXPECT_EQ(state(), changed);
        undo.undo();
    }
}

TEST_F(UndoTest, ChainAndLayerRangeItems) {
    auto image = create(0, 0, 9);
    std::shared_ptr<Object> control;
    edit([&](Edit::UpdateSection& s, Edit::Scene& scene) {
        s.layersChanged = s.objectChanged = true;
        control = scene.createObject(kGroup, 1, 0, 30);
        undo.addObjectUndoCreate(control);
    });
    const std::string before = state();
    edit([&](Edit::UpdateSection& s, Edit::Scene&) {
        s.effectsChanged = s.objectChanged = true;
        undo.addObjectUndoEffect(image);
        image->addEffect(kBlur);
        image->addEffect(kNote, image->effects[1].get());
    });
    const std::string added = state();
    edit([&](Edit::UpdateSection& s, Edit::Scene& scene) {
        s.layersChanged = s.effectsChanged = s.objectChanged = true;
        undo.addObjectUndoLayerRange(control);
        control->effects[0]->getLayerRange()->value = 3;
        scene.layers[1]->rangesDirty = true;
    });
    const std::string ranged = state();
    EXPECT_EQ(h.scene()->getLayer(1).controlRanges.front().layerCount, 3);
    undo.undo();
    EXPECT_EQ(state(), added);
    EXPECT_EQ(h.scene()->getLayer(1).controlRanges.front().layerCount, Edit::SceneLayer::kAllLayers);
    undo.undo();
    EXPECT_EQ(state(), before);
    undo.redo();
    undo.redo();
    EXPECT_EQ(state(), ranged);
    EXPECT_EQ(h.scene()->getLayer(1).controlRanges.front().layerCount, 3);
}

TEST_F(UndoTest, ChainUndoRestoresTheLayerRangeControlFlag) {
    // A scene change replaced by a group control, then undone: the object is
    // no layer-range control any more, and rebuilding the layer's control
    // ranges never asks the scene change for a layer range.
    std::shared_ptr<Object> o;
    edit([&](Edit::UpdateSection& s, Edit::Scene& scene) {
        s.layersChanged = s.objectChanged = true;
        o = scene.createObject(kSceneChange, 1, 0, 30);
        undo.addObjectUndoCreate(o);
    });
    const std::string before = state();
    edit([&](Edit::UpdateSection& s, Edit::Scene& scene) {
        s.layersChanged = s.effectsChanged = s.objectChanged = true;
        undo.addObjectUndoEffect(o);
        o->addEffect(kGroup);
        scene.layers[1]->rangesDirty = true;
    });
    const std::string replaced = state();
    ASSERT_TRUE(o->layerRangeControl);
    ASSERT_EQ(h.scene()->getLayer(1).controlRanges.size(), 1u);

    undo.undo();
    EXPECT_FALSE(o->layerRangeControl);
    EXPECT_EQ(state(), before);
    EXPECT_TRUE(h.scene()->getLayer(1).controlRanges.empty());
    {
        auto scope = h.open();  // the slot's ranges are rebuilt
        scope->layersChanged = true;
        scope->scene->layers[1]->rangesDirty = true;
    }
    EXPECT_TRUE(h.scene()->getLayer(1).controlRanges.empty());

    undo.redo();
    EXPECT_TRUE(o->layerRangeControl);
    EXPECT_EQ(state(), replaced);
    EXPECT_EQ(h.scene()->getLayer(1).controlRanges.size(), 1u);
}

TEST_F(UndoTest, TextRecordsAndTheirItem) {
    auto a = create(0, 0, 9);
    auto& effect = static_cast<TestEffect&>(*a->effects[0]);
    effect.text->text = L"abcdefgh";
    auto typing = [&](bool alsoFlag, bool alsoOther) {
        edit([&](Edit::UpdateSection&, Edit::Scene&) {
            undo.addEffectUndoUpdate(a->effects[0]);
            if (alsoOther) undo.addEffectUndoUpdate(a->effects[1]);
            effect.text->text.insert(4, L"XY");
            if (alsoFlag) effect.disabled = !effect.disabled;
            if (alsoOther) xItem(a->effects[1]).values[0] = 50;
        });
    };
    typing(false, false);
    const auto& record = history().records.front();
    EXPECT_TRUE(Undo::UndoService::isOnlyEffectItemRecord(record, *effect.text));
    EXPECT_FALSE(Undo::UndoService::isOnlyEffectItemRecord(record, *effect.x));
    // Only the typed middle is kept.
    using Item = Undo::UndoItemTemplate<Effect::EffectBase, Effect::EffectUndoUpdate>;
    const auto& kept = static_cast<const Item&>(*record.items.front());
    const auto* after = dynamic_cast<const Effect::EffectItemText*>(kept.after.items[3].get());
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->text, L"XY");

    undo.undoText(*effect.x);  // another item: nothing
    EXPECT_EQ(history().undone, 0u);
    undo.undoText(*effect.text);
    EXPECT_EQ(history().undone, 1u);
    EXPECT_EQ(effect.text->text, L"abcdefgh");
    undo.redoText(*effect.x);
    EXPECT_EQ(history().undone, 1u);
    undo.redoText(*effect.text);
    EXPECT_EQ(effect.text->text, L"abcdXYefgh");

    typing(true, false);
    EXPECT_TRUE(Undo::UndoService::isOnlyEffectItemRecord(history().records.front(), *effect.text));
    typing(false, true);
    EXPECT_FALSE(Undo::UndoService::isOnlyEffectItemRecord(history().records.front(), *effect.text));
}

TEST_F(UndoTest, WithoutAnEditScopeThePositionStaysAndTheFailureIsLogged) {
    auto a = create(0, 0, 9);
    auto& effect = static_cast<TestEffect&>(*a->effects[0]);
    edit([&](Edit::UpdateSection&, Edit::Scene&) {
        undo.addEffectUndoUpdate(a->effects[0]);
        effect.text->text = L"typed";
    });
    const struct {
        const char* name;
        Undo::UndoService::SectionOpener opener;
    } openers[] = {
        {"no opener", nullptr},
        {"an opener that opens none", [] { return std::unique_ptr<Edit::UpdateSection>(); }},
    };
    const struct {
        const char* name;
        size_t undoneBefore;
        std::function<bool()> step;
        const char* logScope;
    } steps[] = {
        {"undo", 0, [&] { return undo.undo(); }, "Undo::UndoService::undo"},
        {"redo", 1, [&] { return undo.redo(); }, "Undo::UndoService::redo"},
        {"undoText", 0, [&] { return undo.undoText(*effect.text); }, "Undo::UndoService::undoText"},
        {"redoText", 1, [&] { return undo.redoText(*effect.text); }, "Undo::UndoService::redoText"},
    };
    for (const auto& step : steps) {
        while (history().undone < step.undoneBefore) ASSERT_TRUE(undo.undo());
        while (history().undone > step.undoneBefore) ASSERT_TRUE(undo.redo());
        const std::string before = state();
        for (const auto& opener : openers) {
            SCOPED_TRACE(std::string(step.name) + " with " + opener.name);
            undo.setSectionOpener(opener.opener);
            LogCapture log;
            EXPECT_FALSE(step.step());
            EXPECT_EQ(history().undone, step.undoneBefore);
            EXPECT_EQ(state(), before);
            ASSERT_FALSE(log.lines.empty());
            EXPECT_EQ(log.lines.back().level, "ERROR");
            EXPECT_EQ(log.lines.back().scope, step.logScope);
        }
        undo.setSectionOpener([this] { return h.open(); });
        EXPECT_TRUE(step.step()) << step.name;  // the same step goes through once a scope opens
        EXPECT_NE(history().undone, step.undoneBefore);
        EXPECT_NE(state(), before);
    }
}

TEST_F(UndoTest, RecordingFlagDoesNotOutliveItsRecord) {
    auto a = create(0, 0, 9);
    // A scope left by an exception still commits what was recorded.
    EXPECT_THROW(edit([&](Edit::UpdateSection& s, Edit::Scene&) {
                     s.objectChanged = true;
                     undo.addObjectUndoFlag(a);
                     a->clipping = true;
                     throw std::runtime_error("stop");
                 }),
                 std::runtime_error);
    EXPECT_FALSE(undo.recording);
    EXPECT_EQ(history().records.size(), 2u);

    // A record opened for an operation over several scopes and then given up.
    {
        auto scope = h.open();
        undo.openRecord(*scope);
        scope->undoOpen = false;  // the drag commits itself at its end
        undo.addObjectUndoFlag(a);
    }
    EXPECT_TRUE(undo.recording);
    undo.abandonRecord();
    EXPECT_FALSE(undo.recording);
    EXPECT_TRUE(undo.pending().empty());
    EXPECT_EQ(history().records.size(), 2u);
}

TEST_F(UndoTest, EffectStateCountMismatchThrows) {
    auto a = create(0, 0, 9);
    auto item = std::make_unique<Undo::UndoItemTemplate<Effect::EffectBase, Effect::EffectUndoUpdate>>(a->effects[0]);
    item->captureBefore();
    item->before.items.pop_back();
    EXPECT_EQ(thrownText([&] { item->commit(); }), "different number of items. @ Effect::EffectUndoUpdate::commit");
    auto scope = h.open();
    EXPECT_EQ(thrownText([&] { item->undo(*scope); }),
              "different number of items. @ Effect::EffectUndoUpdate::restore");
}

}  // namespace

namespace {

// The colour setting panel's two colours, as its undo item sees them.
struct PreviewColours : Component::ColorSettingColors {};

}  // namespace

TEST_F(UndoTest, ColourSettingItemsKeepOnlyChangesAndRestoreBothColours) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        Media::ColorRgba color, oldColor;  // after the change; before it both are (0.2, 0.4, 0.6, 1)
        bool recorded;
    };
    const Case cases[] = {
        {"nothing changed", {0.2f, 0.4f, 0.6f, 1}, {0.2f, 0.4f, 0.6f, 1}, false},
        {"the colour's red", {0.3f, 0.4f, 0.6f, 1}, {0.2f, 0.4f, 0.6f, 1}, true},
        {"the colour's alpha", {0.2f, 0.4f, 0.6f, 0.5f}, {0.2f, 0.4f, 0.6f, 1}, true},
        {"the old colour's blue", {0.2f, 0.4f, 0.6f, 1}, {0.2f, 0.4f, 0.7f, 1}, true},
        {"a step below one byte", {0.2f, 0.4f, 0.6001f, 1}, {0.2f, 0.4f, 0.6f, 1}, true},
        {"a NaN", {nan, 0.4f, 0.6f, 1}, {0.2f, 0.4f, 0.6f, 1}, true},
    };
    PreviewColours panel;  // outlives the records that point to it
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        panel.color = panel.oldColor = {0.2f, 0.4f, 0.6f, 1};
        const size_t before = history().records.size();
        edit([&](Edit::UpdateSection&, Edit::Scene&) {
            undo.addColorSettingUndoUpdate(panel);
            panel.color = c.color;
            panel.oldColor = c.oldColor;
        });
        ASSERT_EQ(history().records.size(), before + (c.recorded ? 1 : 0));
        if (!c.recorded) continue;
        ASSERT_TRUE(undo.undo());
        EXPECT_EQ(panel.color.r, 0.2f);
        EXPECT_EQ(panel.color.a, 1.0f);
        EXPECT_EQ(panel.oldColor.b, 0.6f);
        ASSERT_TRUE(undo.redo());
        EXPECT_EQ(panel.oldColor.b, c.oldColor.b);
        EXPECT_EQ(panel.color.a, c.color.a);
    }
}
