#include "media/gpu/ShaderCompile.h"

#include <cstring>
#include <string>

#include "core/Exception.h"
#include "platform/gpu/HlslCompiler.h"

namespace Media {

std::vector<uint8_t> ShaderCompile::compileFromMemory(const char* sourceName, const char* source,
                                                      const char* entryPoint, const char* target) {
    constexpr const char* kScope = "Media::ShaderCompile::compileFromMemory";
    std::vector<uint8_t> code;
    std::string errors;
    const Platform::Result hr =
        Platform::gpu::HlslCompiler::compile(sourceName, source, std::strlen(source), entryPoint, target, code, errors);
    if (Platform::failed(hr)) {
        if (!errors.empty()) throw System::messageException(kScope, "D3DCompile() failed", errors.c_str());
        throw System::hresultException("D3DCompile", kScope, hr);
    }
    return code;
}

std::unique_ptr<Platform::gpu::ShaderReflection> ShaderCompile::getShaderReflection(const void* code, size_t length) {
    auto reflection = std::make_unique<Platform::gpu::ShaderReflection>();
    if (const Platform::Result hr = Platform::gpu::ShaderReflection::reflect(code, length, *reflection);
        Platform::failed(hr))
        throw System::hresultException("D3DReflect", "Media::ShaderCompile::getShaderReflection", hr);
    return reflection;
}

}  // namespace Media
