#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gpu/ShaderCode.h"
#include "platform/os/Result.h"

namespace Platform::gpu {

// Register shifts: every HLSL register class of every stage gets its own range
// of Vulkan bindings, so the vertex and pixel stages can share one descriptor
// set without collisions.
inline constexpr uint32_t kBindingConstantBuffer = 0;    // b0..
inline constexpr uint32_t kBindingSampler = 16;          // s0..
inline constexpr uint32_t kBindingUnorderedAccess = 32;  // u0..
inline constexpr uint32_t kBindingTexture = 64;          // t0..
inline constexpr uint32_t kBindingVertexStage = 128;     // added for the vertex stage

// Run-time HLSL compilation for the targets the program uses ("vs_5_0",
// "ps_5_0", "cs_5_0"). Warnings count as errors; the error text names the
// source name given. Includes resolve relative to the source name's folder,
// then the current folder.
class HlslCompiler {
public:
    // On failure `errors` holds the compiler's text (empty when it gave none).
    static Result compile(const char* sourceName, const char* source, size_t length, const char* entry,
                          const char* target, std::vector<uint8_t>& code, std::string& errors);
    static bool stageOfTarget(const char* target, ShaderStage& stage);
};

}  // namespace Platform::gpu
