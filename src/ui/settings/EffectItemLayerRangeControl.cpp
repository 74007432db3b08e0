#include "ui/settings/EffectItemLayerRangeControl.h"

#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/SceneLayer.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"

namespace Component {

EffectItemLayerRangeControl::EffectItemLayerRangeControl(Window::ControlContainer& parent, EffectSetting& owner,
                                                         const std::shared_ptr<Effect::EffectBase>& edited,
                                                         Effect::EffectItemInteger& range)
    : EffectItemIntegerControl(parent, owner, edited, range) {
    slider.zeroText = L"---";
    slider.updateValueText();
}

void EffectItemLayerRangeControl::addUndoItem() {
    if (Undo::UndoService* undo = Undo::UndoService::get(); undo != nullptr && object())
        undo->addObjectUndoLayerRange(object());
}

void EffectItemLayerRangeControl::storeValue(Edit::UpdateSection& scope, int32_t v) {
    scope.layersChanged = true;
    item->value = v;
    const std::shared_ptr<Edit::Object> shown = object();
    if (!shown || !scope.scene || shown->layer < 0) return;
    const auto slot = static_cast<size_t>(shown->layer);
    if (slot < scope.scene->layers.size() && scope.scene->layers[slot]) scope.scene->layers[slot]->rangesDirty = true;
}

}  // namespace Component
