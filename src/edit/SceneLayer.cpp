#include "edit/SceneLayer.h"

#include <algorithm>
#include <cstdlib>

#include "edit/Layer.h"
#include "edit/Object.h"

namespace Edit {

SceneLayer::SceneLayer(int32_t index) : layer(std::make_shared<Layer>(index)) {}

const SceneLayer& SceneLayer::empty() {
    static const SceneLayer slot(-1);
    return slot;
}

size_t SceneLayer::lowerBoundByEnd(int32_t frame) const {
    return static_cast<size_t>(
        std::partition_point(objects.begin(), objects.end(), [&](const auto& o) { return o->end < frame; }) -
        objects.begin());
}

size_t SceneLayer::upperBoundByStart(int32_t frame) const {
    return static_cast<size_t>(
        std::partition_point(objects.begin(), objects.end(), [&](const auto& o) { return o->start <= frame; }) -
        objects.begin());
}

std::shared_ptr<Object> SceneLayer::findNearestObject(int32_t a, int32_t b) const {
    const int64_t m = (static_cast<int64_t>(a) + b) / 2;
    std::shared_ptr<Object> best;
    int64_t bestDistance = 0;
    for (size_t i = lowerBoundByEnd(a); i < objects.size() && objects[i]->start <= b; ++i) {
        const int64_t d = std::min(std::llabs(objects[i]->start - m), std::llabs(objects[i]->end - m));
        if (!best || d < bestDistance) {
            best = objects[i];
            bestDistance = d;
        }
    }
    return best;
}

std::shared_ptr<Layer> SceneLayer::resetLayer() {
    const int32_t index = layer->index;
    layer->index = -1;
    layer = std::make_shared<Layer>(index);
    return layer;
}

}  // namespace Edit
