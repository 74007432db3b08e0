#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace Edit {

class Layer;
class Object;

// One layer slot of a scene: its objects (sorted by start once the scene
// updated) and its attributes. The flags say what the closing edit scope
// still has to put in order.
class SceneLayer {
public:
    struct ControlRange {
        int32_t start;
        int32_t end;
        int32_t layerCount;  // 0 ("all following layers") is stored as kAllLayers
    };
    static constexpr int32_t kAllLayers = 1000000;

    std::vector<std::shared_ptr<Object>> objects;
    bool needsSort = false;
    bool needsCompaction = false;
    bool rangesDirty = false;
    std::shared_ptr<Layer> layer;
    std::vector<ControlRange> controlRanges;

    explicit SceneLayer(int32_t index);

    // The slot read for indices outside a scene's list; never modified.
    static const SceneLayer& empty();

    // First object whose end >= frame.
    size_t lowerBoundByEnd(int32_t frame) const;
    // First object whose start > frame.
    size_t upperBoundByStart(int32_t frame) const;
    // The object nearest to the frame window [a, b]; the first of equals wins.
    std::shared_ptr<Object> findNearestObject(int32_t a, int32_t b) const;
    // A fresh default layer with the old one's index; the old one gets -1.
    std::shared_ptr<Layer> resetLayer();
};

}  // namespace Edit
