#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gpu/ShaderCode.h"
#include "platform/os/Result.h"

namespace Platform::gpu {

enum class ResourceKind : uint8_t { ConstantBuffer, Texture, Sampler, UnorderedAccess };

struct ReflectedVariable {
    std::string name;
    uint32_t offset = 0;
    uint32_t size = 0;  // as the program's platform counts it (no padding after the last register)
};

struct ReflectedConstantBuffer {
    std::string name;
    uint32_t slot = 0;  // register b<slot>
    uint32_t size = 0;  // rounded up to 16 bytes
    std::vector<ReflectedVariable> variables;
};

struct ReflectedResource {
    std::string name;
    ResourceKind kind = ResourceKind::Texture;
    uint32_t slot = 0;  // register number of its class
};

// A stage input or output as the SPIR-V module has it (for linking stages).
struct InterfaceVariable {
    uint32_t id = 0;
    uint32_t location = 0;
    std::string semantic;  // upper case, as the compiler keeps it, digits removed
    uint32_t semanticIndex = 0;
    uint32_t components = 0;
};

// A descriptor the module uses.
struct ShaderBinding {
    uint32_t id = 0;       // the variable
    uint32_t binding = 0;  // Vulkan binding (register shifted by class and stage)
    ResourceKind kind = ResourceKind::Texture;
    uint32_t slot = 0;
};

// What the program asks of compiled code: the exact input signature, constant
// buffers with member offsets and sizes, bound resources by register and the
// compute group size.
class ShaderReflection {
public:
    static Result reflect(const void* code, size_t length, ShaderReflection& out);

    ShaderStage stage = ShaderStage::Pixel;
    std::vector<SignatureParameter> inputs;
    std::vector<ReflectedConstantBuffer> constantBuffers;
    std::vector<ReflectedResource> resources;
    uint32_t threadGroup[3] = {0, 0, 0};
    bool orderedViews = false;  // declares rasterizer-ordered views

    // Inside the layer.
    std::vector<uint32_t> spirv;
    std::vector<InterfaceVariable> stageInputs;
    std::vector<InterfaceVariable> stageOutputs;
    std::vector<ShaderBinding> bindings;
};

}  // namespace Platform::gpu
