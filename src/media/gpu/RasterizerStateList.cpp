#include "media/gpu/RasterizerStateList.h"

#include <string>

#include "media/gpu/Direct3DService.h"

namespace Shader {
namespace {

using namespace Platform::gpu;

// Front faces clockwise, no depth bias, depth clipping on, no scissor.
constexpr RasterizerDesc kDescs[RasterizerStateList::kCount] = {
    {kFillSolid, kCullNone, 0},
    {kFillSolid, kCullBack, 0},
    {kFillWireframe, kCullNone, 0},
};

}  // namespace

RasterizerStateList::RasterizerStateList() {
    for (size_t i = 0; i < kCount; ++i) {
        entries[i].generator = [i](std::unique_ptr<RasterizerState>* slot) {
            if (const Platform::Result hr =
                    Media::Direct3DService::get()->device->createRasterizerState(kDescs[i], *slot);
                Platform::failed(hr)) {
                const std::string scope = "Shader::RasterizerStateList::{ctor}::rasterizer" + std::to_string(i);
                throw System::hresultException("Direct3DService::get().device->CreateRasterizerState", scope.c_str(),
                                               hr);
            }
        };
    }
}

}  // namespace Shader
