#include "media/gpu/ComputeShader.h"

#include "core/Exception.h"
#include "media/gpu/Direct3DService.h"

namespace Media {

ComputeShader::ComputeShader() : direct3D_(Direct3DService::get()) {}

ComputeShader::~ComputeShader() {
    // A later object at this address must not pass for the bound one.
    releaseShader();
}

void ComputeShader::releaseShader() {
    // The context must not keep the released shader, and the cache must not
    // skip binding the one loaded next.
    if (direct3D_ && direct3D_->boundComputeShader == this) {
        direct3D_->context->setComputeShader(nullptr);
        direct3D_->boundComputeShader = nullptr;
    }
    shader_.reset();
}

void ComputeShader::loadFromMemory(const void* code, size_t length) {
    releaseShader();
    if (const Platform::Result hr =
            direct3D_->device->createShader(Platform::gpu::ShaderStage::Compute, code, length, shader_);
        Platform::failed(hr))
        throw System::hresultException("Direct3D.device->CreateComputeShader", "Media::ComputeShader::loadFromMemory",
                                       hr);
}

void ComputeShader::compile(const char* sourceName, const char* source, const char* entryPoint) {
    const std::vector<uint8_t> code = compileFromMemory(sourceName, source, entryPoint, "cs_5_0");
    loadFromMemory(code.data(), code.size());
}

void ComputeShader::dispatch(uint32_t x, uint32_t y, uint32_t z) {
    if (direct3D_->boundComputeShader != this) {
        direct3D_->boundComputeShader = this;
        direct3D_->context->setComputeShader(shader_.get());
    }
    direct3D_->context->dispatch(x, y, z);
}

}  // namespace Media
