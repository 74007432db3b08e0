#include "edit/Project.h"

#include <algorithm>

#include "edit/Scene.h"

namespace Edit {

std::shared_ptr<Scene> Project::getScene(int32_t id) const {
    auto it = scenes.find(id);
    return it == scenes.end() ? nullptr : it->second;
}

std::shared_ptr<Scene> Project::getOrCreateScene(int32_t id) {
    if (auto it = scenes.find(id); it != scenes.end())
        return it->second;
    int32_t order = 0;
    if (!scenes.empty()) {
        int32_t highest = 0;
        for (const auto& [_, scene] : scenes)
            highest = std::max(highest, scene->displayOrder);
        order = highest + 1;
    }
    auto scene = std::make_shared<Scene>(id, order);
    scenes.emplace(id, scene);
    return scene;
}

int32_t Project::getNewSceneId() const {
    int32_t id = 1;
    while (scenes.count(id))
        ++id;
    return id;
}

void Project::deleteScene(int32_t id) {
    if (id == 0 || id == displayScene)
        return;
    auto it = scenes.find(id);
    if (it == scenes.end())
        return;
    it->second->clear();
    scenes.erase(it);
}

void Project::clear() {
    for (const auto& [_, scene] : scenes)
        scene->clear();
    scenes.clear();
    displayScene = 0;
    path.clear();
}

}  // namespace Edit
