#pragma once
#include <cstdint>
#include <memory>

// The GPU crossings between CPU images and the working format: uploads with
// YUV-to-RGB conversion, and frames read back as YUY2 or YC48. Built on the
// stack by its callers on the rendering thread; keeps no state between calls.
namespace Shader {
class PixelShaderList;
class SamplerStateList;
class BlendStateList;
class RasterizerStateList;
}  // namespace Shader

namespace Media {

class Direct3DService;
class ImageBuffer;
class RenderBuffer;
class ResourceBuffer;

class ResourceConvert {
public:
    ResourceConvert();

    // The destination takes the image's size (each edge at most 16384) and
    // holds its pixels converted to the destination's (working) format.
    void convert(const ImageBuffer& source, ResourceBuffer& destination);
    // The frame as YUY2 (107) or YC48 in R16G16B16A16_SNORM (13).
    std::shared_ptr<ImageBuffer> convertToImage(RenderBuffer& source, int32_t format);

    // The 80-byte colour constants (16 floats `transform` by rows, 4 floats
    // `offset`) for YUY2 (107) or YC48 (13) input or output. `colorSpace` is
    // the setting (1 BT.601, 2 BT.709, otherwise by `height`: BT.709 from 720).
    static void colorConstants(float out[20], int32_t format, bool output, int32_t colorSpace, uint32_t height);

private:
    Direct3DService& direct3D_;
    Shader::PixelShaderList& pixelShaders_;
    Shader::SamplerStateList& samplerStates_;
    Shader::BlendStateList& blendStates_;
    Shader::RasterizerStateList& rasterizerStates_;
};

}  // namespace Media
