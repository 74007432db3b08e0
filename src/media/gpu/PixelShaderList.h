#pragma once
#include <array>
#include <cstddef>

#include "media/gpu/ConstantBufferCommon.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/VertexBufferCommon.h"
#include "media/gpu/VertexShader.h"

// The system's own shaders: the full-target pixel shaders by index, the two
// quads every pass draws with their vertex shaders, a shared 16-byte constant
// buffer, and the shader sets that draw vertex lists with their buffers.
namespace Shader {

class PixelShaderList {
public:
    static constexpr size_t kGeneralCount = 26;
    // Vertex-list pixel shaders: 0 textured, 1 with depth, 2 with normals,
    // 3 light pass, 4 transparent resolve, 5 coloured, 6 with depth, 7 with normals.
    static constexpr size_t kListPixelCount = 8;
    // Vertex-list vertex shaders: 0 textured, 1 textured (depth set), 2 textured
    // with normals, 3 coloured, 4 coloured (depth set), 5 coloured with normals,
    // 6 light pass.
    static constexpr size_t kListVertexCount = 7;
    static constexpr size_t kListConstantSize = 160;

    PixelShaderList();
    PixelShaderList(const PixelShaderList&) = delete;
    PixelShaderList& operator=(const PixelShaderList&) = delete;

    Media::PixelShader& operator[](size_t index) { return general[index]; }

    std::array<Media::PixelShader, kGeneralCount> general;
    Media::VertexShader positionQuadShader;
    Media::VertexShader textureQuadShader;
    Media::VertexBufferCommon positionQuad;
    Media::VertexBufferCommon textureQuad;
    Media::ConstantBufferCommon constantBuffer;
    float constant[4] = {};  // the buffer's contents in system memory

    std::array<Media::PixelShader, kListPixelCount> listPixelShaders;
    // The textured one (0) for draws that shrink the image nowhere: one read per pixel.
    Media::PixelShader listTexturedOnce;
    // The textured one (0) for draws whose pixel centres are the texel centres: the texel itself.
    Media::PixelShader listTexturedTexel;
    // The frame as a 24-bit bitmap's bottom-up rows, four bytes a texel (read-backs).
    Media::PixelShader packBgr24;
    std::array<Media::VertexShader, kListVertexCount> listVertexShaders;
    Media::VertexBufferCommon singleQuad28{4, 28};  // one-quad lists, triangle strip
    Media::VertexBufferCommon singleQuad40{4, 40};
    // projection float4x4 at 0, alpha at 64, blend (int) at 68, normalWorld
    // float4x4 at 80, shine at 144; matrices by rows.
    Media::ConstantBufferCommon listConstantBuffer;
    float listConstant[kListConstantSize / 4] = {};
    // The light pass: eight 32-byte lights, their count and the ambient colour.
    static constexpr size_t kLightConstantSize = 272;
    Media::ConstantBufferCommon lightConstantBuffer;
};

}  // namespace Shader
