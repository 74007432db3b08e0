#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Platform::gpu {

enum class ShaderStage : uint32_t { Vertex = 0, Pixel = 1, Compute = 2 };

// Component types with the numbers the program's reflection code knows.
inline constexpr uint32_t kComponentUnknown = 0;
inline constexpr uint32_t kComponentUint32 = 1;
inline constexpr uint32_t kComponentSint32 = 2;
inline constexpr uint32_t kComponentFloat32 = 3;

// One parameter of a shader's input signature, as written in the source.
struct SignatureParameter {
    std::string semanticName;  // exact case, trailing digits removed
    uint32_t semanticIndex = 0;
    uint32_t componentType = kComponentUnknown;
    uint32_t mask = 0;  // x = 1, y = 2, z = 4, w = 8
};

// Compiled shader code as the layer hands it out: the stage, the exact input
// signature (the compiler keeps neither the case of semantic names nor unused
// inputs) and the SPIR-V module.
class ShaderCode {
public:
    // `orderedViews`: the source declares rasterizer-ordered views.
    static std::vector<uint8_t> pack(ShaderStage stage, const std::vector<SignatureParameter>& inputs,
                                     const uint32_t* spirv, size_t words, bool orderedViews = false);
    // False when the bytes are not shader code of this layer.
    static bool unpack(const void* bytes, size_t length, ShaderStage& stage, std::vector<SignatureParameter>& inputs,
                       std::vector<uint32_t>& spirv, bool* orderedViews = nullptr);
    // Definitions that compile rasterizer-ordered views as plain unordered-access
    // views (the compiler has no such types); the layer keeps their order itself.
    static const char* orderedViewDefinitions();
};

}  // namespace Platform::gpu
