#pragma once
#include <cstdint>
#include <vector>

namespace Platform::gpu {

// Small edits of a SPIR-V module made when a pipeline is built: linking pixel
// inputs to the vertex outputs of the same semantic, the second colour output
// as the second source of dual-source blending, and the declared format of
// storage images that the device can only read with a format.
class SpirvPatch {
public:
    // Drops the decorations and extensions that only carry HLSL semantics.
    static void stripHlslDecorations(std::vector<uint32_t>& words);
    static void setLocation(std::vector<uint32_t>& words, uint32_t id, uint32_t location);
    // Adds "Index index" to the variable (output of dual-source blending).
    static void addIndex(std::vector<uint32_t>& words, uint32_t id, uint32_t index);
    // Declares the storage image variable's format (a SPIR-V image format number),
    // giving it image and pointer types of its own when others share them.
    static void setStorageImageFormat(std::vector<uint32_t>& words, uint32_t variableId, uint32_t format);
    // Lays out constant buffers as the program's platform packs them (vectors
    // never straddle 16 bytes; arrays, matrices and structs start a new 16-byte
    // register; array elements are 16-byte aligned; nothing pads an array's
    // end), where the compiler's layout differs.
    static void applyHlslPacking(std::vector<uint32_t>& words);
    // The SPIR-V image format of a Vulkan format, 0 (unknown) when there is none.
    static uint32_t imageFormatOf(uint32_t vkFormat);
};

}  // namespace Platform::gpu
