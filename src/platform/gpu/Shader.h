#pragma once
#include <cstdint>
#include <vector>

#include "platform/gpu/ShaderReflection.h"

namespace Platform::gpu {

class Device;

// A vertex, pixel or compute shader made from the layer's shader code.
// Pipelines that use it are made when first drawn and dropped with it.
class Shader {
public:
    ~Shader();
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;

    ShaderStage stage() const { return reflection_.stage; }
    const ShaderReflection& reflection() const { return reflection_; }

    // Inside the layer.
    uint64_t id() const { return id_; }
    const std::vector<uint32_t>& spirv() const { return spirv_; }  // without the HLSL decorations

private:
    friend class Device;
    Shader(Device& device, uint64_t id) : device_(device), id_(id) {}
    Device& device_;
    uint64_t id_;
    ShaderReflection reflection_;
    std::vector<uint32_t> spirv_;
};

}  // namespace Platform::gpu
