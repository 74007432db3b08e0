#include "render/cache/ScenePath.h"

#include <cwctype>
#include <limits>

#include "edit/Scene.h"
#include "render/cache/SceneSource.h"

namespace Cache {

std::wstring makeScenePath(int32_t sceneId) { return L"*" + std::to_wstring(sceneId); }

int32_t sceneIdFromPath(const std::wstring& path) {
    if (path.size() < 2) return 0;
    size_t i = 1;
    const bool negative = path[i] == L'-';
    if (path[i] == L'-' || path[i] == L'+') ++i;
    int64_t value = 0;
    bool any = false;
    for (; i < path.size() && path[i] >= L'0' && path[i] <= L'9'; ++i) {
        any = true;
        value = value * 10 + (path[i] - L'0');
        if (value > static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1) return 0;  // out of range
    }
    if (!any) return 0;
    value = negative ? -value : value;
    if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min()) return 0;
    return static_cast<int32_t>(value);
}

std::shared_ptr<Edit::Scene> sceneFromPath(SceneSource* scenes, const std::wstring& path) {
    const int32_t id = sceneIdFromPath(path);
    if (id == 0 || scenes == nullptr) return nullptr;
    return scenes->findScene(id);
}

}  // namespace Cache
