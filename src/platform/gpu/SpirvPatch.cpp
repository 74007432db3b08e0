#include "platform/gpu/SpirvPatch.h"

#include <cstring>
#include <map>
#include <unordered_map>
#include <vulkan/vulkan.h>

namespace Platform::gpu {
namespace {

constexpr uint32_t kOpExtension = 10;
constexpr uint32_t kOpTypeImage = 25;
constexpr uint32_t kOpTypePointer = 32;
constexpr uint32_t kOpVariable = 59;
constexpr uint32_t kOpLoad = 61;
constexpr uint32_t kOpDecorate = 71;
constexpr uint32_t kOpDecorateId = 332;
constexpr uint32_t kOpDecorateString = 5632;
constexpr uint32_t kOpMemberDecorateString = 5633;
constexpr uint32_t kDecorationLocation = 30;
constexpr uint32_t kDecorationIndex = 32;
constexpr uint32_t kDecorationCounterBuffer = 5634;
constexpr uint32_t kHeaderWords = 5;

uint32_t opcode(uint32_t w) { return w & 0xFFFF; }
uint32_t count(uint32_t w) { return w >> 16; }

bool isGoogleExtension(const uint32_t* inst) {
    const char* name = reinterpret_cast<const char*>(inst + 1);
    return std::strncmp(name, "SPV_GOOGLE_", 11) == 0;
}

}  // namespace

void SpirvPatch::stripHlslDecorations(std::vector<uint32_t>& words) {
    std::vector<uint32_t> out(words.begin(), words.begin() + kHeaderWords);
    out.reserve(words.size());
    for (size_t i = kHeaderWords; i < words.size();) {
        const uint32_t n = count(words[i]);
        if (n == 0 || i + n > words.size()) break;
        const uint32_t op = opcode(words[i]);
        const bool drop = op == kOpDecorateString || op == kOpMemberDecorateString ||
                          (op == kOpDecorateId && words[i + 2] == kDecorationCounterBuffer) ||
                          (op == kOpExtension && isGoogleExtension(&words[i]));
        if (!drop)
            out.insert(out.end(), words.begin() + static_cast<std::ptrdiff_t>(i),
                       words.begin() + static_cast<std::ptrdiff_t>(i + n));
        i += n;
    }
    words.swap(out);
}

void SpirvPatch::setLocation(std::vector<uint32_t>& words, uint32_t id, uint32_t location) {
    for (size_t i = kHeaderWords; i < words.size();) {
        const uint32_t n = count(words[i]);
        if (n == 0) break;
        if (opcode(words[i]) == kOpDecorate && n == 4 && words[i + 1] == id && words[i + 2] == kDecorationLocation)
            words[i + 3] = location;
        i += n;
    }
}

void SpirvPatch::addIndex(std::vector<uint32_t>& words, uint32_t id, uint32_t index) {
    for (size_t i = kHeaderWords; i < words.size();) {
        const uint32_t n = count(words[i]);
        if (n == 0) break;
        if (opcode(words[i]) == kOpDecorate && n == 4 && words[i + 1] == id && words[i + 2] == kDecorationLocation) {
            const uint32_t inst[4] = {(4u << 16) | kOpDecorate, id, kDecorationIndex, index};
            words.insert(words.begin() + static_cast<std::ptrdiff_t>(i + n), inst, inst + 4);
            return;
        }
        i += n;
    }
}

void SpirvPatch::setStorageImageFormat(std::vector<uint32_t>& words, uint32_t variableId, uint32_t format) {
    // Find the variable, its pointer type and its image type.
    size_t varAt = 0, ptrAt = 0, imgAt = 0;
    uint32_t ptrId = 0, imgId = 0;
    for (size_t i = kHeaderWords; i < words.size();) {
        const uint32_t n = count(words[i]);
        if (n == 0) return;
        if (opcode(words[i]) == kOpVariable && words[i + 2] == variableId) {
            varAt = i;
            ptrId = words[i + 1];
        }
        i += n;
    }
    if (!varAt) return;
    int varsOfPtr = 0, ptrsOfImg = 0;
    for (size_t i = kHeaderWords; i < words.size();) {
        const uint32_t n = count(words[i]);
        const uint32_t op = opcode(words[i]);
        if (op == kOpTypePointer && words[i + 1] == ptrId) {
            ptrAt = i;
            imgId = words[i + 3];
        }
        if (op == kOpVariable && words[i + 1] == ptrId) ++varsOfPtr;
        i += n;
    }
    if (!ptrAt) return;
    for (size_t i = kHeaderWords; i < words.size();) {
        const uint32_t n = count(words[i]);
        const uint32_t op = opcode(words[i]);
        if (op == kOpTypeImage && words[i + 1] == imgId) imgAt = i;
        if (op == kOpTypePointer && words[i + 3] == imgId) ++ptrsOfImg;
        i += n;
    }
    if (!imgAt || count(words[imgAt]) < 9) return;
    if (words[imgAt + 8] == format) return;
    if (varsOfPtr == 1 && ptrsOfImg == 1) {
        words[imgAt + 8] = format;
        return;
    }
    // Shared types: a new image type and pointer for this variable alone, placed
    // after the shared pointer; the variable and its loads move to them.
    const uint32_t newImg = words[3];
    const uint32_t newPtr = words[3] + 1;
    words[3] += 2;
    std::vector<uint32_t> image(words.begin() + static_cast<std::ptrdiff_t>(imgAt),
                                words.begin() + static_cast<std::ptrdiff_t>(imgAt + count(words[imgAt])));
    image[1] = newImg;
    image[8] = format;
    const uint32_t pointer[4] = {(4u << 16) | kOpTypePointer, newPtr, words[ptrAt + 2], newImg};
    for (size_t i = kHeaderWords; i < words.size();) {
        const uint32_t n = count(words[i]);
        const uint32_t op = opcode(words[i]);
        if (op == kOpVariable && words[i + 2] == variableId) words[i + 1] = newPtr;
        if (op == kOpLoad && words[i + 3] == variableId) words[i + 1] = newImg;
        i += n;
    }
    const size_t insertAt = ptrAt + 4;
    words.insert(words.begin() + static_cast<std::ptrdiff_t>(insertAt), pointer, pointer + 4);
    words.insert(words.begin() + static_cast<std::ptrdiff_t>(insertAt), image.begin(), image.end());
}

namespace {

struct Types {
    struct Type {
        uint32_t op = 0;
        std::vector<uint32_t> operands;  // after the result id
    };
    std::unordered_map<uint32_t, Type> types;
    std::unordered_map<uint32_t, uint32_t> constants;
    std::map<std::pair<uint32_t, uint32_t>, bool> rowMajor;
    std::vector<uint32_t> blocks;
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> offsets;  // computed
    std::unordered_map<uint32_t, uint32_t> strides;             // computed
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> matrixStrides;

