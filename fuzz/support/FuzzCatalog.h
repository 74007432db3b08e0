#pragma once
// The edit model's fuzz targets share a small catalogue of effects, the
// model queries they install, and the invariants of every scene read.
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "core/TextConvert.h"
#include "edit/EffectCatalog.h"
#include "edit/Group.h"
#include "edit/Layer.h"
#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemFile.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemText.h"
#include "edit/ProjectQueries.h"
#include "effect/ModelQueries.h"
#include "effect/MovementLookup.h"

namespace FuzzSupport {
// The model's own answers, installed at start-up as the program does. No
// project is open: no scene names, and no fonts or figures.
inline Edit::ProjectQueries gModelQueries;
inline const Effect::ModelQueriesScope gModelQueriesInstalled{gModelQueries};
}  // namespace FuzzSupport

namespace FuzzSupport {

struct Codes {
    const wchar_t* name;
    uint8_t role, media, placement;
};

class FuzzEffect : public Effect::EffectBase {
public:
    FuzzEffect(const Codes& c, bool withFile) : codes(c), withFile(withFile) {
        name = c.name;
        role = c.role;
        media = c.media;
        placement = c.placement;
        x.setMovement(*Effect::findBuiltinMovement(L"直線移動"));
    }
    std::shared_ptr<Effect::EffectBase> createInstance() const override {
        return std::make_shared<FuzzEffect>(codes, withFile);
    }
    Effect::EffectItemInteger* getLayerRange() override { return role == kControl ? &range : nullptr; }

