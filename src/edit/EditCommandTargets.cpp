#include "edit/EditCommandTargets.h"

#include <algorithm>

#include "edit/Object.h"
#include "edit/Scene.h"

namespace Edit::EditCommand {

std::vector<std::shared_ptr<Object>> getTargets(const Scene& scene) {
    if (!scene.selection.objects.empty()) return scene.selection.objects;
    if (scene.focusObject && scene.focusObject->layer >= 0) return {scene.focusObject};
    return {};
}

void takeOutObject(Scene& scene, Object& object) {
    if (object.layer >= 0 && object.layer < scene.layerCount()) {
        SceneLayer& slot = *scene.layers[static_cast<size_t>(object.layer)];
        slot.needsCompaction = true;
        if (object.layerRangeControl) slot.rangesDirty = true;
    }
    object.layer = -1;
}

void removeNewObject(Scene& scene, const std::shared_ptr<Object>& object) {
    if (object->layer >= 0 && object->layer < scene.layerCount()) {
        auto& objects = scene.layers[static_cast<size_t>(object->layer)]->objects;
        objects.erase(std::remove(objects.begin(), objects.end(), object), objects.end());
    }
    object->layer = -1;
    object->removeFromGroup();
}

int32_t defaultEnd(const Scene& scene, int32_t frame) {
    const int32_t zoom = std::max(scene.displayZoom.value, 1);
    return static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(frame) + 800000 / zoom, INT32_MAX));
}

void clearSelection(Scene& scene) {
    if (!scene.selection.objects.empty()) scene.selection.clear();
}

}  // namespace Edit::EditCommand
