#pragma once
#include <atomic>
#include <functional>

#include "effect/ModelQueries.h"

namespace Edit {

class Project;

// The model's answers to the effect framework: objects and scenes as they
// stand, scene names of the open project, earlier-generation track values.
// The font and figure lists come from readers the program installs over the
// services that hold them; without a reader they are empty.
// Installed at start-up (the edit service takes it over when it arrives);
// the open project is attached when one is open.
class ProjectQueries : public Effect::ModelQueries {
public:
    ProjectQueries() = default;
    ProjectQueries(const ProjectQueries&) = delete;
    ProjectQueries& operator=(const ProjectQueries&) = delete;

    using FontListReader = std::function<void(std::vector<std::wstring>& names, std::wstring& defaultName)>;
    using FigureListReader = std::function<void(std::vector<std::wstring>& names)>;
    // Process-wide, for every instance; each returns the reader it replaces.
    static FontListReader setFontListReader(FontListReader reader);
    static FigureListReader setFigureListReader(FigureListReader reader);

    // Not owned; none while no project is open.
    void setProject(const Project* project) { project_.store(project); }

    int32_t objectStart(const Object& object) const override;
    int32_t objectEnd(const Object& object) const override;
    const std::vector<int32_t>& objectMidpoints(const Object& object) const override;
    const std::vector<std::shared_ptr<Effect::EffectBase>>& objectEffects(const Object& object) const override;
    int32_t sceneRate(const Scene& scene) const override;
    int32_t sceneScale(const Scene& scene) const override;
    int32_t sceneAudioRate(const Scene& scene) const override;
    bool isFocusObject(const Scene& scene, const Object& object) const override;
    bool isObjectLayerLocked(const Scene& scene, const Object& object) const override;
    bool isClippingObject(const Object& object) const override;
    bool findSceneName(int32_t sceneId, std::wstring& name) const override;
    int32_t findSceneId(const std::wstring& name) const override;
    std::string convertTrackValue(std::string_view value) const override;
    void fontFamilies(std::vector<std::wstring>& names, std::wstring& defaultName) const override;
    void figureNames(std::vector<std::wstring>& names) const override;

private:
    std::atomic<const Project*> project_{nullptr};
};

}  // namespace Edit
