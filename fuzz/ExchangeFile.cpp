// Feeds arbitrary bytes to the object exchange file import over a small
// catalogue of effects and the "OldScript" tables, checks the scene it builds,
// writes the project and reads that back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

#include "core/Exception.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "edit/EffectCatalog.h"
#include "edit/Group.h"
#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/ProjectConvert.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemText.h"
#include "effect/ModelAccess.h"
#include "effect/MovementLookup.h"

namespace Effect::Access {
// The seams the model does not own; the import never needs them to be real.
// The track value conversion is the model's own and is what is fuzzed.
bool findSceneName(int32_t, std::wstring&) { return false; }
int32_t findSceneId(const std::wstring&) { return -1; }
void renderBufferSize(const Media::RenderBuffer&, int32_t& width, int32_t& height) { width = height = 0; }
void fontFamilies(std::vector<std::wstring>& names, std::wstring& defaultName) { names.clear(), defaultName.clear(); }
void figureNames(std::vector<std::wstring>& names) { names.clear(); }
}  // namespace Effect::Access

namespace {

struct Codes {
    const wchar_t* name;
    uint8_t role, media, placement;
};

class FuzzEffect : public Effect::EffectBase {
public:
    explicit FuzzEffect(const Codes& c) : codes(c) {
        name = c.name;
        role = c.role;
        media = c.media;
        placement = c.placement;
        x.setMovement(*Effect::findBuiltinMovement(L"直線移動"));
    }
    std::shared_ptr<Effect::EffectBase> createInstance() const override { return std::make_shared<FuzzEffect>(codes); }
    Effect::EffectItemInteger* getLayerRange() override { return role == kControl ? &range : nullptr; }

    Codes codes;
    Effect::EffectItemNumber x{&items, L"X", 0, -10000, 10000, 0.1};
    Effect::EffectItemNumber zoom{&items, L"拡大率", 100, 0, 5000, 0.01};
    Effect::EffectItemText text{&items, L"テキスト"};
    Effect::EffectItemInteger range{&items, L"対象レイヤー数", 0, 0, 100, Effect::EffectItem::kLayerRange};
};

class FuzzCatalog : public Edit::EffectCatalog {
public:
    FuzzCatalog() {
        for (const Codes& c : {Codes{L"画像ファイル", 1, 1, 1}, Codes{L"音声ファイル", 1, 2, 2}, Codes{L"標準描画", 2, 1, 1},
                               Codes{L"音声再生", 2, 2, 2}, Codes{L"ぼかし", 3, 1, 1}, Codes{L"反転", 3, 3, 3},
                               Codes{L"カメラ効果", 3, 4, 4}, Codes{L"グループ制御", 4, 1, 1},
                               Codes{L"シーンチェンジ", 4, 1, 5}})
            effects_.emplace(c.name, std::make_unique<FuzzEffect>(c));
        setCurrent(this);
    }
    const Effect::EffectBase& findEffect(const std::wstring& name) const override {
        auto it = effects_.find(name);
        if (it == effects_.end())
            throw System::messageException("Effect::EffectService::findEffect", "not found effect.");
        return *it->second;
    }
    const Effect::EffectBase& getOutputEffect(const Effect::EffectBase& input) const override {
        if (input.role == 1 && input.media == 1)
            return findEffect(L"標準描画");
        if (input.role == 1 && input.media == 2)
            return findEffect(L"音声再生");
        throw System::messageException("Effect::EffectService::getOutputEffect", "invalid input effect type.");
    }
    const Effect::EffectBase* getPairedInputEffect(const Effect::EffectBase&) const override { return nullptr; }

private:
    std::map<std::wstring, std::unique_ptr<FuzzEffect>> effects_;
};

std::string& scratchFolder() {
    static std::string folder;
    return folder;
}

void removeScratch() {
    if (scratchFolder().empty())
        return;
    std::system(("rm -rf '" + scratchFolder() + "'").c_str());
}

// The scratch folder is also the installation folder: its "effect.conf"
// holds the name tables the import reads.
const std::string& scratch() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/velmo-fuzz-exchange-XXXXXX";
        if (const char* made = mkdtemp(pattern)) {
            scratchFolder() = made;
            std::atexit(removeScratch);
            setenv("XDG_DATA_HOME", made, 1);
            System::FileName::resetVariableList(System::utf8ToWide(scratchFolder() + "/velmo2"));
            if (FILE* f = std::fopen((scratchFolder() + "/effect.conf").c_str(), "wb")) {
                std::fputs("[OldScript]\nold=ぼかし\n[OldScript.カスタムオブジェクト]\n3=画像ファイル\n"
                           "[OldScript.アニメーション効果]\n1=反転\n[OldScript.カメラ効果]\n1=カメラ効果\n"
                           "[OldScript.trackmode]\n1=直線移動\n2=瞬間移動\n3=\nSingleSection=2\n",
                           f);
                std::fclose(f);
            }
        }
        return scratchFolder().empty() ? std::string("/tmp") : scratchFolder();
    }();
    return folder;
}

// The invariants the import promises for whatever it accepted.
void check(const Edit::Scene& scene) {
    if (scene.videoRate < 1 || scene.videoScale < 1 || scene.videoWidth < 1 || scene.videoWidth > 16384 ||
        scene.videoHeight < 1 || scene.videoHeight > 16384 || scene.audioRate < 1)
        std::abort();
    for (int32_t i = 0; i < scene.layerCount(); ++i) {
        const auto& objects = scene.getLayer(i).objects;
        for (size_t k = 0; k < objects.size(); ++k) {
            const auto& o = *objects[k];
            if (o.layer != i || o.start < 0 || o.end < o.start || (k > 0 && objects[k - 1]->end >= o.start) ||
                o.effects.empty())
                std::abort();
            if (o.group)
                for (const Edit::Object* member : o.group->members)
                    if (member->layer < 0)
                        std::abort();  // a group holding an object off the model
            const auto& head = *o.effects.front();
            if (head.role == Effect::EffectBase::kInput &&
                (o.effects.size() < 2 || o.effects[1]->role != Effect::EffectBase::kOutput))
                std::abort();
            for (size_t e = 1; e < o.effects.size(); ++e)
                if (!Edit::EffectManager::fitsMedia(head.placement, o.effects[e]->media))
                    std::abort();
            int32_t last = 0;
            for (int32_t m : o.midpoints) {
                if (m <= last || m > o.end - o.start)
                    std::abort();
                last = m;
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzCatalog catalog;
    const std::string input = scratch() + "/input.kto";
    static System::ServiceHolder<Setting::SettingService> settings;
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    Edit::Project::setErrorPoster([](const std::wstring&) {});
    if (FILE* f = std::fopen(input.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    Edit::Project project;
    project.getOrCreateScene(0);
    if (!Edit::ProjectConvert::importSceneFromKto(project, System::utf8ToWide(input))) {
        if (project.scenes.size() != 1 || project.displayScene != 0)
            std::abort();  // a failed import leaves the project as it was
        project.clear();
        return 0;
    }
    const auto scene = project.getScene(project.displayScene);
    if (!scene || scene->id == 0)
        std::abort();
    check(*scene);
    const std::wstring output = System::utf8ToWide(scratch() + "/output.vpj2");
    try {
        project.saveProjectFile(output);
    } catch (const std::exception&) {
        project.clear();
        return 0;
    }
    Edit::Project again;
    // What was imported is written in a form that reads back whole.
    if (!again.loadProjectFile(output))
        std::abort();
    again.clear();
    project.clear();
    return 0;
}
