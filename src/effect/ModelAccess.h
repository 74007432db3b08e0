#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Edit {
class Object;
class Scene;
}  // namespace Edit
namespace Media {
class RenderBuffer;
}  // namespace Media
namespace Effect {
class EffectBase;
}  // namespace Effect

// What the effect framework and the render context read of the project model
// and of the frame buffer. The owners of those classes define these functions
// beside them; the effect framework sees the classes only through here.
namespace Effect::Access {

int32_t objectStart(const Edit::Object& object);
// The last frame of the object (inclusive).
int32_t objectEnd(const Edit::Object& object);
// Section boundaries as ascending offsets from the start.
const std::vector<int32_t>& objectMidpoints(const Edit::Object& object);
// The source (or the one control effect) first, the output second, the filters after.
const std::vector<std::shared_ptr<Effect::EffectBase>>& objectEffects(const Edit::Object& object);

int32_t sceneRate(const Edit::Scene& scene);
int32_t sceneScale(const Edit::Scene& scene);
int32_t sceneAudioRate(const Edit::Scene& scene);

// The name of the open project's scene with this id; false when there is none.
bool findSceneName(int32_t sceneId, std::wstring& name);
// The id of the open project's scene with this name, or -1.
int32_t findSceneId(const std::wstring& name);

// An earlier-generation track value in the number item's text form.
std::string convertTrackValue(std::string_view value);

void renderBufferSize(const Media::RenderBuffer& buffer, int32_t& width, int32_t& height);

// The installed font families in the font manager's order and the
// process-wide default family name.
void fontFamilies(std::vector<std::wstring>& names, std::wstring& defaultName);
// The names of the figure list: the built-in figures, then the figure files.
void figureNames(std::vector<std::wstring>& names);

}  // namespace Effect::Access
