#include "media/PixelShaderList.h"

#include <cstdio>

#include "shaders/BuiltinShaders.h"

namespace Shader {
namespace {

using Platform::Gpu::ShaderStage;

// x, y, z; the strip covers the target.
constexpr float kPositionQuad[4 * 3] = {-1, -1, 0, 1, -1, 0, -1, 1, 0, 1, 1, 0};
// x, y, z, u, v, alpha and an unread word; v = 0 at the top of the target.
constexpr float kTextureQuad[4 * 7] = {
    -1, -1, 0, 0, 1, 1, 0, 1, -1, 0, 1, 1, 1, 0, -1, 1, 0, 0, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0,
};

}  // namespace

PixelShaderList::PixelShaderList() {
    positionQuad.create(kPositionQuad, 4, 12);
    textureQuad.create(kTextureQuad, 4, 28);
    constantBuffer.create(nullptr, sizeof constant);
    // The general shaders carried by the program, by index (src/shaders/GeneralNN).
    for (size_t i = 0; i < kGeneralCount; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "General%02zu", i);
        if (const auto* code = BuiltinShaders::code(name, ShaderStage::Pixel))
            general[i].loadFromMemory(code->data(), code->size());
    }
    const auto* position = BuiltinShaders::code("QuadPosition", ShaderStage::Vertex);
    const auto* texture = BuiltinShaders::code("QuadTexture", ShaderStage::Vertex);
    positionQuadShader.loadFromMemory(position->data(), position->size());
    textureQuadShader.loadFromMemory(texture->data(), texture->size());
}

}  // namespace Shader
