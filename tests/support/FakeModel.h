#pragma once
// A small stand-in for the project model and the frame buffer, for the tests
// of the effect framework until the real classes exist. Include
// "support/FakeModelAccess.h" in exactly one file of a test program.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Effect {
class EffectBase;
}

namespace Edit {

class Object {
public:
    int32_t start = 0;
    int32_t end = 0;
    std::vector<int32_t> midpoints;
    std::vector<std::shared_ptr<Effect::EffectBase>> effects;
};

class Scene {
public:
    int32_t rate = 30, scale = 1, audioRate = 48000;
};

// The scenes of the open project by id (the tests fill it).
inline std::map<int32_t, std::wstring>& fakeScenes() {
    static std::map<int32_t, std::wstring> scenes;
    return scenes;
}

}  // namespace Edit

namespace Media {
class RenderBuffer {
public:
    int32_t width = 0, height = 0;
};
}  // namespace Media
