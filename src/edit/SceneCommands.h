#pragma once
#include <cstdint>

namespace Edit {

// The scene operations a scene's context menu offers; the edit service
// carries them out.
class SceneCommands {
public:
    virtual ~SceneCommands() = default;
    virtual bool newScene() = 0;
    virtual void deleteScene(int32_t id) = 0;
    virtual void renameScene(int32_t id) = 0;
    virtual void settingScene(int32_t id) = 0;
};

}  // namespace Edit
