#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "media/gpu/ShaderBase.h"
#include "media/gpu/ShaderCompile.h"
#include "platform/gpu/Shader.h"

// A compute shader and its dispatch; the caller binds its resources.
namespace Media {

class Direct3DService;

class ComputeShader : public ShaderBase, public ShaderCompile {
public:
    ComputeShader();
    ~ComputeShader() override;

    void loadFromMemory(const void* code, size_t length);
    void compile(const char* sourceName, const char* source, const char* entryPoint);
    // Sets the shader when the service's cache holds another, then dispatches.
    void dispatch(uint32_t x, uint32_t y, uint32_t z);

    Platform::gpu::Shader* shader() const { return shader_.get(); }

private:
    void releaseShader();

    Direct3DService* direct3D_;
    std::unique_ptr<Platform::gpu::Shader> shader_;
};

}  // namespace Media
