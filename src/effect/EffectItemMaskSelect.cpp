#include "effect/EffectItemMaskSelect.h"

#include "core/FileName.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"
#include "effect/EffectItemFigureSelect.h"
#include "effect/ModelQueries.h"

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

}  // namespace Effect
