#include "platform/gpu/ShaderCode.h"

#include <cstring>

namespace Platform::gpu {
namespace {

constexpr uint32_t kMagic = 0x31534C56;  // "VLS1"
constexpr uint32_t kStageMask = 0xFF;
constexpr uint32_t kOrderedViews = 0x100;
constexpr size_t kNameBytes = 48;

struct Header {
    uint32_t magic;
    uint32_t stage;
    uint32_t inputCount;
    uint32_t spirvWords;
};

struct Record {
    char name[kNameBytes];
    uint32_t semanticIndex;
    uint32_t componentType;
    uint32_t mask;
    uint32_t reserved;
};

}  // namespace

const char* ShaderCode::orderedViewDefinitions() {
    return "#define RasterizerOrderedTexture1D RWTexture1D\n"
           "#define RasterizerOrderedTexture1DArray RWTexture1DArray\n"
           "#define RasterizerOrderedTexture2D RWTexture2D\n"
           "#define RasterizerOrderedTexture2DArray RWTexture2DArray\n"
           "#define RasterizerOrderedTexture3D RWTexture3D\n"
           "#define RasterizerOrderedBuffer RWBuffer\n"
           "#define RasterizerOrderedByteAddressBuffer RWByteAddressBuffer\n"
           "#define RasterizerOrderedStructuredBuffer RWStructuredBuffer\n";
}

std::vector<uint8_t> ShaderCode::pack(ShaderStage stage, const std::vector<SignatureParameter>& inputs,
                                      const uint32_t* spirv, size_t words, bool orderedViews) {
    Header h{kMagic, static_cast<uint32_t>(stage) | (orderedViews ? kOrderedViews : 0),
             static_cast<uint32_t>(inputs.size()), static_cast<uint32_t>(words)};
    std::vector<uint8_t> out(sizeof h + inputs.size() * sizeof(Record) + words * 4);
    std::memcpy(out.data(), &h, sizeof h);
    size_t at = sizeof h;
    for (const SignatureParameter& p : inputs) {
        Record r{};
        std::strncpy(r.name, p.semanticName.c_str(), kNameBytes - 1);
        r.semanticIndex = p.semanticIndex;
        r.componentType = p.componentType;
        r.mask = p.mask;
        std::memcpy(out.data() + at, &r, sizeof r);
        at += sizeof r;
    }
    if (words) std::memcpy(out.data() + at, spirv, words * 4);
    return out;
}

bool ShaderCode::unpack(const void* bytes, size_t length, ShaderStage& stage, std::vector<SignatureParameter>& inputs,
                        std::vector<uint32_t>& spirv, bool* orderedViews) {
    Header h;
    if (!bytes || length < sizeof h) return false;
    std::memcpy(&h, bytes, sizeof h);
    if (orderedViews) *orderedViews = (h.stage & kOrderedViews) != 0;
    h.stage &= kStageMask;
    if (h.magic != kMagic || h.stage > 2 || h.inputCount > 64) return false;
    const size_t need =
        sizeof h + static_cast<size_t>(h.inputCount) * sizeof(Record) + static_cast<size_t>(h.spirvWords) * 4;
    if (length < need || h.spirvWords < 5) return false;
    const uint8_t* p = static_cast<const uint8_t*>(bytes) + sizeof h;
    stage = static_cast<ShaderStage>(h.stage);
    inputs.clear();
    for (uint32_t i = 0; i < h.inputCount; ++i) {
        Record r;
        std::memcpy(&r, p, sizeof r);
        p += sizeof r;
        r.name[kNameBytes - 1] = 0;
        inputs.push_back({r.name, r.semanticIndex, r.componentType, r.mask});
    }
    spirv.resize(h.spirvWords);
    std::memcpy(spirv.data(), p, static_cast<size_t>(h.spirvWords) * 4);
    return spirv[0] == 0x07230203;
}

}  // namespace Platform::gpu
