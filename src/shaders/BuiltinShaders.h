#pragma once
// The program's built-in shaders, compiled from src/shaders/*.hlsl at build
// time and embedded in the program.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gpu/ShaderCode.h"

namespace Shader {

class BuiltinShaders {
public:
    struct Entry {
        const char* name;  // the file name without ".<stage>.hlsl"
        Platform::gpu::ShaderStage stage;
        const unsigned char* spirv;
        size_t spirvBytes;
        const char* source;
        size_t sourceBytes;
    };
    // The shader's code in the GPU layer's form (made on first request and kept),
    // or null when there is no built-in shader of that name and stage.
    static const std::vector<uint8_t>* code(const char* name, Platform::gpu::ShaderStage stage);

    static const Entry entries[];
    static const size_t entryCount;
};

}  // namespace Shader
