#include "edit/ProjectQueries.h"

#include <utility>

#include "edit/Layer.h"
#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/ProjectConvert.h"
#include "edit/Scene.h"

namespace Edit {

int32_t ProjectQueries::objectStart(const Object& object) const { return object.start; }
int32_t ProjectQueries::objectEnd(const Object& object) const { return object.end; }
const std::vector<int32_t>& ProjectQueries::objectMidpoints(const Object& object) const { return object.midpoints; }
const std::vector<std::shared_ptr<Effect::EffectBase>>& ProjectQueries::objectEffects(const Object& object) const {
    return object.effects;
}
int32_t ProjectQueries::sceneRate(const Scene& scene) const { return scene.videoRate; }
int32_t ProjectQueries::sceneScale(const Scene& scene) const { return scene.videoScale; }
int32_t ProjectQueries::sceneAudioRate(const Scene& scene) const { return scene.audioRate; }
bool ProjectQueries::isFocusObject(const Scene& scene, const Object& object) const {
    return scene.focusObject.get() == &object;
}

bool ProjectQueries::isObjectLayerLocked(const Scene& scene, const Object& object) const {
    const int32_t layer = object.layer;
    if (layer < 0 || layer >= scene.layerCount()) return false;
    const std::shared_ptr<Layer>& found = scene.getLayer(layer).layer;
    return found && found->lock;
}

bool ProjectQueries::isClippingObject(const Object& object) const { return object.clipping; }

bool ProjectQueries::findSceneName(int32_t sceneId, std::wstring& name) const {
    const Project* project = project_.load();
    if (!project) return false;
    // The scene table itself, not the project's functions: the queries stay
    // apart from reading and writing project files.
    const auto it = project->scenes.find(sceneId);
    if (it == project->scenes.end() || !it->second) return false;
    name = it->second->name;
    return true;
}

int32_t ProjectQueries::findSceneId(const std::wstring& name) const {
    const Project* project = project_.load();
    if (!project) return -1;
    // The first in display order (then id) of the scenes with this name.
    const Scene* found = nullptr;
    for (const auto& [id, scene] : project->scenes)
        if (scene && scene->name == name &&
            (!found || scene->displayOrder < found->displayOrder ||
             (scene->displayOrder == found->displayOrder && scene->id < found->id)))
            found = scene.get();
    return found ? found->id : -1;
}

std::string ProjectQueries::convertTrackValue(std::string_view value) const {
    return ProjectConvert::convertTrackValue(value);
}

namespace {

ProjectQueries::FontListReader& fontListReader() {
    static ProjectQueries::FontListReader reader;
    return reader;
}

ProjectQueries::FigureListReader& figureListReader() {
    static ProjectQueries::FigureListReader reader;
    return reader;
}

}  // namespace

ProjectQueries::FontListReader ProjectQueries::setFontListReader(FontListReader reader) {
    return std::exchange(fontListReader(), std::move(reader));
}

ProjectQueries::FigureListReader ProjectQueries::setFigureListReader(FigureListReader reader) {
    return std::exchange(figureListReader(), std::move(reader));
}

void ProjectQueries::fontFamilies(std::vector<std::wstring>& names, std::wstring& defaultName) const {
    names.clear();
    defaultName.clear();
    if (fontListReader()) fontListReader()(names, defaultName);
}

void ProjectQueries::figureNames(std::vector<std::wstring>& names) const {
    names.clear();
    if (figureListReader()) figureListReader()(names);
}

}  // namespace Edit
