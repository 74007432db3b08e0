#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace Edit {
class Scene;
}

// A scene used as a movie or audio source is named by "*" and its id.
namespace Cache {

class SceneSource;

std::wstring makeScenePath(int32_t sceneId);
inline bool isScenePath(const std::wstring& path) { return !path.empty() && path[0] == L'*'; }
// The id after the first character as a decimal number; 0 when there is none.
int32_t sceneIdFromPath(const std::wstring& path);
// The scene the path names, none for id 0, a missing number or an absent scene.
std::shared_ptr<Edit::Scene> sceneFromPath(SceneSource* scenes, const std::wstring& path);

}  // namespace Cache
