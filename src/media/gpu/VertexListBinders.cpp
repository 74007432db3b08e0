#include "media/gpu/VertexListBinders.h"

#include "core/Exception.h"
#include "media/gpu/ResourceService.h"

namespace Media {
namespace {

void bindPair(size_t vertexShader, size_t pixelShader) {
    Resource::ResourceService* service = Resource::ResourceService::get();
    if (!service) throw System::messageException("Media::bindShader", "resource service not available.");
    Shader::PixelShaderList& list = service->pixelShaders;
    VertexShader& vs = list.listVertexShaders[vertexShader];
    PixelShader& ps = list.listPixelShaders[pixelShader];
    Direct3DService& d = *Direct3DService::get();
    if (&vs != d.boundVertexShader) {
        d.context->setVertexShader(vs.shader.get(), vs.layout.get());
        d.boundVertexShader = &vs;
    }
    if (&ps != d.boundPixelShader) {
        d.context->setPixelShader(ps.shader.get());
        d.boundPixelShader = &ps;
    }
}

}  // namespace

void bindShaderUv() { bindPair(0, 0); }
void bindShaderUvDepth() { bindPair(1, 1); }
void bindShaderUvNormal() { bindPair(2, 2); }
void bindShaderColor() { bindPair(3, 5); }
void bindShaderColorDepth() { bindPair(4, 6); }
void bindShaderColorNormal() { bindPair(5, 7); }

}  // namespace Media
