#include "media/gpu/SamplerStateList.h"

#include <string>

#include "media/gpu/Direct3DService.h"

namespace Shader {
namespace {

using namespace Platform::gpu;

// Border colour (0, 0, 0, 0), only the top mip level.
constexpr SamplerDesc kDescs[SamplerStateList::kCount] = {
    {kFilterLinear, kAddressBorder, kAddressBorder, kAddressBorder, {0, 0, 0, 0}},
    {kFilterLinear, kAddressClamp, kAddressClamp, kAddressClamp, {0, 0, 0, 0}},
    {kFilterLinear, kAddressWrap, kAddressWrap, kAddressWrap, {0, 0, 0, 0}},
    {kFilterLinear, kAddressMirror, kAddressMirror, kAddressMirror, {0, 0, 0, 0}},
    {kFilterLinear, kAddressMirror, kAddressBorder, kAddressBorder, {0, 0, 0, 0}},
    {kFilterPoint, kAddressBorder, kAddressBorder, kAddressBorder, {0, 0, 0, 0}},
    {kFilterPoint, kAddressClamp, kAddressClamp, kAddressClamp, {0, 0, 0, 0}},
};

}  // namespace

SamplerStateList::SamplerStateList() {
    for (size_t i = 0; i < kCount; ++i) {
        entries[i].generator = [i](std::unique_ptr<SamplerState>* slot) {
            if (const Platform::Result hr = Media::Direct3DService::get()->device->createSamplerState(kDescs[i], *slot);
                Platform::failed(hr)) {
                const std::string scope = "Shader::SamplerStateList::{ctor}::sampler" + std::to_string(i);
                throw System::hresultException("Direct3DService::get().device->CreateSamplerState", scope.c_str(), hr);
            }
        };
    }
}

}  // namespace Shader
