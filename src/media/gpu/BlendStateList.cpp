#include "media/gpu/BlendStateList.h"

#include <string>

#include "media/gpu/Direct3DService.h"

namespace Shader {
namespace {

using namespace Platform::gpu;

constexpr uint8_t Z = kBlendZero, O = kBlendOne, SA = kBlendSrcAlpha, ISA = kBlendInvSrcAlpha, DA = kBlendDestAlpha,
                  IDA = kBlendInvDestAlpha, SC = kBlendSrcColor, F = kBlendFactor, IF = kBlendInvBlendFactor,
                  S1A = kBlendSrc1Alpha, IS1A = kBlendInvSrc1Alpha, ADD = kBlendOpAdd, MAX = kBlendOpMax;

// Enable; colour source, destination, op; alpha source, destination, op.
constexpr BlendDesc kDescs[BlendStateList::kCount] = {
    {1, O, ISA, ADD, O, ISA, ADD, 0xF},        // 0 premultiplied over
    {1, IDA, O, ADD, IDA, O, ADD, 0xF},        // 1 premultiplied under
    {1, SA, ISA, ADD, O, ISA, ADD, 0xF},       // 2 straight-alpha over
    {0, Z, Z, ADD, Z, Z, ADD, 0xF},            // 3 off
    {1, IS1A, S1A, ADD, IS1A, S1A, ADD, 0xF},  // 4 mix by the second output
    {1, S1A, IS1A, ADD, S1A, IS1A, ADD, 0xF},  // 5 mix by the second output
    {1, IS1A, Z, ADD, IS1A, Z, ADD, 0xF},      // 6 replace by s(1 - a1)
    {1, Z, SA, ADD, Z, SA, ADD, 0xF},          // 7 keep the target where opaque
    {1, Z, ISA, ADD, Z, ISA, ADD, 0xF},        // 8 cut out
    {1, Z, SA, ADD, O, Z, ADD, 0xF},           // 9 colour d*as, alpha as
    {1, Z, SC, ADD, Z, O, ADD, 0xF},           // 10 multiply colour
    {1, O, O, ADD, O, ISA, ADD, 0xF},          // 11 add colours, alpha over
    {1, O, O, ADD, IDA, O, ADD, 0xF},          // 12 add colours, alpha under
    {1, F, O, ADD, F, ISA, ADD, 0xF},          // 13 add weighted by the factor
    {1, DA, Z, ADD, DA, Z, ADD, 0xF},          // 14 masked by the target's alpha
    {1, O, O, MAX, O, O, MAX, 0xF},            // 15 maximum
    {1, Z, SA, ADD, Z, O, ADD, 0xF},           // 16 darken colour
    {1, O, O, ADD, O, O, ADD, 0xF},            // 17 add everything
    {1, DA, O, ADD, Z, O, ADD, 0xF},           // 18 add where the target is opaque
    {1, F, IF, ADD, F, IF, ADD, 0xF},          // 19 cross-fade
    {1, IF, F, ADD, IF, F, ADD, 0xF},          // 20 cross-fade the other way
};

}  // namespace

BlendStateList::BlendStateList() {
    for (size_t i = 0; i < kCount; ++i) {
        entries[i].generator = [i](std::unique_ptr<BlendState>* slot) {
            if (const Platform::Result hr = Media::Direct3DService::get()->device->createBlendState(kDescs[i], *slot);
                Platform::failed(hr)) {
                const std::string scope = "Shader::BlendStateList::{ctor}::blend" + std::to_string(i);
                throw System::hresultException("Direct3DService::get().device->CreateBlendState", scope.c_str(), hr);
            }
        };
    }
}

}  // namespace Shader
