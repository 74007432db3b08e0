#include "media/gpu/VertexListBinders.h"

#include "core/Exception.h"
#include "media/gpu/ResourceService.h"

namespace Media {
namespace {

Shader::PixelShaderList& shaderList() {
    Resource::ResourceService* service = Resource::ResourceService::get();
    if (!service) throw System::messageException("Media::bindShader", "resource service not available.");
    return service->pixelShaders;
}

void bindPair(VertexShader& vs, PixelShader& ps) {
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

void bindPair(size_t vertexShader, size_t pixelShader) {
    Shader::PixelShaderList& list = shaderList();
    bindPair(list.listVertexShaders[vertexShader], list.listPixelShaders[pixelShader]);
}

}  // namespace

void bindShaderUv() { bindPair(0, 0); }
void bindShaderUvOnce() {
    Shader::PixelShaderList& list = shaderList();
    bindPair(list.listVertexShaders[0], list.listTexturedOnce);
}
void bindShaderUvTexel() {
    Shader::PixelShaderList& list = shaderList();
    bindPair(list.listVertexShaders[0], list.listTexturedTexel);
}
void bindShaderUvDepth() { bindPair(1, 1); }
void bindShaderUvNormal() { bindPair(2, 2); }
void bindShaderColor() { bindPair(3, 5); }
void bindShaderColorDepth() { bindPair(4, 6); }
void bindShaderColorNormal() { bindPair(5, 7); }

}  // namespace Media
