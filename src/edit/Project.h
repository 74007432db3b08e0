#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

namespace Edit {

class Scene;

// The open project: its scenes by id (0 is the root scene) and the file it
// came from.
class Project {
public:
    std::wstring path;
    int32_t displayScene = 0;
    std::unordered_map<int32_t, std::shared_ptr<Scene>> scenes;

    std::shared_ptr<Scene> getScene(int32_t id) const;
    std::shared_ptr<Scene> getOrCreateScene(int32_t id);
    int32_t getNewSceneId() const;
    void deleteScene(int32_t id);
    void clear();
};

}  // namespace Edit
