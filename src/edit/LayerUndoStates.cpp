#include "edit/LayerUndoStates.h"

#include "edit/Layer.h"
#include "edit/Scene.h"
#include "edit/UpdateSection.h"

namespace Edit {
namespace {
void layersMoved(UpdateSection& scope) { scope.layersChanged = scope.objectChanged = scope.layerChanged = true; }
}  // namespace

void LayerUndoUpdate::capture(const Layer& l, LayerUndoUpdate& s) {
    s.hide = l.hide ? 1 : 0;
    s.lock = l.lock ? 1 : 0;
    s.name = l.name;
}

bool LayerUndoUpdate::commit(const Layer&, LayerUndoUpdate& before, LayerUndoUpdate& after) {
    return before.hide != after.hide || before.lock != after.lock || before.name != after.name;
}

void LayerUndoUpdate::restore(Layer& l, const LayerUndoUpdate& s, UpdateSection& scope) {
    l.hide = s.hide != 0;
    l.lock = s.lock != 0;
    l.name = s.name;
    scope.objectChanged = scope.layerChanged = true;
}

void LayerUndoMove::capture(const Layer& l, LayerUndoMove& s) { s.index = l.index; }

bool LayerUndoMove::commit(const Layer&, LayerUndoMove& before, LayerUndoMove& after) {
    return before.index != after.index;
}

void LayerUndoMove::restore(Layer& l, const LayerUndoMove& s, UpdateSection& scope) {
    if (scope.scene) scope.scene->moveLayer(l.index, s.index);
    layersMoved(scope);
}

void LayerUndoCreateDelete::capture(const Layer& l, LayerUndoCreateDelete& s) { s.index = l.index; }

bool LayerUndoCreateDelete::commit(const Layer&, LayerUndoCreateDelete& before, LayerUndoCreateDelete& after) {
    return before.index != after.index;
}

void LayerUndoCreateDelete::restore(Layer& l, const LayerUndoCreateDelete& s, UpdateSection& scope) {
    if (scope.scene) {
        if (s.index < 0) {
            if (l.index >= 0) scope.scene->deleteLayer(l.index);
        } else {
            l.index = s.index;
            scope.scene->insertLayer(s.index, l.shared_from_this());
        }
    }
    layersMoved(scope);
}

}  // namespace Edit