    uint32_t align16(uint32_t v) { return (v + 15) & ~15u; }

    // Size of a value of the type under the platform's packing, and whether it
    // starts a new register.
    uint32_t size(uint32_t id, bool isRowMajor, bool& aggregate) {
        const Type& t = types[id];
        aggregate = false;
        switch (t.op) {
        case 21:
        case 22: return t.operands.empty() ? 4 : t.operands[0] / 8;
        case 23: {
            bool a;
            return size(t.operands[0], false, a) * t.operands[1];
        }
        case 24: {
            aggregate = true;
            const uint32_t columns = t.operands[1];
            const uint32_t rows = types[t.operands[0]].operands.size() > 1 ? types[t.operands[0]].operands[1] : 1;
            const uint32_t registers = isRowMajor ? rows : columns;
            const uint32_t bytes = (isRowMajor ? columns : rows) * 4;
            return 16 * (registers - 1) + bytes;
        }
        case 28: {
            aggregate = true;
            bool a;
            const uint32_t element = size(t.operands[0], isRowMajor, a);
            const uint32_t count = constants.count(t.operands[1]) ? constants[t.operands[1]] : 1;
            const uint32_t stride = align16(element);
            strides[id] = stride;
            return count ? stride * (count - 1) + element : 0;
        }
        case 30: {
            aggregate = true;
            return layout(id);
        }
        default: return 4;
        }
    }

    uint32_t layout(uint32_t structId) {
        const Type& t = types[structId];
        uint32_t offset = 0;
        for (uint32_t m = 0; m < t.operands.size(); ++m) {
            const bool rm = rowMajor.count({structId, m}) ? rowMajor[{structId, m}] : false;
            bool aggregate;
            const uint32_t bytes = size(t.operands[m], rm, aggregate);
            uint32_t start = offset;
            if (aggregate || (bytes && start / 16 != (start + bytes - 1) / 16)) start = align16(start);
            offsets[{structId, m}] = start;
            if (types[t.operands[m]].op == 24) matrixStrides[{structId, m}] = 16;
            offset = start + bytes;
        }
        return offset;
    }
};

}  // namespace

void SpirvPatch::applyHlslPacking(std::vector<uint32_t>& words) {
    Types types;
    for (size_t i = kHeaderWords; i < words.size();) {
        const uint32_t n = count(words[i]);
        if (n == 0 || i + n > words.size()) return;
        const uint32_t op = opcode(words[i]);
        if ((op >= 21 && op <= 24) || op == 28 || op == 30) {
            Types::Type& t = types.types[words[i + 1]];
            t.op = op;
            t.operands.assign(words.begin() + static_cast<std::ptrdiff_t>(i + 2),
                              words.begin() + static_cast<std::ptrdiff_t>(i + n));
        } else if (op == 43 && n >= 4) {
            types.constants[words[i + 2]] = words[i + 3];
        } else if (op == kOpDecorate && n >= 3 && words[i + 2] == 2) {
            types.blocks.push_back(words[i + 1]);
        } else if (op == 72 && n >= 4 && (words[i + 3] == 4 || words[i + 3] == 5)) {
            types.rowMajor[{words[i + 1], words[i + 2]}] = words[i + 3] == 4;
        }
        i += n;
    }
    for (uint32_t block : types.blocks) types.layout(block);
    for (size_t i = kHeaderWords; i < words.size();) {
        const uint32_t n = count(words[i]);
        const uint32_t op = opcode(words[i]);
        if (op == 72 && n == 5) {
            const std::pair<uint32_t, uint32_t> key{words[i + 1], words[i + 2]};
            if (words[i + 3] == 35 && types.offsets.count(key)) words[i + 4] = types.offsets[key];
            if (words[i + 3] == 7 && types.matrixStrides.count(key)) words[i + 4] = types.matrixStrides[key];
        } else if (op == kOpDecorate && n == 4 && words[i + 2] == 6 && types.strides.count(words[i + 1])) {
            words[i + 3] = types.strides[words[i + 1]];
        }
        i += n;
    }
}

uint32_t SpirvPatch::imageFormatOf(uint32_t vkFormat) {
    switch (vkFormat) {
    case VK_FORMAT_R16G16B16A16_SFLOAT: return 2;  // Rgba16f
    case VK_FORMAT_R32_SFLOAT: return 3;           // R32f
    case VK_FORMAT_R8G8B8A8_UNORM: return 4;       // Rgba8
    case VK_FORMAT_R16G16B16A16_UNORM: return 10;  // Rgba16
    case VK_FORMAT_R16G16B16A16_SNORM: return 16;  // Rgba16Snorm
    default: return 0;
    }
}

}  // namespace Platform::gpu
