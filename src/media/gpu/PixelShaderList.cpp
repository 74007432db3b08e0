#include "media/gpu/PixelShaderList.h"

#include <cstdio>

#include "shaders/BuiltinShaders.h"

namespace Shader {
namespace {

using Platform::gpu::ShaderStage;

// x, y, z; the strip covers the target.
constexpr float kPositionQuad[4 * 3] = {-1, -1, 0, 1, -1, 0, -1, 1, 0, 1, 1, 0};
// x, y, z, u, v, alpha and an unread word; v = 0 at the top of the target.
constexpr float kTextureQuad[4 * 7] = {
    -1, -1, 0, 0, 1, 1, 0, 1, -1, 0, 1, 1, 1, 0, -1, 1, 0, 0, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0,
};

void load(Media::PixelShader& shader, const char* name) {
    const auto* code = BuiltinShaders::code(name, ShaderStage::Pixel);
    shader.loadFromMemory(code->data(), code->size());
}

void load(Media::VertexShader& shader, const char* name) {
    const auto* code = BuiltinShaders::code(name, ShaderStage::Vertex);
    shader.loadFromMemory(code->data(), code->size());
}

}  // namespace

PixelShaderList::PixelShaderList() {
    positionQuad.create(kPositionQuad, 4, 12);
    textureQuad.create(kTextureQuad, 4, 28);
    constantBuffer.create(nullptr, sizeof constant);
    listConstantBuffer.create(nullptr, sizeof listConstant);
    lightConstantBuffer.create(nullptr, kLightConstantSize);
    // The vertex-list sets by binder pair, then the light pass and the resolve.
    load(listVertexShaders[0], "ListTextured");
    load(listPixelShaders[0], "ListTextured");
    load(listVertexShaders[1], "ListTextured");
    load(listPixelShaders[1], "ListTexturedDepth");
    load(listVertexShaders[2], "ListTexturedNormal");
    load(listPixelShaders[2], "ListTexturedNormal");
    load(listVertexShaders[3], "ListColored");
    load(listPixelShaders[5], "ListColored");
    load(listVertexShaders[4], "ListColored");
    load(listPixelShaders[6], "ListColoredDepth");
    load(listVertexShaders[5], "ListColoredNormal");
    load(listPixelShaders[7], "ListColoredNormal");
    load(listPixelShaders[3], "ListLight");
    load(listVertexShaders[6], "ListLight");
    load(listPixelShaders[4], "ListResolve");
    load(listTexturedOnce, "ListTexturedOnce");
    load(listTexturedTexel, "ListTexturedTexel");
    load(packBgr24, "PackBgr24");
    // The general shaders by index (src/shaders/GeneralNN).
    for (size_t i = 0; i < kGeneralCount; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "General%02zu", i);
        load(general[i], name);
    }
    load(positionQuadShader, "QuadPosition");
    load(textureQuadShader, "QuadTexture");
}

}  // namespace Shader
