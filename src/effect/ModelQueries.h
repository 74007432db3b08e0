#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/HookScope.h"

namespace Edit {
class Object;
class Scene;
}  // namespace Edit
namespace Effect {
class EffectBase;
}  // namespace Effect

// What the effect framework and the render context ask of the project model,
// the font list and the figure list. The model's side installs an
// implementation at start-up; the effect framework sees objects and scenes
// only through here.
namespace Effect {

class ModelQueries {
public:
    virtual ~ModelQueries() = default;

    virtual int32_t objectStart(const Edit::Object& object) const = 0;
    // The last frame of the object (inclusive).
    virtual int32_t objectEnd(const Edit::Object& object) const = 0;
    // Section boundaries as ascending offsets from the start.
    virtual const std::vector<int32_t>& objectMidpoints(const Edit::Object& object) const = 0;
    // The source (or the one control effect) first, the output second, the filters after.
    virtual const std::vector<std::shared_ptr<EffectBase>>& objectEffects(const Edit::Object& object) const = 0;

    virtual int32_t sceneRate(const Edit::Scene& scene) const = 0;
    virtual int32_t sceneScale(const Edit::Scene& scene) const = 0;
    virtual int32_t sceneAudioRate(const Edit::Scene& scene) const = 0;
    // Whether the object is the scene's focused object, whose keys the preview
    // marks. Queries without a model know of none.
    virtual bool isFocusObject(const Edit::Scene&, const Edit::Object&) const { return false; }
    // Whether the object's layer is locked; a layer outside the scene counts as unlocked.
    virtual bool isObjectLayerLocked(const Edit::Scene&, const Edit::Object&) const { return false; }
    // Whether the object masks the objects after it (a clipping object).
    virtual bool isClippingObject(const Edit::Object&) const { return false; }

    // The name of the open project's scene with this id; false when there is none.
    virtual bool findSceneName(int32_t sceneId, std::wstring& name) const = 0;
    // The id of the open project's scene with this name, or -1.
    virtual int32_t findSceneId(const std::wstring& name) const = 0;

    // An earlier-generation track value in the number item's text form.
    virtual std::string convertTrackValue(std::string_view value) const = 0;

    // The installed font families in the font manager's order and the
    // process-wide default family name.
    virtual void fontFamilies(std::vector<std::wstring>& names, std::wstring& defaultName) const = 0;
    // The names of the figure list: the built-in figures, then the figure files.
    virtual void figureNames(std::vector<std::wstring>& names) const = 0;
};

// Installs the queries (not owned; they outlive their installation) and
// returns the ones installed before. None uninstalls.
const ModelQueries* setModelQueries(const ModelQueries* queries);
// The installed queries. Throws std::logic_error when none are installed:
// an effect asked about the model before the program wired it up.
const ModelQueries& modelQueries();

// Installs queries for the life of the scope and puts the previous ones back.
class ModelQueriesScope : public System::HookScope<const ModelQueries*> {
public:
    explicit ModelQueriesScope(const ModelQueries& queries) : HookScope(setModelQueries, &queries) {}
};

}  // namespace Effect
