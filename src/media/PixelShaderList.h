#pragma once
#include <array>
#include <cstddef>

#include "media/ConstantBufferCommon.h"
#include "media/PixelShader.h"
#include "media/VertexBufferCommon.h"
#include "media/VertexShader.h"

// The system's own full-target pixel shaders by index, the two quads every
// pass draws with their vertex shaders, and a shared 16-byte constant buffer.
namespace Shader {

class PixelShaderList {
public:
    static constexpr size_t kGeneralCount = 26;

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
};

}  // namespace Shader
