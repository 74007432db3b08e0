// Feeds arbitrary bytes to the project file reader over a small catalogue of
// effects, checks the model it builds, writes it again and reads that back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <unistd.h>

#include "core/Exception.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "edit/EffectCatalog.h"
#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemFile.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemText.h"
#include "effect/ModelAccess.h"
#include "effect/MovementLookup.h"

namespace Effect::Access {
// The seams the model does not own; the reader never needs them to be real.
bool findSceneName(int32_t, std::wstring&) { return false; }
int32_t findSceneId(const std::wstring&) { return -1; }
std::string convertTrackValue(std::string_view value) { return std::string(value); }
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
    Effect::EffectItemFile file{&items, L"ファイル"};
    Effect::EffectItemInteger range{&items, L"対象レイヤー数", 0, 0, 100, Effect::EffectItem::kLayerRange};
};

class FuzzCatalog : public Edit::EffectCatalog {
public:
    FuzzCatalog() {
        for (const Codes& c : {Codes{L"画像ファイル", 1, 1, 1}, Codes{L"音声ファイル", 1, 2, 2}, Codes{L"標準描画", 2, 1, 1},
                               Codes{L"音声再生", 2, 2, 2}, Codes{L"ぼかし", 3, 1, 1}, Codes{L"反転", 3, 3, 3},
                               Codes{L"グループ制御", 4, 1, 1}, Codes{L"シーンチェンジ", 4, 1, 5}})
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

const std::string& scratch() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/velmo-fuzz-project-XXXXXX";
        if (const char* made = mkdtemp(pattern)) {
            scratchFolder() = made;
            std::atexit(removeScratch);
            setenv("XDG_DATA_HOME", made, 1);
            System::FileName::resetVariableList(System::utf8ToWide(scratchFolder() + "/velmo2"));
        }
        return scratchFolder().empty() ? std::string("/tmp") : scratchFolder();
    }();
    return folder;
}

// The invariants the reader promises for whatever it accepted.
void check(const Edit::Project& project) {
    for (const auto& [id, scene] : project.scenes) {
        if (scene->videoRate < 1 || scene->videoScale < 1 || scene->videoWidth < 1 || scene->videoWidth > 16384 ||
            scene->videoHeight < 1 || scene->videoHeight > 16384)
            std::abort();
        for (int32_t i = 0; i < scene->layerCount(); ++i) {
            const auto& objects = scene->getLayer(i).objects;
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
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzCatalog catalog;
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    Edit::Project::setErrorPoster([](const std::wstring&) {});
    const std::string input = scratch() + "/input.vpj2";
    if (FILE* f = std::fopen(input.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    Edit::Project project;
    try {
        project.loadProjectFile(System::utf8ToWide(input));
    } catch (const std::exception&) {
        project.clear();
        return 0;
    }
    check(project);
    const std::wstring output = System::utf8ToWide(scratch() + "/output.vpj2");
    try {
        project.saveProjectFile(output);
    } catch (const std::exception&) {
        project.clear();
        return 0;
    }
    Edit::Project again;
    // What the writer wrote reads back whole: the first read kept only sound values.
    if (!again.loadProjectFile(output))
        std::abort();
    check(again);
    again.clear();
    project.clear();
    return 0;
}
