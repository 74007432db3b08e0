#include "effect/EffectItemMaskSelect.h"

#include "core/FileName.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"
#include "effect/EffectItemFigureSelect.h"
#include "effect/EffectItemCheck.h"
#include "effect/ModelQueries.h"
#include "effect/RenderContext.h"

namespace Effect {

EffectItemMaskSelect::EffectItemMaskSelect(ItemList* list, std::wstring name, EffectItemCheck* fitScene)
    : EffectItem(list, kMask, std::move(name)), options(&EffectItemFigureSelect::getFigureList()), fitScene(fitScene) {}

void EffectItemMaskSelect::copyFrom(const EffectItem& other) {
    const auto& o = static_cast<const EffectItemMaskSelect&>(other);
    index = o.index;
    sceneId = o.sceneId;
    path = o.path;
}

bool EffectItemMaskSelect::equals(const EffectItem& other) const {
    const auto& o = static_cast<const EffectItemMaskSelect&>(other);
    return index == o.index && sceneId == o.sceneId && path == o.path;
}

std::unique_ptr<EffectItem> EffectItemMaskSelect::clone() const {
    return std::make_unique<EffectItemMaskSelect>(*this);
}

std::string EffectItemMaskSelect::toString() const {
    if (sceneId >= 0) {
        std::wstring sceneName;
        modelQueries().findSceneName(sceneId, sceneName);
        return System::wideToUtf8(sceneName);
    }
    if (index >= 0) return System::wideToUtf8(options->nameOf(index));
    return System::wideToUtf8(path);
}

void EffectItemMaskSelect::fromString(std::string_view text) {
    const std::wstring value = System::utf8ToWide(text);
    if (options->contains(value)) {
        index = options->indexOf(value);
        sceneId = -1;
        path.clear();
        return;
    }
    if (const int32_t id = value.empty() ? -1 : modelQueries().findSceneId(value); id >= 0) {
        sceneId = id;
        index = -1;
        path.clear();
        return;
    }
    if (value.find(L'.') != std::wstring::npos || (!value.empty() && value[0] == L'*'))
        EffectItemMaskSelect::setFilePath(value);
}

bool EffectItemMaskSelect::getFilePath(std::wstring& out) const {
    out = path;
    return true;
}

void EffectItemMaskSelect::setFilePath(const std::wstring& value) {
    if (value.empty()) return;
    path = value;
    System::FileName::expandVariable(path);
    System::replaceLineBreaks(path);  // kept on one line of the project file
    index = -1;
    sceneId = -1;
}

void EffectItemMaskSelect::setListValue(int32_t value) {
    path.clear();
    sceneId = -1;
    index = options->listedOrFirst(value);
}

void EffectItemMaskSelect::setSceneValue(int32_t id) {
    path.clear();
    std::wstring sceneName;
    if (modelQueries().findSceneName(id, sceneName)) {
        sceneId = id;
        index = -1;
    } else {
        sceneId = -1;
        index = options->firstIndex();
    }
}

double EffectItemMaskSelect::maskSeconds(const Render::RenderContext& context) const {
    if (!context.object) return 0;
    const ModelQueries& model = modelQueries();
    double rate = 30, scale = 1;
    if (context.scene) {
        const int32_t r = model.sceneRate(*context.scene), s = model.sceneScale(*context.scene);
        if (r > 0 && s > 0) rate = r, scale = s;
    }
    const int32_t start = model.objectStart(*context.object), end = model.objectEnd(*context.object);
    double t = (context.frame - start) * scale / rate;
    double sceneLength;
    const MaskImageSource* source = MaskImageSource::installed;
    if (fitScene && fitScene->value && source && source->sceneSeconds(sceneId, sceneLength)) {
        const double objectLength = (end - start + 1) * scale / rate;
        t = objectLength > 0 ? sceneLength * t / objectLength : 0;
    }
    return t;
}

std::shared_ptr<Media::ResourceBuffer> EffectItemMaskSelect::getMaskImage(const Render::RenderContext& context,
                                                                          uint32_t width, uint32_t height) const {
    const MaskImageSource* source = MaskImageSource::installed;
    if (!source) return nullptr;
    if (sceneId >= 0) return sceneId == 0 ? nullptr : source->sceneFrame(sceneId, maskSeconds(context));
    if (index >= 0) return source->figure(index, width, height);
    if (path.empty()) return nullptr;
    if (path[0] == L'*') return source->named(context, System::wideToUtf8(path.substr(1)));
    return source->file(path);
}

void EffectItemMaskSelect::preloadMaskImage(const Render::RenderContext& context) const {
    const MaskImageSource* source = MaskImageSource::installed;
    if (!source) return;
    if (sceneId > 0)
        source->preloadSceneFrame(sceneId, maskSeconds(context));
    else if (sceneId < 0 && index < 0 && !path.empty() && path[0] != L'*')
        source->preloadFile(path);
}

}  // namespace Effect
