#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace Media {
class ComputeShader;
class PixelShader;
class VertexShader;
class ConstantBufferCommon;
}  // namespace Media

namespace Effect {

// The class-wide resource of an effect class that draws with programs of
// its own: the pixel shaders in load order and the constant buffer, created
// once for the registered prototype and shared by every instance. Render
// threads only read it; it is never replaced after registration.
class ShaderResource {
public:
    // constantBytes 0: the class passes its constants per draw.
    static std::shared_ptr<ShaderResource> create(size_t programCount, uint32_t constantBytes, size_t computeCount = 0);

    ShaderResource();
    ~ShaderResource();
    ShaderResource(const ShaderResource&) = delete;
    ShaderResource& operator=(const ShaderResource&) = delete;

    std::vector<std::unique_ptr<Media::PixelShader>> shaders;
    std::vector<std::unique_ptr<Media::ComputeShader>> computeShaders;  // after the pixel shaders
    std::unique_ptr<Media::VertexShader> vertexShader;                  // for classes that draw their own vertices
    std::unique_ptr<Media::ConstantBufferCommon> constant;              // none when the class has no buffer
    uint32_t constantBytes = 0;
};

}  // namespace Effect
