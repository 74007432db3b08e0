#pragma once
#include <cstdint>
#include <unordered_map>

namespace Edit {
class Object;
}

namespace Render {

// For each group control a walk has met, the layer of the group control
// around it (-1 for none), written as the walk opens the group and read when
// an object's chain gathers the filters of the groups around it.
class GroupLayers {
public:
    void set(const Edit::Object& group, int32_t enclosingLayer) { layers_[&group] = enclosingLayer; }
    // -1 for a group the walk has not met.
    int32_t enclosing(const Edit::Object& group) const {
        const auto found = layers_.find(&group);
        return found == layers_.end() ? -1 : found->second;
    }

private:
    std::unordered_map<const Edit::Object*, int32_t> layers_;
};

}  // namespace Render
