#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gpu/ShaderReflection.h"

// Run-time compilation of HLSL text (the shaders scripts carry) and
// reflection of compiled code. Uses no member state.
namespace Media {

class ShaderCompile {
public:
    // Compiled code for the target ("ps_5_0", "cs_5_0"); warnings count as
    // errors. The source name is the name the compiler's messages give.
    static std::vector<uint8_t> compileFromMemory(const char* sourceName, const char* source, const char* entryPoint,
                                                  const char* target);
    static std::unique_ptr<Platform::gpu::ShaderReflection> getShaderReflection(const void* code, size_t length);
};

}  // namespace Media