    Codes codes;
    bool withFile;
    Effect::EffectItemNumber x{&items, L"X", 0, -10000, 10000, 0.1};
    Effect::EffectItemNumber zoom{&items, L"拡大率", 100, 0, 5000, 0.01};
    Effect::EffectItemText text{&items, L"テキスト"};
    std::unique_ptr<Effect::EffectItemFile> file =
        withFile ? std::make_unique<Effect::EffectItemFile>(&items, L"ファイル") : nullptr;
    Effect::EffectItemInteger range{&items, L"対象レイヤー数", 0, 0, 100, Effect::EffectItem::kLayerRange};
};

// The given effects, each with a file item when withFile; becomes the current catalogue.
class FuzzCatalog : public Edit::EffectCatalog {
public:
    FuzzCatalog(std::initializer_list<Codes> codes, bool withFile) {
        for (const Codes& c : codes) effects_.emplace(c.name, std::make_unique<FuzzEffect>(c, withFile));
        setCurrent(this);
    }
    const Effect::EffectBase& findEffect(const std::wstring& name) const override {
        auto it = effects_.find(name);
        if (it == effects_.end())
            throw System::messageException("Effect::EffectService::findEffect", "not found effect.");
        return *it->second;
    }
    const Effect::EffectBase& getOutputEffect(const Effect::EffectBase& input) const override {
        if (input.role == 1 && input.media == 1) return findEffect(L"標準描画");
        if (input.role == 1 && input.media == 2) return findEffect(L"音声再生");
        throw System::messageException("Effect::EffectService::getOutputEffect", "invalid input effect type.");
    }
    const Effect::EffectBase* getPairedInputEffect(const Effect::EffectBase&) const override { return nullptr; }

private:
    std::map<std::wstring, std::unique_ptr<FuzzEffect>> effects_;
};

// The invariants every reader promises for a scene it accepted.
inline void checkScene(const Edit::Scene& scene) {
    if (scene.videoRate < 1 || scene.videoScale < 1 || scene.videoWidth < 1 || scene.videoWidth > 16384 ||
        scene.videoHeight < 1 || scene.videoHeight > 16384)
        std::abort();
    for (int32_t i = 0; i < scene.layerCount(); ++i) {
        const auto& objects = scene.getLayer(i).objects;
        for (size_t k = 0; k < objects.size(); ++k) {
            const auto& o = *objects[k];
            if (o.layer != i || o.end < o.start || (k > 0 && objects[k - 1]->end >= o.start) || o.effects.empty())
                std::abort();
            // The chain has one of its shapes: an input has its output
            // next, and every effect fits the head (or the object would
            // not read back).
            const auto& head = *o.effects.front();
            if (head.role == Effect::EffectBase::kInput &&
                (o.effects.size() < 2 || o.effects[1]->role != Effect::EffectBase::kOutput))
                std::abort();
            for (size_t e = 1; e < o.effects.size(); ++e)
                if (!Edit::EffectManager::fitsMedia(head.placement, o.effects[e]->media)) std::abort();
            int32_t last = 0;
            for (int32_t m : o.midpoints) {
                if (m <= last || m > o.end - o.start) std::abort();
                last = m;
            }
        }
    }
}

// Everything of a project that its file holds, as text: two projects that
// describe alike read the same. Groups are numbered in writing order, as the
// writer numbers them; layers count up to the highest one holding an object.
inline std::string describeProject(const Edit::Project& project) {
    std::string out =
        "path " + System::wideToUtf8(project.path) + "\nshown " + std::to_string(project.displayScene) + "\n";
    std::map<const Edit::Group*, int> groups;
    std::map<int32_t, std::shared_ptr<Edit::Scene>> byId(project.scenes.begin(), project.scenes.end());
    for (const auto& scene : project.getSceneList()) {
        const Edit::Scene& s = *scene;
        out += "scene " + std::to_string(s.id) + " [" + System::wideToUtf8(s.name) + "] " +
               std::to_string(s.videoWidth) + "x" + std::to_string(s.videoHeight) + " " + std::to_string(s.videoRate) +
               "/" + std::to_string(s.videoScale) + " " + std::to_string(s.audioRate) + " " +
               std::to_string(s.cursorFrame) + " " + std::to_string(s.displayFrame) + " " +
               std::to_string(s.displayLayer) + " " + std::to_string(s.displayZoom.value) + " " +
               std::to_string(s.displayOrder) + " camera " + s.camera.toString() + "\n";
        for (int32_t i = 0; i <= s.lastUsedLayer; ++i) {
            const auto& slot = s.getLayer(i);
            out += " layer " + std::to_string(i) + " [" + System::wideToUtf8(slot.layer->name) + "]" +
                   (slot.layer->lock ? " lock" : "") + (slot.layer->hide ? " hide" : "") + "\n";
            for (const auto& o : slot.objects) {
                out += "  " + std::to_string(o->start) + ".." + std::to_string(o->end) + " {";
                for (int32_t m : o->midpoints) out += std::to_string(m) + " ";
                out += "}";
                if (!o->camera) out += " nocamera";
                if (o->clipping) out += " clip";
                if (o->group)
                    out += " group" +
                           std::to_string(groups.try_emplace(o->group.get(), int(groups.size()) + 1).first->second);
                if (s.focusObject == o) out += " focus";
                out += "\n";
                for (const auto& e : o->effects) {
                    out += "   " + System::wideToUtf8(e->name) + (e->disabled ? " off" : "") +
                           (e->hidden ? " hide" : "") + (e->locked ? " lock" : "") + ":";
                    for (const auto* item : e->items)
                        out += " [" + System::wideToUtf8(item->name) + "=" + item->toString() + "]";
                    out += "\n";
                }
            }
        }
    }
    return out;
}

// Writes the project into folder and reads that back, which must succeed;
// checkAgain then sees what was read. A project the writer refuses is let go.
template <class Check>
void saveAndReadBack(Edit::Project& project, const std::string& folder, Check checkAgain) {
    const std::wstring output = System::utf8ToWide(folder + "/output.vpj2");
    try {
        project.saveProjectFile(output);
    } catch (const std::exception&) {
        project.clear();
        return;
    }
    Edit::Project again;
    if (!again.loadProjectFile(output)) std::abort();
    checkAgain(again);
    again.clear();
    project.clear();
}

}  // namespace FuzzSupport
