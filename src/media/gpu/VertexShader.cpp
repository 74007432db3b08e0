#include "media/gpu/VertexShader.h"

#include <cstring>

#include "core/Exception.h"
#include "media/gpu/ShaderCompile.h"

namespace Media {
namespace {

using namespace Platform::gpu;

int32_t elementFormat(const SignatureParameter& p) {
    int32_t formats[4];  // one to four components
    switch (p.componentType) {
    case kComponentUint32:
        formats[0] = kElementR32Uint, formats[1] = kElementR32G32Uint, formats[2] = kElementR32G32B32Uint,
        formats[3] = kElementR32G32B32A32Uint;
        break;
    case kComponentSint32:
        formats[0] = kElementR32Sint, formats[1] = kElementR32G32Sint, formats[2] = kElementR32G32B32Sint,
        formats[3] = kElementR32G32B32A32Sint;
        break;
    case kComponentFloat32:
        formats[0] = kElementR32Float, formats[1] = kElementR32G32Float, formats[2] = kElementR32G32B32Float,
        formats[3] = kElementR32G32B32A32Float;
        break;
    default: return 0;
    }
    if (p.mask == 1) return formats[0];
    if (p.mask == 2 || p.mask == 3) return formats[1];
    if (p.mask >= 4 && p.mask <= 7) return formats[2];
    if (p.mask >= 8 && p.mask <= 15) {
        // A float4 position or normal is fed from three values; w takes its default.
        const bool three = p.semanticName.rfind("POSITION", 0) == 0 || p.semanticName.rfind("NORMAL", 0) == 0;
        return three ? formats[2] : formats[3];
    }
    return 0;
}

}  // namespace

VertexShader::~VertexShader() { unbind(); }

void VertexShader::unbind() {
    // The context must not keep a shader or layout that is released, and the
    // cache must not skip binding the ones made next (or a later object at
    // this address).
    if (Direct3D && Direct3D->boundVertexShader == this) {
        Direct3D->context->setVertexShader(nullptr, nullptr);
        Direct3D->boundVertexShader = nullptr;
    }
}

void VertexShader::loadFromMemory(const void* code, size_t length) {
    unbind();
    shader.reset();
    if (const Platform::Result hr = Direct3D->device->createShader(ShaderStage::Vertex, code, length, shader);
        Platform::failed(hr))
        throw System::hresultException("Direct3D.device->CreateVertexShader", "Media::VertexShader::loadFromMemory",
                                       hr);
    createInputLayout(code, length);
}

void VertexShader::createInputLayout(const void* code, size_t length) {
    const auto reflection = ShaderCompile::getShaderReflection(code, length);
    std::vector<InputElement> elements;
    for (const SignatureParameter& p : reflection->inputs)
        elements.push_back({p.semanticName, p.semanticIndex, elementFormat(p), kAppendAligned});
    unbind();
    layout.reset();
    if (const Platform::Result hr =
            Direct3D->device->createInputLayout(elements.data(), static_cast<uint32_t>(elements.size()), code, length,
                                                layout);
        Platform::failed(hr))
        throw System::hresultException("Direct3D.device->CreateInputLayout", "Media::VertexShader::createInputLayout",
                                       hr);
}

}  // namespace Media
