#pragma once
// The states undo items keep of a layer.
#include <cstdint>
#include <string>

namespace Edit {

class Layer;
class UpdateSection;

struct LayerUndoUpdate {
    uint8_t hide = 0;
    uint8_t lock = 0;
    std::wstring name;

    static void capture(const Layer& layer, LayerUndoUpdate& state);
    static bool commit(const Layer& layer, LayerUndoUpdate& before, LayerUndoUpdate& after);
    static void restore(Layer& layer, const LayerUndoUpdate& state, UpdateSection& scope);
};

struct LayerUndoMove {
    int32_t index = 0;

    static void capture(const Layer& layer, LayerUndoMove& state);
    static bool commit(const Layer& layer, LayerUndoMove& before, LayerUndoMove& after);
    static void restore(Layer& layer, const LayerUndoMove& state, UpdateSection& scope);
};

// The index; -1 while the layer's slot is not in the scene.
struct LayerUndoCreateDelete {
    int32_t index = -1;

    static void capture(const Layer& layer, LayerUndoCreateDelete& state);
    static bool commit(const Layer& layer, LayerUndoCreateDelete& before, LayerUndoCreateDelete& after);
    static void restore(Layer& layer, const LayerUndoCreateDelete& state, UpdateSection& scope);
};

}  // namespace Edit
