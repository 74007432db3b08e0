#pragma once
#include <cstddef>
#include <memory>

#include "media/gpu/Direct3DService.h"

// A vertex shader with the input layout built from its own input signature.
// Its identity is what the Direct3D service records as bound.
namespace Media {

class VertexShader : public Direct3DInstance {
public:
    VertexShader() = default;
    ~VertexShader();
    VertexShader(const VertexShader&) = delete;
    VertexShader& operator=(const VertexShader&) = delete;

    void loadFromMemory(const void* code, size_t length);
    // One element per input, in signature order, all in slot 0 one after another.
    void createInputLayout(const void* code, size_t length);

    std::unique_ptr<Platform::gpu::Shader> shader;
    std::unique_ptr<Platform::gpu::InputLayout> layout;

private:
    void unbind();
};

}  // namespace Media
